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

std::optional<uint32_t> PortLatencyMillis(const std::string& ttyPath, const std::string& sysRoot)
{
    if (const std::optional<uint32_t> timer = LatencyTimerMillis(ttyPath, sysRoot))
        return timer;
    namespace fs = std::filesystem;
    std::error_code ec;
    const fs::path node = fs::canonical(ttyPath, ec);
    if (!ec && node.parent_path() == "/dev/pts" && fs::is_character_file(node, ec))
        return 0;
    return std::nullopt;
}

}  // namespace orv
