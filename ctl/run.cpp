#include "ctl/run.h"

#include "ctl/device_list.h"
#include "link/bus_link.h"
#include "model/latin1.h"
#include "network/address_management.h"
#include "network/discovery.h"
#include "network/fast_scan.h"
#include "port/latency_timer.h"

namespace orv {

int Run::Fail(int status, const std::string& text) const
{
    Warn(text);
    return status;
}

void Run::Warn(const std::string& text) const
{
    errors.Line(LinePrefix(line) + text);
}

int Run::Stopped(const std::string& text)
{
    stop.told = true;
    return Fail(EXIT_STOPPED, "stopped by Ctrl+C: " + text);
}

std::string LinePrefix(const CommandLine& line)
{
    return "orvctl: " + (line.command.empty() ? std::string() : line.command + ": ");
}

BusSession::BusSession(Run& run)
    : run_(run),
      access_(run.factory(run.line.bus)),
      services_{access_->Time(), run.log, run.prompts, run.stop},
      registry_(run.log),
      // The desktop tool keeps its fixed pauses; orvctl goes at the pace its devices answer.
      context_{services_, registry_, view_, BusPace::Measured}
{
}

bool BusSession::Open()
{
    run_.stop.Arm();
    BindBusLink(access_->Interface(), services_);
    if (OpenBusInterface(OpenPace::AfterFailureOnly))
        return true;
    const BusChoice& bus = run_.line.bus;
    const std::string cause = access_->Interface().LastError();
    if (!bus.port.empty())
        run_.Warn("cannot open " + bus.port + " as the bus interface" + (cause.empty() ? "" : ": " + cause));
    else if (!cause.empty())
        run_.Warn("cannot open the ORV-NET: " + cause);
    else
        run_.Warn("no ORV-NET interface found (an FTDI USB serial interface, vendor 0403)");
    return false;
}

int BusSession::Discover(bool all, bool resolve)
{
    run_.prompts.ResolveSharedAddresses(resolve);
    run_.prompts.CountFoundWith([this] { return registry_.Count(); });
    int found = 0;
    const bool slow = run_.line.Has("--slow");
    context_.pace = slow ? BusPace::Fixed : BusPace::Measured;
    if (all && !slow)
        found = FastDiscoverAll(context_, LatencyTimer()).found;
    else
        found = DiscoverDevices(context_, all ? 0 : BROADCAST_ADDRESS);
    // A broadcast pass only marks shared addresses; resolving them is the
    // full pass's part, asked for here as well.
    if (!all && resolve && found > 0 && ResolveDuplicateAddresses(context_))
        found = DiscoverDevices(context_, BROADCAST_ADDRESS);
    run_.prompts.ResolveSharedAddresses(false);
    run_.prompts.CountFoundWith({});
    return found;
}

std::optional<uint32_t> BusSession::LatencyTimer()
{
    const std::string path = access_->DevicePath(0);
    if (path.empty())
        return std::nullopt;
    return PortLatencyMillis(path);
}

bool BusSession::DiscoverSome(bool all, bool resolve)
{
    if (Discover(all, resolve) > 0)
        return true;
    run_.Warn("no device answered on the bus");
    return false;
}

const DeviceRecord* BusSession::SelectDeviceAt(uint8_t address)
{
    std::vector<size_t> at;
    for (size_t i = 0; i < registry_.Count(); ++i)
        if (registry_.Record(i).address == address)
            at.push_back(i);
    if (at.empty()) {
        run_.Warn("no device answers at address " + std::to_string(address));
        return nullptr;
    }
    if (at.size() > 1) {
        run_.Warn("address " + std::to_string(address) + " is shared by " + std::to_string(at.size()) +
                  " devices; nothing is sent to it (orvctl discover --resolve gives each its own address)");
        return nullptr;
    }
    registry_.Select(uint8_t(at.front()));
    return &registry_.Record(at.front());
}

std::string DescribeDevice(const DeviceRecord& record)
{
    return TerminalText(Latin1ToUtf8(DeviceRowText(record))) + " at address " + std::to_string(record.address);
}

}  // namespace orv
