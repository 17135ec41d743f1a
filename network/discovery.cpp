#include "network/discovery.h"

#include <algorithm>

#include "link/bus_link.h"
#include "network/address_management.h"

namespace orv {

namespace {

constexpr uint32_t REPLY_PAUSE_MS = 300;
constexpr int BROADCAST_ATTEMPTS = 3;
// How long the line must stay silent before a broadcast's answers are all in.
constexpr uint64_t BROADCAST_SILENCE_MS = 300;
// Passes that re-address shared addresses before the result stands as it is.
constexpr int MAX_RESOLVING_PASSES = 3;
constexpr const char* IDLE_STATUS = "ORVANTA TOOL";

// A device that repeats its answer is one device, not a list of them. A
// serial number is taken twice at one address, so that a repeated answer is
// still reported as one serial number heard twice when addresses are resolved.
constexpr size_t MAX_RECORDS_PER_SERIAL = 2;

bool AlreadyRecordedEnough(const DeviceRegistry& registry, const DeviceRecord& record)
{
    size_t same = 0;
    for (size_t i = 0; i < registry.Count(); ++i) {
        const DeviceRecord& other = registry.Record(i);
        same += other.address == record.address && other.serialNumber == record.serialNumber;
    }
    return same >= MAX_RECORDS_PER_SERIAL;
}

struct Answers {
    int valid = 0;
    bool cancelled = false;
};

// Reads the answers to one request until a read finds the line silent: every
// device that heard a broadcast answers in turn. A read that brings no reply
// has read until silence or given up on a line that never falls silent, so
// the next one would find nothing better. The devices that answer a broadcast
// may leave longer gaps between their turns than one silent read: the line is
// read until it has been silent for BROADCAST_SILENCE_MS, so that no late
// answer is left for the next request to take as its own. Between reads the
// progress dialog's Cancel is heard.
Answers CollectAnswers(NetworkContext& context, int address, bool record, ProgressDialog& progress)
{
    LogSink& log = context.services.log;
    Clock& clock = context.services.clock;
    const uint64_t start = clock.NowMillis();
    const bool broadcast = address == BROADCAST_ADDRESS;
    uint64_t lastHeard = start;
    Answers answers;
    uint8_t consumed = 0;
    for (int frames = 0;; ++frames) {
        if (frames == MAX_ANSWERS_PER_ADDRESS || clock.NowMillis() - start >= ANSWER_TIME_LIMIT_MS) {
            LogF(log, " Too many Replies from  Address: %d ", address);
            break;
        }
        BusReply reply;
        consumed = 0;
        const bool replied = ReceiveReply(reply, 1, &consumed);
        if (consumed != 0)
            lastHeard = clock.NowMillis();
        const bool mayHearMore = broadcast && clock.NowMillis() - lastHeard < BROADCAST_SILENCE_MS;
        if (!replied) {
            if (consumed != 0 || !mayHearMore)
                LogF(log, " Ack but No Reply from  Address: %d ", address);
            if (mayHearMore)
                continue;
            break;
        } else if (IsModuleInfoReply(reply)) {
            const DeviceRecord device = RecordFromReply(reply);
            if (AlreadyRecordedEnough(context.registry, device)) {
                LogF(log, " Repeated Reply from  Address: %d ", device.address);
            } else {
                if (record) {
                    log.Message(" MODULE_INFO Reply Recieved : ");
                    if (context.registry.Append(device)) {
                        log.Message(" Device Added : ");
                        context.services.prompts.SetStatusText(
                            StrF(" %zu: Orvanta Device(s) Found & Added", context.registry.Count()), 0);
                    }
                }
                ++answers.valid;
            }
        } else {
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

uint8_t ScanBus(NetworkContext& context, int start, bool record, const AckWait& waitForAck)
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
    uint8_t found = 0;
    for (int address = start; address <= last; ++address) {
        SetBusStep({address == BROADCAST_ADDRESS
                        ? std::string("the devices were being asked for their module information")
                        : StrF("address %d was being asked for its module information", address),
                    ""});
        LogF(services.log, " MOD INFO Request SENT To Address: %d ", address);
        const uint8_t query = 0;
        SendRequest(BusRequest{MODULE_INFO_REQUEST, uint8_t(address), &query, 1});
        bool cancelled = false;
        if (!waitForAck(address)) {
            services.log.Message(" Nothing Received : ");
        } else {
            LogF(services.log, " ORVANTA ACK Received for Address: %d ", address);
            services.clock.Sleep(REPLY_PAUSE_MS);
            const Answers answers = CollectAnswers(context, address, record, *progress);
            found = uint8_t(std::min(int(found) + answers.valid, int(UINT8_MAX)));
            cancelled = answers.cancelled;
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
    return found;
}

int DiscoverDevices(NetworkContext& context, int start, const AckWait& waitForAck)
{
    int attempts = 0;
    int resolvingPasses = 0;
    uint8_t found = 0;
    for (;;) {
        found = ScanBus(context, start, true, waitForAck);
        if (ReportBusInterfaceLost()) {
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
