#include <gtest/gtest.h>

#include "config/input8_transfer.h"
#include "model/catalogue.h"
#include "model/input8_image.h"
#include "tests/config/transfer_rig.h"

namespace orv::test {
namespace {

using Input8Transfer = TransferRig;

TEST_F(Input8Transfer, FullReadTakesFifteenBlocksWithFiftyMillisecondPauses)
{
    const std::vector<uint8_t> image = PatternImage(INPUT8_IMAGE_SIZE, 3);
    input8.LoadMemory(image);

    const ReadOutcome outcome = ReadConfigImage(Input8TransferProfile(), INPUT8_ADDRESS, services);

    EXPECT_EQ(outcome.result, ReadResult::Intact);
    EXPECT_EQ(outcome.buffer, image);
    EXPECT_EQ(outcome.imageLength, INPUT8_IMAGE_SIZE);
    EXPECT_EQ(timeline, PerBlock({"R{b}", "P50"}, 0, 14));
    EXPECT_TRUE(log.Contains("Read Config Block 0: ACK Received "));
    EXPECT_TRUE(log.Contains("Read Config Block (14:) Received "));
    EXPECT_EQ(log.lines.back(), "All Data Received Perfect . CRC Clear ");
    EXPECT_TRUE(prompts.boxes.empty());
    EXPECT_TRUE(prompts.progress.empty());
}

// Both kinds pause 50 ms per block, in different places: the Input8 read
// between its request and the acknowledgement, the RS232 read after the
// block has arrived (its device's turnaround, acknowledgement and reply).
TEST_F(Input8Transfer, EachKindsReadPausesWhereItsDeviceExpects)
{
    struct Case {
        const char* name;
        ConfigKindProfile kind;
        uint8_t address;
        bool pauseBeforeAnswer;
    };
    const Case cases[] = {
        {"Input8", Input8TransferProfile(), INPUT8_ADDRESS, true},
        {"RS232", RS232TransferProfile(), RS232_ADDRESS, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        bus.ClearHeard();
        timelineClock.pauseStarts.clear();
        ReadConfigImage(c.kind, c.address, services);

        const auto& heard = Sent(CONFIG_BLOCK_READ);
        ASSERT_EQ(heard.size(), size_t(c.kind.readRequests));
        ASSERT_EQ(timelineClock.pauseStarts.size(), heard.size());
        for (size_t b = 0; b < heard.size(); ++b) {
            const uint64_t sinceRequest = timelineClock.pauseStarts[b] - heard[b].atMicros;
            if (c.pauseBeforeAnswer)
                EXPECT_LT(sinceRequest, 1000u) << b;
            else
                EXPECT_GT(sinceRequest, SimDevice::DEFAULT_TURNAROUND_MICROS + 40 * SimBus::BYTE_MICROS) << b;
        }
        if (::testing::Test::HasFailure())
            break;
    }
}

// A record at 255 (a quick discovery can list one) would take every device.
TEST_F(Input8Transfer, NoConfigurationGoesToTheBroadcastAddress)
{
    EXPECT_EQ(WriteConfigImage(Input8TransferProfile(), BROADCAST_ADDRESS, PatternImage(INPUT8_IMAGE_SIZE, 3), services)
                  .result,
              WriteResult::Failed);
    EXPECT_EQ(ReadConfigImage(Input8TransferProfile(), BROADCAST_ADDRESS, services).result, ReadResult::Failed);
    EXPECT_TRUE(bus.Heard().empty());
    EXPECT_TRUE(prompts.progress.empty());
}

TEST_F(Input8Transfer, ReadStopsAtTheFirstUnansweredBlock)
{
    struct Case {
        SimDeviceFaults faults;
        std::string line;
    };
    SimDeviceFaults noAck;
    noAck.noAckCommand = CONFIG_BLOCK_READ;
    noAck.noAckBlock = 4;
    SimDeviceFaults noData;
    noData.replyFaultBlock = 4;
    noData.omitReply = true;
    SimDeviceFaults damagedFrame;
    damagedFrame.replyFaultBlock = 4;
    damagedFrame.damageCrc = true;
    const Case cases[] = {
        {noAck, "Read Config Block 4: NO ACK .. quitting "},
        {noData, "Read Config Block 4: NO DATA Recevied... quitting"},
        {damagedFrame, "Read Config Block 4: NO DATA Recevied... quitting"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        timeline.clear();
        log.lines.clear();
        input8.SetFaults(c.faults);

        const ReadOutcome outcome = ReadConfigImage(Input8TransferProfile(), INPUT8_ADDRESS, services);

        EXPECT_EQ(outcome.result, ReadResult::Failed);
        EXPECT_TRUE(outcome.buffer.empty());
        EXPECT_EQ(Requests(), PerBlock({"R{b}"}, 0, 4));
        EXPECT_EQ(log.lines.back(), c.line);
        EXPECT_TRUE(prompts.boxes.empty());
    }
}

// A late answer of another device to an earlier request, arriving before
// the block's own, is not taken for it.
TEST_F(Input8Transfer, OnlyTheAddressedDevicesBlockIsTakenAsTheAnswer)
{
    const std::vector<uint8_t> image = PatternImage(INPUT8_IMAGE_SIZE, 5);
    input8.LoadMemory(image);
    input8.SetTurnaroundMicros(10000);
    struct Case {
        const char* name;
        uint8_t source;
        uint16_t command;
        uint8_t length;
        std::string dropped;
    };
    const Case cases[] = {
        {"a MODULE_INFO of another device", 9, MODULE_INFO, MODULE_INFO_LENGTH,
         "Read Config Block 0: dropped a reply of command 5 from address 9"},
        {"a block of another device", 9, CONFIG_BLOCK_DATA, CONFIG_BLOCK_LENGTH,
         "Read Config Block 0: dropped a reply of command 8 from address 9"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        log.lines.clear();
        // The acknowledgement of a device, then its frame, after block 0's request and before its answer.
        SimReplyWriter late;
        late.Ack();
        const uint8_t payload[MAX_PAYLOAD] = {};
        late.Frame(HOST_ADDRESS, c.source, c.command, payload, c.length);
        std::vector<uint8_t> bytes = late.items[0].bytes;
        bytes.insert(bytes.end(), late.items[1].bytes.begin(), late.items[1].bytes.end());
        bus.InjectBytes(bytes, 1500);

        const ReadOutcome outcome = ReadConfigImage(Input8TransferProfile(), INPUT8_ADDRESS, services);

        EXPECT_EQ(outcome.result, ReadResult::Intact);
        EXPECT_EQ(outcome.buffer, image);
        EXPECT_TRUE(log.Contains(c.dropped));
        EXPECT_FALSE(log.Contains("Read Config Block 0: Data-Size 22"));
    }
}

TEST_F(Input8Transfer, ShortReplyLeavesItsBlockZeroAndTheReadGoesOn)
{
    input8.LoadMemory(PatternImage(INPUT8_IMAGE_SIZE, 9));
    SimDeviceFaults faults;
    faults.replyFaultBlock = 3;
    faults.replyLength = 20;
    input8.SetFaults(faults);

    const ReadOutcome outcome = ReadConfigImage(Input8TransferProfile(), INPUT8_ADDRESS, services);

    EXPECT_EQ(outcome.result, ReadResult::Damaged);
    EXPECT_TRUE(log.Contains("Read Config Block 3: Data-Size 20"));
    EXPECT_TRUE(log.Contains("Read Config Block (4:) Received "));
    std::vector<uint8_t> expected = input8.Memory();
    std::fill(expected.begin() + 96, expected.begin() + 128, 0);
    EXPECT_EQ(outcome.buffer, expected);
    ASSERT_EQ(prompts.boxes.size(), 1u);
    EXPECT_EQ(prompts.boxes[0].caption, "Warn Loading Data ");
    EXPECT_EQ(prompts.boxes[0].text,
              "Bad Coniguration read from ORV-Input8.\n \n This may happen if the config wasn't saved properly. Please "
              "try Saving again \n\n The configuration was not loaded. ");
    EXPECT_EQ(prompts.boxes[0].icon, Icon::Exclamation);
}

TEST_F(Input8Transfer, CrcMismatchLogsTheStoredBytesLowByteFirst)
{
    std::vector<uint8_t> image(INPUT8_IMAGE_SIZE, 0);
    image[451] = 0x12;
    image[452] = 0x34;
    input8.LoadMemory(image);

    const ReadOutcome outcome = ReadConfigImage(Input8TransferProfile(), INPUT8_ADDRESS, services);

    EXPECT_EQ(outcome.result, ReadResult::Damaged);
    EXPECT_TRUE(log.Contains(StrF("Received CRC : 3412 :: Total CRC: %02X", unsigned(ImageCrc(image.data(), 453)))));
}

// A device that answers every read with the wrong block number and, past the
// image, with bytes that must not land anywhere.
TEST_F(Input8Transfer, ReplyIsTakenAsTheBlockAskedAndTheLastBlockGivesFiveBytes)
{
    bus.Detach(input8);
    std::vector<uint8_t> memory = PatternImage(INPUT8_IMAGE_SIZE, 5);
    memory.resize(15 * CONFIG_BLOCK_BYTES, 0xEE);
    FunctionResponder oddDevice([&](const HeardFrame& frame, SimReplyWriter& out) {
        if (frame.destination != INPUT8_ADDRESS || frame.command != CONFIG_BLOCK_READ)
            return;
        ConfigBlock block;
        block.number = 0x0999;
        const size_t offset = BlockNumberFrom(frame.payload.data()) * size_t(CONFIG_BLOCK_BYTES);
        std::copy_n(memory.begin() + long(offset), CONFIG_BLOCK_BYTES, block.data.begin());
        const auto payload = EncodeConfigBlock(block);
        out.Ack();
        out.Frame(HOST_ADDRESS, INPUT8_ADDRESS, CONFIG_BLOCK_DATA, payload.data(), uint8_t(payload.size()));
    });
    bus.Attach(oddDevice);

    const ReadOutcome outcome = ReadConfigImage(Input8TransferProfile(), INPUT8_ADDRESS, services);

    EXPECT_EQ(outcome.result, ReadResult::Intact);
    EXPECT_EQ(outcome.buffer, std::vector<uint8_t>(memory.begin(), memory.begin() + INPUT8_IMAGE_SIZE));
}

TEST_F(Input8Transfer, FullWriteIsPacedAndReadBack)
{
    const std::vector<uint8_t> image = PatternImage(INPUT8_IMAGE_SIZE, 1);

    const WriteOutcome outcome = WriteConfigImage(Input8TransferProfile(), INPUT8_ADDRESS, image, services);

    EXPECT_EQ(outcome.result, WriteResult::Saved);
    EXPECT_TRUE(outcome.allAcknowledged);
    EXPECT_EQ(outcome.readBack.buffer, image);
    EXPECT_EQ(input8.Memory(), image);
    EXPECT_EQ(timeline, Joined({PerBlock({"P450", "W{b}"}, 0, 14), {"P500"}, PerBlock({"R{b}", "P50"}, 0, 14)}));

    const auto blocks = Sent(CONFIG_BLOCK_WRITE);
    ASSERT_EQ(blocks.size(), 15u);
    std::vector<uint8_t> last(CONFIG_BLOCK_LENGTH, 0);
    last[0] = 14;
    std::copy(image.begin() + 448, image.end(), last.begin() + 2);
    EXPECT_EQ(blocks[14].payload, last);

    ASSERT_EQ(prompts.progress.size(), 1u);
    const RecordedProgress& progress = *prompts.progress[0];
    EXPECT_EQ(progress.options.title, "Updating Input8 Configuration");
    EXPECT_EQ(progress.options.message, "Saving Device Configuration ..... ");
    EXPECT_EQ(progress.options.maximum, 14);
    // No Cancel: a write is never stopped half way.
    EXPECT_FALSE(progress.options.canAbort);
    EXPECT_TRUE(progress.options.appModal && progress.options.autoHide && progress.options.smooth);
    std::vector<int> values{1};
    for (int b = 0; b <= 14; ++b)
        values.push_back(b);
    EXPECT_EQ(progress.values, values);
    EXPECT_TRUE(progress.hidden);

    EXPECT_TRUE(log.Contains("Send Config Block 14: ACK Received "));
    EXPECT_TRUE(log.Contains("READ CONFIG STARTED ... "));
    EXPECT_TRUE(prompts.boxes.empty());
}

TEST_F(Input8Transfer, AbortButtonIsNotConsulted)
{
    prompts.onProgressUpdate = [](const RecordedProgress&, int) { return false; };

    const WriteOutcome outcome =
        WriteConfigImage(Input8TransferProfile(), INPUT8_ADDRESS, PatternImage(INPUT8_IMAGE_SIZE, 2), services);

    EXPECT_EQ(outcome.result, WriteResult::Saved);
    EXPECT_EQ(Sent(CONFIG_BLOCK_WRITE).size(), 15u);
}

// A save counts only when every block was acknowledged and the device gives
// back, intact, exactly what was sent.
TEST_F(Input8Transfer, WriteIsNotVerifiedUnlessEveryBlockArrivedAndReadsBackEqual)
{
    const std::vector<uint8_t> old = PatternImage(INPUT8_IMAGE_SIZE, 0x30);
    const std::vector<uint8_t> fresh = PatternImage(INPUT8_IMAGE_SIZE, 0x60);
    struct Case {
        const char* what;
        std::vector<uint8_t> image;
        uint16_t noAckBlock;
        ReadResult readBack;
    };
    const Case cases[] = {
        {"block 6 lost: half old, half new", fresh, 6, ReadResult::Damaged},
        {"block 0 lost: the old image is still intact", fresh, 0, ReadResult::Intact},
        {"block 14 lost, but the device already held the same image", old, 14, ReadResult::Intact},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        input8.LoadMemory(old);
        bus.ClearHeard();
        timeline.clear();
        log.lines.clear();
        SimDeviceFaults faults;
        faults.noAckCommand = CONFIG_BLOCK_WRITE;
        faults.noAckBlock = c.noAckBlock;
        input8.SetFaults(faults);

        const WriteOutcome outcome = WriteConfigImage(Input8TransferProfile(), INPUT8_ADDRESS, c.image, services);

        EXPECT_EQ(outcome.result, WriteResult::NotVerified);
        EXPECT_FALSE(outcome.allAcknowledged);
        EXPECT_EQ(outcome.readBack.result, c.readBack);
        EXPECT_EQ(outcome.readBack.buffer, input8.Memory());
        EXPECT_EQ(Requests(), Joined({PerBlock({"W{b}"}, 0, c.noAckBlock), PerBlock({"R{b}"}, 0, 14)}));
        EXPECT_TRUE(log.Contains(StrF("Send Config Block %d: NO ACK .. quitting ", int(c.noAckBlock))));
        EXPECT_EQ(timeline[timeline.size() - 31], "P500");
    }
}

TEST_F(Input8Transfer, DamagedOrUnansweredReadBackIsNoSave)
{
    SimDeviceFaults damaged;
    damaged.replyFaultBlock = 2;
    damaged.replyLength = 20;
    SimDeviceFaults unanswered;
    unanswered.noAckCommand = CONFIG_BLOCK_READ;
    const std::pair<SimDeviceFaults, WriteResult> cases[] = {
        {damaged, WriteResult::NotVerified},
        {unanswered, WriteResult::Failed},
    };
    for (const auto& [faults, expected] : cases) {
        input8.SetFaults(faults);
        const WriteOutcome outcome =
            WriteConfigImage(Input8TransferProfile(), INPUT8_ADDRESS, PatternImage(INPUT8_IMAGE_SIZE, 4), services);
        EXPECT_TRUE(outcome.allAcknowledged);
        EXPECT_EQ(outcome.result, expected);
    }
}

TEST_F(Input8Transfer, AcknowledgedBlocksThatDoNotReadBackAreNoSave)
{
    const std::vector<uint8_t> old = PatternImage(INPUT8_IMAGE_SIZE, 0x11);
    input8.LoadMemory(old);
    FunctionResponder forgetful([&](const HeardFrame& frame, SimReplyWriter&) {
        if (frame.command == CONFIG_BLOCK_WRITE)
            input8.LoadMemory(old);
    });
    bus.Attach(forgetful);

    const WriteOutcome outcome =
        WriteConfigImage(Input8TransferProfile(), INPUT8_ADDRESS, PatternImage(INPUT8_IMAGE_SIZE, 0x22), services);

    EXPECT_TRUE(outcome.allAcknowledged);
    EXPECT_EQ(outcome.readBack.result, ReadResult::Intact);
    EXPECT_EQ(outcome.readBack.buffer, old);
    EXPECT_EQ(outcome.result, WriteResult::NotVerified);
}

TEST_F(Input8Transfer, SaveShowsTheReadBackThenWhetherItWasSaved)
{
    Input8Config config;
    config.name = "Hall";
    config.rows[0].action = ACTION_RELAY_ENERGIZE;
    config.rows[0].parameters[0] = '2';
    std::vector<ReadResult> shown;
    const auto show = [&](const ReadOutcome& readBack) {
        shown.push_back(readBack.result);
        EXPECT_TRUE(prompts.boxes.empty() || prompts.boxes.back().caption == "Warn Loading Data ");
    };

    EXPECT_EQ(SaveInput8Config(config, INPUT8_ADDRESS, services, show), WriteResult::Saved);
    EXPECT_EQ(input8.Memory(), EncodeInput8Image(config, ImageForm::Device));
    EXPECT_EQ(log.lines.front(), "SEND INPUT CONFIG STARTED ... ");
    EXPECT_TRUE(prompts.boxes.empty());

    SimDeviceFaults faults;
    faults.noAckCommand = CONFIG_BLOCK_WRITE;
    faults.noAckBlock = 0;
    input8.SetFaults(faults);
    config.name = "Stairs";
    EXPECT_EQ(SaveInput8Config(config, INPUT8_ADDRESS, services, show), WriteResult::NotVerified);
    ASSERT_EQ(prompts.boxes.size(), 1u);
    EXPECT_EQ(prompts.boxes[0].caption, " Config Not Saved ");
    EXPECT_EQ(prompts.boxes[0].text,
              "The configuration was not saved.\n\nThe device did not confirm every block, or what it holds now "
              "differs from what was sent.\nThe panel shows what the device holds now. Please try Saving again.");
    EXPECT_EQ(prompts.boxes[0].icon, Icon::Error);

    faults.noAckCommand = CONFIG_BLOCK_READ;
    input8.SetFaults(faults);
    EXPECT_EQ(SaveInput8Config(config, INPUT8_ADDRESS, services, show), WriteResult::Failed);
    EXPECT_EQ(shown, (std::vector<ReadResult>{ReadResult::Intact, ReadResult::Intact}));
    EXPECT_EQ(prompts.Captions(), (std::vector<std::string>{" Config Not Saved ", " Config Not Saved "}));
}

using GatewayTransfer = TransferRig;

TEST_F(GatewayTransfer, WriteSendsLengthOver32PlusOneBlocksTheLastPadded)
{
    for (uint8_t length : {uint8_t(48), uint8_t(64)}) {
        SCOPED_TRACE(int(length));
        bus.ClearHeard();
        const std::vector<uint8_t> image = GatewayImage(length);

        const WriteOutcome outcome = WriteConfigImage(SerialGatewayProfile(), RS232_ADDRESS, image, services);

        EXPECT_EQ(outcome.result, WriteResult::Saved);
        const auto blocks = Sent(CONFIG_BLOCK_WRITE);
        ASSERT_EQ(blocks.size(), size_t(length / 32 + 1));
        for (size_t b = 0; b < blocks.size(); ++b) {
            std::vector<uint8_t> expected(CONFIG_BLOCK_LENGTH, 0);
            expected[0] = uint8_t(b);
            for (size_t i = 0; i < 32 && 32 * b + i < image.size(); ++i)
                expected[2 + i] = image[32 * b + i];
            EXPECT_EQ(blocks[b].payload, expected) << "block " << b;
        }
    }
    const ProgressOptions& write = prompts.progress[0]->options;
    EXPECT_EQ(write.title, "Updating RS232 Configuration");
    EXPECT_EQ(write.message, "Saving Device Configuration ..... ");
    EXPECT_FALSE(write.canAbort);
    EXPECT_TRUE(write.appModal && write.autoHide && write.smooth);
    EXPECT_EQ(prompts.progress[0]->values, (std::vector<int>{0, 1}));
    EXPECT_EQ(prompts.progress[0]->options.maximum, 1);
    EXPECT_EQ(prompts.progress[2]->values, (std::vector<int>{0, 1, 2}));
}

TEST_F(GatewayTransfer, WriteIsPacedAndItsReadBackWaitsFirst)
{
    WriteConfigImage(SerialGatewayProfile(), RS232_ADDRESS, GatewayImage(48), services);

    EXPECT_EQ(timeline, Joined({PerBlock({"P100", "W{b}", "P200"}, 0, 1), {"P100", "P500"},
                                PerBlock({"R{b}", "P50"}, 0, 127)}));
}

TEST_F(GatewayTransfer, ReadAsksForEveryBlockAndKeepsTheFirst127)
{
    std::vector<uint8_t> memory = GatewayImage(48);
    memory.resize(4064);
    for (size_t i = 48; i < memory.size(); ++i)
        memory[i] = uint8_t(i);
    rs232.LoadMemory(memory);

    const ReadOutcome outcome = ReadConfigImage(SerialGatewayProfile(), RS232_ADDRESS, services);

    EXPECT_EQ(outcome.result, ReadResult::Intact);
    EXPECT_EQ(outcome.imageLength, 48u);
    EXPECT_EQ(outcome.buffer, memory);
    EXPECT_EQ(Sent(CONFIG_BLOCK_READ).size(), 128u);
    EXPECT_EQ(timeline, PerBlock({"R{b}", "P50"}, 0, 127));
    ASSERT_EQ(prompts.progress.size(), 1u);
    const RecordedProgress& progress = *prompts.progress[0];
    EXPECT_EQ(progress.options.title, "Reading RS232 Configuration ");
    EXPECT_EQ(progress.options.message, "Receiving Device Configuration ... \nPlease wait ...");
    EXPECT_EQ(progress.options.maximum, 127);
    EXPECT_FALSE(progress.options.canAbort);
    EXPECT_TRUE(progress.options.appModal && progress.options.autoHide && progress.options.smooth);
    EXPECT_EQ(progress.values.front(), 1);
    EXPECT_EQ(progress.values.back(), 127);
    EXPECT_TRUE(progress.hidden);
}

TEST_F(GatewayTransfer, ImageThatDoesNotFitIsDamagedAndAFailedReadHidesItsProgress)
{
    EXPECT_EQ(ReadConfigImage(SerialGatewayProfile(), RS232_ADDRESS, services).result, ReadResult::Damaged);
    EXPECT_EQ(prompts.Captions(), std::vector<std::string>{"Warn Loading Data "});

    std::vector<uint8_t> image = GatewayImage(48);
    image[47] ^= 0xFF;
    rs232.LoadMemory(image);
    EXPECT_EQ(ReadConfigImage(SerialGatewayProfile(), RS232_ADDRESS, services).result, ReadResult::Damaged);
    EXPECT_TRUE(log.Contains(StrF("Received CRC : %02X :: Total CRC: %02X", unsigned(image[46]),
                                  unsigned(ImageCrc(image.data(), 48)))));

    SimDeviceFaults faults;
    faults.noAckCommand = CONFIG_BLOCK_READ;
    faults.noAckBlock = 9;
    rs232.SetFaults(faults);
    EXPECT_EQ(ReadConfigImage(SerialGatewayProfile(), RS232_ADDRESS, services).result, ReadResult::Failed);
    EXPECT_TRUE(prompts.progress.back()->hidden);
    EXPECT_EQ(prompts.progress.back()->values.back(), 8);
}

}  // namespace
}  // namespace orv::test
