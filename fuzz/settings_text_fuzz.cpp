// The program's settings file: any bytes as its text. Text that is taken holds
// only values of the kind their key says, and is written again and read back
// as the same values; text that is refused says which line and takes nothing.
#include <cstdint>
#include <string>

#include "fuzz/fuzz_support.h"
#include "services/settings_text.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    const orv::SettingsText parsed = orv::ParseSettingsText(text);
    if (!parsed.problem.empty()) {
        FUZZ_CHECK(parsed.values.empty() && parsed.problem.rfind("line ", 0) == 0);
        return 0;
    }
    for (const auto& [key, value] : parsed.values) {
        FUZZ_CHECK(key.size() > 1 && key.front() == '/' && key.back() != '/');
        FUZZ_CHECK(orv::SettingValueProblem(key, value).empty());
    }
    const std::string written = orv::SettingsTextOf(parsed.values);
    const orv::SettingsText again = orv::ParseSettingsText(written);
    FUZZ_CHECK(again.problem.empty());
    FUZZ_CHECK(again.values == parsed.values);
    return 0;
}
