#include "port/latency_timer.h"

#include <filesystem>
#include <fstream>

namespace orv {

std::optional<uint32_t> LatencyTimerMillis(const std::string& ttyPath, const std::string& sysRoot)
{
    namespace fs = std::filesystem;
    std::error_code ec;
    // A udev link such as /dev/serial/by-id/... names the node it points to.
    const fs::path node = fs::weakly_canonical(ttyPath, ec);
    if (ec)
        return std::nullopt;
    std::ifstream in(fs::path(sysRoot) / "class" / "tty" / node.filename() / "device" / "latency_timer");
    uint32_t millis = 0;
    if (!(in >> millis))
        return std::nullopt;
    return millis;
}

}  // namespace orv
