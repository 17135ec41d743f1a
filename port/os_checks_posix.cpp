#include "port/os_checks.h"

#include <grp.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <vector>

namespace orv {

namespace {
constexpr const char* UDEV_RULE_FOLDERS[] = {"/etc/udev/rules.d", "/usr/local/lib/udev/rules.d", "/usr/lib/udev/rules.d",
                                             "/lib/udev/rules.d"};
}  // namespace

bool InDialoutGroup()
{
    const group* dialout = getgrnam("dialout");
    if (!dialout)
        return false;
    std::vector<gid_t> groups(size_t(std::max(getgroups(0, nullptr), 0)));
    const int count = getgroups(int(groups.size()), groups.data());
    return getegid() == dialout->gr_gid ||
           std::find(groups.begin(), groups.begin() + std::max(count, 0), dialout->gr_gid) != groups.end();
}

bool MayOpenForReadAndWrite(const std::string& path)
{
    return access(path.c_str(), R_OK | W_OK) == 0;
}

std::optional<std::string> InstalledUdevRule()
{
    for (const char* folder : UDEV_RULE_FOLDERS) {
        const std::filesystem::path rule = std::filesystem::path(folder) / UDEV_RULE;
        std::error_code ec;
        if (std::filesystem::exists(rule, ec))
            return rule.string();
    }
    return std::nullopt;
}

}  // namespace orv
