#include "network/discovery.h"

#include <algorithm>

#include "link/bus_link.h"
#include "network/address_management.h"

namespace orv {

namespace {

// The desktop tool's pause between an acknowledgement and the reading of the
// answers; at the measured pace, how long the first answer is awaited.
constexpr uint32_t REPLY_PAUSE_MS = 300;
constexpr int BROADCAST_ATTEMPTS = 3;
// The devices that heard a broadcast answer in turn, each after its own
// turnaround. The line is read until it has been silent for twice the widest
// gap seen before an answer (the first device's acknowledgement counts as
// one), and for no less than two silent reads, so that no late answer is left
// for the next request to take as its own.
constexpr uint64_t BROADCAST_SILENCE_FLOOR_MS = 2 * READ_TIMEOUT_MS;
constexpr uint64_t BROADCAST_GAP_FACTOR = 2;
// The new answers one pass reads in all (a repeated answer is not new): every
// device of a full bus answering, twice over. A peer that keeps sending answers
// ends the pass here, instead of holding each of 255 addresses for its limit.
constexpr int MAX_ANSWERS_PER_PASS = 2 * 255;
// All answers of a pass, repeated ones too: a peer that repeats itself
// without end is bounded as well, a device that repeats its answer is not.
constexpr int MAX_REPLIES_PER_PASS = 4 * 255;
// Passes that re-address shared addresses before the result stands as it is.
constexpr int MAX_RESOLVING_PASSES = 3;
constexpr const char* IDLE_STATUS = "ORVANTA TOOL";

bool SameAnswer(const DeviceRecord& a, const DeviceRecord& b)
{
    return a.address == b.address && a.serialNumber == b.serialNumber && a.name == b.name &&
           a.firmwareMajor == b.firmwareMajor && a.firmwareMinor == b.firmwareMinor && a.configured == b.configured;
}

// A device that answers again, late or repeating itself, is one device: an
// answer the pass has already recorded is not recorded twice. Two devices
// that carry one serial number still differ in what else they report.
bool AlreadyRecorded(const DeviceRegistry& registry, const DeviceRecord& record)
{
    for (size_t i = 0; i < registry.Count(); ++i)
        if (SameAnswer(registry.Record(i), record))
            return true;
    return false;
}

// What one pass has read, against its bounds.
struct PassCount {
    int answers = 0;  // new ones
    int replies = 0;  // all
    bool Flooded() const { return answers >= MAX_ANSWERS_PER_PASS || replies >= MAX_REPLIES_PER_PASS; }
};

struct Answers {
    int valid = 0;
    bool cancelled = false;
};

// Reads the answers to one request until the line falls silent: every device
// that heard a broadcast answers in turn. A read that brings no reply has read
// until silence or given up on a line that never falls silent, so the next one
// would find nothing better. At the fixed pace the answers are read after
// REPLY_PAUSE_MS; at the measured pace they are read as they come, the first
// awaited for as long. A broadcast's answers are read until the silence its
// devices' pace asks for (ackDelayMillis: how long the first acknowledgement
// took). Between reads the progress dialog's Cancel is heard. pass counts the
// replies of the whole pass against its bounds.
Answers CollectAnswers(NetworkContext& context, int address, bool record, uint64_t ackDelayMillis,
                       PassCount& pass, ProgressDialog& progress)
{
    LogSink& log = context.services.log;
    Clock& clock = context.services.clock;
    const bool measured = context.pace == BusPace::Measured;
    if (!measured)
        clock.Sleep(REPLY_PAUSE_MS);
    const uint64_t start = clock.NowMillis();
    const bool broadcast = address == BROADCAST_ADDRESS;
    uint64_t lastHeard = start;
    uint64_t widestGap = ackDelayMillis;
    bool heard = false;
    // A read that found nothing has waited out its time-out on the line,
    // whatever a clock that only the pauses move says.
    uint64_t silentReads = 0;
    Answers answers;
    uint8_t consumed = 0;
    for (int frames = 0;; ++frames) {
        if (frames == MAX_ANSWERS_PER_ADDRESS || clock.NowMillis() - start >= ANSWER_TIME_LIMIT_MS ||
            pass.Flooded()) {
            LogF(log, " Too many Replies from  Address: %d ", address);
            break;
        }
        BusReply reply;
        consumed = 0;
        const bool replied = ReceiveReply(reply, 1, &consumed);
        const uint64_t now = clock.NowMillis();
        if (consumed != 0) {
            if (heard)
                widestGap = std::max(widestGap, now - lastHeard);
            lastHeard = now;
            heard = true;
            silentReads = 0;
        } else {
            ++silentReads;
        }
        const uint64_t silence = std::max(now - lastHeard, silentReads * READ_TIMEOUT_MS);
        const bool awaitingFirst = measured && !heard && silence < REPLY_PAUSE_MS;
        const bool mayHearMore =
            awaitingFirst ||
            (broadcast && silence < std::max(BROADCAST_SILENCE_FLOOR_MS, BROADCAST_GAP_FACTOR * widestGap));
        if (!replied) {
            if (consumed != 0 || !mayHearMore)
                LogF(log, " Ack but No Reply from  Address: %d ", address);
            if (mayHearMore)
                continue;
            break;
        }
        ++pass.replies;
        if (IsModuleInfoReply(reply)) {
            const DeviceRecord device = RecordFromReply(reply);
            if (AlreadyRecorded(context.registry, device)) {
                LogF(log, " Repeated Reply from  Address: %d ", device.address);
            } else {
                ++pass.answers;
                if (record) {
                    log.Message(" MODULE_INFO Reply Recieved : ");
                    if (context.registry.Append(device)) {
                        log.Message(" Device Added : ");
                        context.view.ShowAddedDevice(context.registry.Count() - 1);
                        context.services.prompts.SetStatusText(
                            StrF(" %zu: Orvanta Device(s) Found & Added", context.registry.Count()), 0);
                    }
                }
                ++answers.valid;
            }
        } else {
            ++pass.answers;
            LogF(log, " Bad Reply From  Address: %d ", address);
        }
        if (consumed == 0 && !mayHearMore)
            break;
        answers.cancelled = !progress.Update(address);
        context.services.prompts.PumpEvents();
        if (answers.cancelled)
            break;
    }
    return answers;
}

}  // namespace

ScanResult ScanBusPass(NetworkContext& context, int start, bool record, const AckWait& waitForAck)
{
    Services& services = context.services;
    services.log.Message(" Starting Orvanta Discovery: ");

    ProgressOptions options;
    options.title = "Looking for Orvanta Devices";
    options.message = "Please wait while each Address is scanned ..... ";
    options.maximum = 255;
    options.canAbort = true;
    options.appModal = true;
    options.autoHide = true;
    options.smooth = true;
    auto progress = services.prompts.StartProgress(options);
    progress->Update(1);

    services.prompts.SetStatusText("ORVANTA TOOL: Doing Discovery ...", 0);
    context.view.ShowInstructions();
    if (context.registry.ClearDevices())
        context.view.ResetDeviceList();

    // 255 is the broadcast address: every device answers there a second time,
    // so only the broadcast itself asks it.
    const int last = start == BROADCAST_ADDRESS ? BROADCAST_ADDRESS : BROADCAST_ADDRESS - 1;
    ScanResult result;
    PassCount pass;
    for (int address = start; address <= last; ++address) {
        SetBusStep({address == BROADCAST_ADDRESS
                        ? std::string("the devices were being asked for their module information")
                        : StrF("address %d was being asked for its module information", address),
                    ""});
        LogF(services.log, " MOD INFO Request SENT To Address: %d ", address);
        const uint8_t query = 0;
        SendRequest(BusRequest{MODULE_INFO_REQUEST, uint8_t(address), &query, 1});
        const uint64_t sent = services.clock.NowMillis();
        bool cancelled = false;
        if (!waitForAck(address)) {
            services.log.Message(" Nothing Received : ");
        } else {
            LogF(services.log, " ORVANTA ACK Received for Address: %d ", address);
            const uint64_t ackDelay = services.clock.NowMillis() - sent;
            const Answers answers = CollectAnswers(context, address, record, ackDelay, pass, *progress);
            result.found = uint8_t(std::min(int(result.found) + answers.valid, int(UINT8_MAX)));
            cancelled = answers.cancelled;
        }
        if (pass.Flooded()) {
            LogF(services.log, " Too many Replies on the bus: Discovery stopped after Address: %d ", address);
            result.flooded = true;
            break;
        }
        if (cancelled || BusInterfaceLost())
            break;
        const bool goOn = progress->Update(address);
        services.prompts.PumpEvents();
        if (!goOn)
            break;
    }

    services.prompts.SetStatusText(IDLE_STATUS, 0);
    progress->Hide();
    return result;
}

uint8_t ScanBus(NetworkContext& context, int start, bool record, const AckWait& waitForAck)
{
    return ScanBusPass(context, start, record, waitForAck).found;
}

int DiscoverDevices(NetworkContext& context, int start, const AckWait& waitForAck)
{
    int attempts = 0;
    int resolvingPasses = 0;
    uint8_t found = 0;
    for (;;) {
        const ScanResult pass = ScanBusPass(context, start, true, waitForAck);
        found = pass.found;
        if (ReportBusInterfaceLost()) {
            context.view.RefreshDeviceList();
            return found;
        }
        // Answers that flood the bus are no ground for moving devices, nor
        // for another pass: what was heard is listed as it stands.
        if (pass.flooded) {
            context.registry.MarkSharedAddresses();
            context.view.RefreshDeviceList();
            return found;
        }
        if (start == BROADCAST_ADDRESS) {
            if (found > 0) {
                // No re-addressing on this path, but devices that share an
                // address must not be configured or updated as one.
                context.registry.MarkSharedAddresses();
                context.view.RefreshDeviceList();
                return found;
            }
            ++attempts;
        } else {
            attempts = BROADCAST_ATTEMPTS;
        }
        if (resolvingPasses < MAX_RESOLVING_PASSES && ResolveDuplicateAddresses(context)) {
            ++resolvingPasses;
            continue;
        }
        if (ReportBusInterfaceLost()) {
            context.view.RefreshDeviceList();
            return found;
        }
        context.registry.MarkSharedAddresses();
        if (attempts < BROADCAST_ATTEMPTS)
            continue;
        break;
    }

    if (found > 0) {
        context.view.RefreshDeviceList();
        return found;
    }
    context.services.prompts.Message(
        "No ORV-Device Found",
        "\n \t\t NO DEVICE FOUND (HELPFUL TIPS):- \n \n - Please ensure you have ORV-NET USB and ORV-POWER connected "
        "to your device \n - Connect one ORV-device to ORV-POWER at a time and try again \n - Try Discover All "
        "Devices (Slow) if you still have problems ",
        Buttons::Ok, Icon::Exclamation);
    return found;
}

}  // namespace orv
