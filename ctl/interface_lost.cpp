#include "ctl/interface_lost.h"

#include "link/bus_link.h"

namespace orv {

std::string InterfaceLostText(const Run& run)
{
    const BusChoice& bus = run.line.bus;
    const std::string name = bus.sim             ? std::string("the simulated ORV-NET")
                             : bus.port.empty() ? std::string("the ORV-NET")
                                                 : "the ORV-NET on " + bus.port;
    const std::string& cause = BusLossCause();
    return name + " was disconnected while " + BusStepAtLoss().doing + (cause.empty() ? "" : " (" + cause + ")");
}

std::optional<int> FailIfInterfaceLost(const Run& run)
{
    if (!BusInterfaceLost())
        return std::nullopt;
    return run.Fail(EXIT_BUS, InterfaceLostText(run));
}

bool DiscoverSomeOrFail(Run& run, BusSession& session, bool all, bool resolve)
{
    const int found = session.Discover(all, resolve);
    if (FailIfInterfaceLost(run))
        return false;
    if (found == 0)
        run.Warn("no device answered on the bus");
    return found > 0;
}

}  // namespace orv
