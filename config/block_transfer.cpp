#include "config/block_transfer.h"

#include <algorithm>
#include <memory>

#include "link/bus_link.h"
#include "link/commands.h"
#include "model/image_crc.h"

namespace orv {

namespace {

unsigned StoredCrcForLog(const ConfigKindProfile& kind, const std::vector<uint8_t>& buffer, size_t length)
{
    if (kind.storedCrcLog == StoredCrcLog::FirstByte)
        return buffer[length - 2];
    return unsigned(buffer[length - 2]) | unsigned(buffer[length - 1]) << 8;
}

// The image length the kind finds in the buffer, when it leaves room for a CRC inside it.
std::optional<size_t> CheckedImageLength(const ConfigKindProfile& kind, const std::vector<uint8_t>& buffer,
                                         LogSink& log)
{
    if (!kind.imageLength)
        return buffer.size();
    const std::optional<size_t> length = kind.imageLength(buffer.data(), log);
    if (!length || *length < 2 || *length > buffer.size())
        return std::nullopt;
    return length;
}

// Every device listens at the broadcast address: a configuration goes to and
// comes from one device, whatever a record with that address may claim.
bool ToEveryDevice(uint8_t address, LogSink& log)
{
    if (address != BROADCAST_ADDRESS)
        return false;
    LogF(log, " No Configuration Transfer with Address: %d ", address);
    return true;
}

// How long, and for how many frames, a block's answer is looked for among
// frames that are not it.
constexpr int MAX_DROPPED_REPLIES = 255;
constexpr uint64_t DROPPED_REPLIES_LIMIT_MS = 1000;

// The answer to block b's request: a CONFIG_BLOCK_DATA from the device at
// address. What else arrives (a late answer of another device to an earlier
// request, a frame of another command) is dropped and the line read on.
std::optional<BusReply> ReceiveBlockReply(uint8_t address, int b, Services& services)
{
    const uint64_t start = services.clock.NowMillis();
    BusReply reply;
    for (int dropped = 0; dropped < MAX_DROPPED_REPLIES && ReceiveReply(reply, 0); ++dropped) {
        if (reply.source == address && reply.command == CONFIG_BLOCK_DATA)
            return reply;
        LogF(services.log, "Read Config Block %d: dropped a reply of command %u from address %d", b,
             unsigned(reply.command), int(reply.source));
        if (services.clock.NowMillis() - start >= DROPPED_REPLIES_LIMIT_MS)
            break;
    }
    return std::nullopt;
}

}  // namespace

ReadOutcome ReadConfigImage(const ConfigKindProfile& kind, uint8_t address, Services& services, bool readBack)
{
    if (ToEveryDevice(address, services.log))
        return ReadOutcome{};
    const int lastBlock = kind.readRequests - 1;
    std::unique_ptr<ProgressDialog> progress;
    if (kind.readProgress) {
        ProgressOptions options = *kind.readProgress;
        options.maximum = lastBlock;
        progress = services.prompts.StartProgress(options);
        progress->Update(1);
    }

    ReadOutcome outcome;
    outcome.blockCount = kind.readRequests;
    std::vector<uint8_t> buffer(kind.bufferSize, 0);
    // Where the first block whose reply was refused lies: zero bytes stand
    // there, and zero bytes can pass the CRC (an all-zero image does).
    std::optional<size_t> firstRefusedOffset;
    if (readBack)
        services.clock.Sleep(kind.readBackPauseMs);

    // Nothing further is asked of a device that stopped answering, or once the interface is gone.
    const auto unanswered = [&](int b) {
        if (progress)
            progress->Hide();
        outcome.unansweredBlock = b;
        if (ReportBusInterfaceLost())
            outcome.result = ReadResult::InterfaceLost;
        return outcome;
    };
    for (int b = 0; b <= lastBlock; ++b) {
        SetBusStep({BlockOfCount(b, kind.readRequests) + (readBack ? " was being read back" : " was being read"), ""});
        const auto payload = BlockNumberPayload(uint16_t(b));
        SendRequest(BusRequest{CONFIG_BLOCK_READ, address, payload.data(), uint8_t(payload.size())});
        services.clock.Sleep(kind.readPauseBeforeAckMs);
        if (!WaitForAck()) {
            LogF(services.log, "Read Config Block %d: NO ACK .. quitting ", b);
            return unanswered(b);
        }
        LogF(services.log, "Read Config Block %d: ACK Received ", b);

        const std::optional<BusReply> answer = ReceiveBlockReply(address, b, services);
        if (!answer) {
            LogF(services.log, "Read Config Block %d: NO DATA Recevied... quitting", b);
            return unanswered(b);
        }
        const BusReply& reply = *answer;
        if (IsConfigBlockData(reply)) {
            LogF(services.log, "Read Config Block (%d:) Received ", b);
            // The block number the device put in the reply is not compared:
            // the answer to request b is block b.
            const size_t offset = size_t(b) * CONFIG_BLOCK_BYTES;
            if (offset < buffer.size()) {
                const size_t count = std::min<size_t>(CONFIG_BLOCK_BYTES, buffer.size() - offset);
                std::copy_n(reply.payload + 2, count, buffer.begin() + long(offset));
            }
        } else {
            LogF(services.log, "Read Config Block %d: Data-Size %d", b, int(reply.length));
            if (!firstRefusedOffset)
                firstRefusedOffset = size_t(b) * CONFIG_BLOCK_BYTES;
        }
        if (progress)
            progress->Update(b);
        services.clock.Sleep(kind.readPauseAfterBlockMs);
    }
    if (progress)
        progress->Update(lastBlock);

    const std::optional<size_t> length = CheckedImageLength(kind, buffer, services.log);
    const bool refusedInImage = length && firstRefusedOffset && *firstRefusedOffset < *length;
    if (length && !refusedInImage && ImageIntact(buffer.data(), *length)) {
        services.log.Message("All Data Received Perfect . CRC Clear ");
        outcome.result = ReadResult::Intact;
        outcome.imageLength = *length;
    } else {
        if (length)
            LogF(services.log, "Received CRC : %02X :: Total CRC: %02X", StoredCrcForLog(kind, buffer, *length),
                 unsigned(ImageCrc(buffer.data(), *length)));
        if (kind.damagedWarning)
            services.prompts.MessageBox(*kind.damagedWarning);
        outcome.result = ReadResult::Damaged;
    }
    outcome.buffer = std::move(buffer);
    return outcome;
}

WriteOutcome WriteConfigImage(const ConfigKindProfile& kind, uint8_t address, const std::vector<uint8_t>& image,
                              Services& services)
{
    if (ToEveryDevice(address, services.log))
        return WriteOutcome{};
    const int lastBlock = int(image.size() / CONFIG_BLOCK_BYTES);
    ProgressOptions options = kind.writeProgress;
    options.maximum = lastBlock;
    std::unique_ptr<ProgressDialog> progress = services.prompts.StartProgress(options);
    if (kind.writeProgressStart)
        progress->Update(*kind.writeProgressStart);

    WriteOutcome outcome;
    outcome.blockCount = lastBlock + 1;
    bool finishingTold = false;
    for (int b = 0; b <= lastBlock; ++b) {
        // A write stopped half-way leaves a device that answers with a
        // damaged configuration: the first request to stop lets it finish.
        const int stopRequests = services.stop.Count();
        if (stopRequests >= 2) {
            LogF(services.log, "Send Config Block %d: write abandoned by the user ", b);
            outcome.abandonedAfterBlocks = b;
            break;
        }
        if (stopRequests == 1 && !finishingTold) {
            services.stop.Answer("finishing the write of " + BlockOfCount(b, outcome.blockCount));
            finishingTold = true;
        }
        ConfigBlock block;
        block.number = uint16_t(b);
        const size_t offset = size_t(b) * CONFIG_BLOCK_BYTES;
        std::copy_n(image.begin() + long(offset), std::min<size_t>(CONFIG_BLOCK_BYTES, image.size() - offset),
                    block.data.begin());
        const auto payload = EncodeConfigBlock(block);

        services.clock.Sleep(kind.writePauseBeforeSendMs);
        progress->Update(b);
        SetBusStep({BlockOfCount(b, outcome.blockCount) + " was being written",
                    "The device may now hold an incomplete configuration: please save it again."});
        SendRequest(BusRequest{CONFIG_BLOCK_WRITE, address, payload.data(), uint8_t(payload.size())});
        services.clock.Sleep(kind.writePauseAfterSendMs);
        if (!WaitForAck()) {
            LogF(services.log, "Send Config Block %d: NO ACK .. quitting ", b);
            outcome.unacknowledgedBlock = b;
            break;
        }
        LogF(services.log, "Send Config Block %d: ACK Received ", b);
    }
    // No pause or read-back on a line that is gone.
    if (BusInterfaceLost()) {
        progress->Hide();
        ReportBusInterfaceLost();
        outcome.result = WriteResult::InterfaceLost;
        return outcome;
    }
    if (outcome.abandonedAfterBlocks) {
        progress->Hide();
        outcome.result = WriteResult::NotVerified;
        return outcome;
    }
    services.clock.Sleep(kind.writePauseAfterLoopMs);
    progress->Hide();

    const bool allAcknowledged = !outcome.unacknowledgedBlock;
    outcome.allAcknowledged = allAcknowledged;
    services.log.Message("READ CONFIG STARTED ... ");
    outcome.readBack = ReadConfigImage(kind, address, services, true);
    const ReadOutcome& back = outcome.readBack;
    if (back.result == ReadResult::InterfaceLost) {
        outcome.result = WriteResult::InterfaceLost;
    } else if (back.result == ReadResult::Failed) {
        outcome.result = WriteResult::Failed;
    } else if (allAcknowledged && back.result == ReadResult::Intact && back.buffer.size() >= image.size() &&
               std::equal(image.begin(), image.end(), back.buffer.begin())) {
        outcome.result = WriteResult::Saved;
    } else {
        outcome.result = WriteResult::NotVerified;
    }
    return outcome;
}

std::string BlockOfCount(int block, int count)
{
    return StrF("block %d of %d", block + 1, count);
}

void ShowConfigNotSaved(Prompts& prompts, bool readBackShown)
{
    if (readBackShown) {
        prompts.Message(" Config Not Saved ",
                        "The configuration was not saved.\n\nThe device did not confirm every block, or what it holds "
                        "now differs from what was sent.\nThe panel shows what the device holds now. Please try Saving "
                        "again.",
                        Buttons::Ok, Icon::Error);
        return;
    }
    prompts.Message(" Config Not Saved ",
                    "The configuration was not saved.\n\nThe device could not be read back after the save, so what "
                    "it holds now is not known.\nThe panel keeps the configuration as it was edited. Please try "
                    "Saving again.",
                    Buttons::Ok, Icon::Error);
}

}  // namespace orv
