#include "ctl/interface_lost.h"

#include "link/bus_link.h"

namespace orv {

std::string InterfaceName(const Run& run)
{
    const BusChoice& bus = run.line.bus;
    return bus.sim             ? std::string("the simulated ORV-NET")
           : bus.port.empty() ? std::string("the ORV-NET")
                               : "the ORV-NET on " + bus.port;
}

std::string OrvctlOnThisInterface(const Run& run)
{
    const BusChoice& bus = run.line.bus;
    return bus.sim ? std::string("orvctl --sim ") : bus.port.empty() ? std::string("orvctl ") : "orvctl --port " + bus.port + " ";
}

std::string InterfaceLostText(const Run& run)
{
    const std::string& cause = BusLossCause();
    return InterfaceName(run) + " was disconnected while " + BusStepAtLoss().doing +
           (cause.empty() ? "" : " (" + cause + ")");
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
    // Whatever was to follow the discovery is not started.
    if (run.stop.Asked()) {
        run.Stopped("the discovery was stopped before its end");
        return false;
    }
    // Bytes that are no answer tell a line that carries something from a silent one.
    if (found == 0 && BusStrayBytes() > 0)
        run.Warn(StrF("no device answered on the bus, but %llu byte(s) came that were no acknowledgement and no frame: "
                      "noise on the line (a loose wire or a missing terminator) or another sender on it",
                      static_cast<unsigned long long>(BusStrayBytes())));
    else if (found == 0)
        run.Warn("no device answered on the bus");
    return found > 0;
}

}  // namespace orv
