// The latency timer on Windows: FTDI's driver keeps it in the registry, in
// the device parameters of the COM port.
#include "port/latency_timer.h"

#include "port/com_interface.h"

namespace orv {

std::optional<uint32_t> LatencyTimerMillis(const std::string& portName, const std::string&)
{
    return ComLatencyTimer(portName);
}

// A COM port has no pseudo-terminal twin: what the driver keeps is all there is to know.
std::optional<uint32_t> PortLatencyMillis(const std::string& portName, const std::string& sysRoot)
{
    return LatencyTimerMillis(portName, sysRoot);
}

}  // namespace orv
