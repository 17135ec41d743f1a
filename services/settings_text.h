// The program's settings as stored text, read before the toolkit sees them.
// The settings file is one the user, another program or a damaged disk may
// have changed: it is read only when it is a regular file of a size settings
// can have, and its text is taken only when every line is one this program
// could have written (groups, named entries, values of the kind their name
// says). Anything else is refused with the reason, so that the caller sets it
// aside and starts afresh instead of handing the toolkit text it cannot read.
//
// The text is the toolkit's file-config form: "[Group/Sub]" lines, "Name=value"
// entries, ';' and '#' comments; a value may be quoted and uses the escapes
// \n \r \t \\ \". A key is the group path and the name: "/Interface/Port".
#pragma once

#include <cstddef>
#include <map>
#include <optional>
#include <string>
#include <string_view>

namespace orv {

// Settings hold a few hundred bytes; a file much larger is not settings.
inline constexpr size_t SETTINGS_FILE_LIMIT = 64 * 1024;
// The longest value kept (a folder or an interface address).
inline constexpr size_t SETTING_VALUE_LIMIT = 4096;

using SettingsValues = std::map<std::string, std::string>;

struct SettingsText {
    SettingsValues values;
    // Why the text is not taken, naming the line; empty when it is.
    std::string problem;
};

SettingsText ParseSettingsText(std::string_view text);

// The text ParseSettingsText reads back as values.
std::string SettingsTextOf(const SettingsValues& values);

enum class SettingsFileState { Absent, Read, Refused };

struct SettingsFile {
    SettingsFileState state = SettingsFileState::Absent;
    std::string text;
    // Why the file was refused, as words that follow its name.
    std::string problem;
};

// Reads path without following it into anything but a regular file (a folder,
// a pipe or a device is refused before a byte is read) and without reading
// more than SETTINGS_FILE_LIMIT bytes.
SettingsFile ReadSettingsFile(const std::string& path);

// What a setting of this program holds, by its key; keys of other versions
// are kept as text and not checked further.
enum class SettingKind { Text, Number, Flag };
std::optional<SettingKind> KindOfSetting(std::string_view key);

// Why value cannot be the value of key; empty when it can.
std::string SettingValueProblem(std::string_view key, std::string_view value);

// The whole number a Number setting holds, when it lies in [low, high].
std::optional<long> SettingNumber(std::string_view value, long low, long high);

}  // namespace orv
