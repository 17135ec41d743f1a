#include "services/settings_text.h"

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <vector>

#ifdef _WIN32
#include <filesystem>
#include <fstream>
#include <system_error>

#include "services/file_path.h"
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace orv {

namespace {

constexpr long NUMBER_LIMIT = 1000000;

bool IsNameCharacter(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_' || c == '-' ||
           c == '.';
}

bool IsName(std::string_view name)
{
    if (name.empty() || name == "." || name == "..")
        return false;
    for (char c : name)
        if (!IsNameCharacter(c))
            return false;
    return true;
}

// "Windows/Frame" or "/Windows/Frame": names joined by single slashes.
bool IsGroupPath(std::string_view path)
{
    if (!path.empty() && path.front() == '/')
        path.remove_prefix(1);
    while (true) {
        const size_t slash = path.find('/');
        if (!IsName(path.substr(0, slash)))
            return false;
        if (slash == std::string_view::npos)
            return true;
        path.remove_prefix(slash + 1);
    }
}

std::string_view Trimmed(std::string_view text)
{
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
        text.remove_suffix(1);
    return text;
}

// Whether text is UTF-8 without control characters other than the tab.
bool IsPlainUtf8(std::string_view text)
{
    for (size_t i = 0; i < text.size();) {
        const unsigned char lead = static_cast<unsigned char>(text[i]);
        if (lead < 0x80) {
            if ((lead < 0x20 && lead != '\t') || lead == 0x7F)
                return false;
            ++i;
            continue;
        }
        size_t length = 0;
        uint32_t code = 0;
        if (lead >= 0xC2 && lead <= 0xDF) {
            length = 2;
            code = lead & 0x1F;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            length = 3;
            code = lead & 0x0F;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            length = 4;
            code = lead & 0x07;
        } else {
            return false;
        }
        if (i + length > text.size())
            return false;
        for (size_t k = 1; k < length; ++k) {
            const unsigned char next = static_cast<unsigned char>(text[i + k]);
            if ((next & 0xC0) != 0x80)
                return false;
            code = (code << 6) | (next & 0x3F);
        }
        const uint32_t least = length == 3 ? 0x800 : length == 4 ? 0x10000 : 0x80;
        if (code < least || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
            return false;
        i += length;
    }
    return true;
}

bool IsBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

// The value as stored: quotes around it taken off and escapes undone. A value
// starts with a quote only when it is quoted, and then ends with one.
std::optional<std::string> Unescaped(std::string_view stored)
{
    const bool quoted = !stored.empty() && stored.front() == '"';
    if (quoted) {
        if (stored.size() < 2 || stored.back() != '"')
            return std::nullopt;
        stored = stored.substr(1, stored.size() - 2);
    }
    std::string value;
    for (size_t i = 0; i < stored.size(); ++i) {
        const char c = stored[i];
        if (c == '"' && quoted)
            return std::nullopt;
        if (c != '\\') {
            value += c;
            continue;
        }
        if (++i == stored.size())
            return std::nullopt;
        switch (stored[i]) {
        case 'n': value += '\n'; break;
        case 'r': value += '\r'; break;
        case 't': value += '\t'; break;
        case '\\': value += '\\'; break;
        case '"': value += '"'; break;
        default: return std::nullopt;
        }
    }
    return value;
}

// As the toolkit writes a value: quoted when it starts with a blank or a
// quote, so that neither is lost.
std::string Escaped(const std::string& value)
{
    const bool quoted = !value.empty() && (IsBlank(value.front()) || value.front() == '"');
    std::string stored = quoted ? "\"" : "";
    for (char c : value) {
        switch (c) {
        case '\n': stored += "\\n"; break;
        case '\r': stored += "\\r"; break;
        case '\t': stored += "\\t"; break;
        case '\\': stored += "\\\\"; break;
        case '"': stored += quoted ? "\\\"" : "\""; break;
        default: stored += c;
        }
    }
    if (quoted)
        stored += '"';
    return stored;
}

std::string LineProblem(size_t line, const std::string& what)
{
    return "line " + std::to_string(line) + " " + what;
}

}  // namespace

SettingsText ParseSettingsText(std::string_view text)
{
    SettingsText parsed;
    std::string group = "/";
    size_t lineNumber = 0;
    while (!text.empty()) {
        ++lineNumber;
        const size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        if (!IsPlainUtf8(line)) {
            parsed.problem = LineProblem(lineNumber, "holds bytes that are not text");
            break;
        }
        while (!line.empty() && (line.front() == ' ' || line.front() == '\t'))
            line.remove_prefix(1);
        if (line.empty() || line.front() == ';' || line.front() == '#')
            continue;
        if (line.front() == '[') {
            const size_t close = line.find(']');
            const std::string_view rest = close == std::string_view::npos ? "" : Trimmed(line.substr(close + 1));
            if (close == std::string_view::npos || !IsGroupPath(line.substr(1, close - 1)) ||
                (!rest.empty() && rest.front() != ';' && rest.front() != '#')) {
                parsed.problem = LineProblem(lineNumber, "is not a group name in brackets");
                break;
            }
            const std::string_view path = line.substr(1, close - 1);
            group = path.front() == '/' ? std::string(path) + "/" : "/" + std::string(path) + "/";
            continue;
        }
        const size_t equals = line.find('=');
        if (equals == std::string_view::npos) {
            parsed.problem = LineProblem(lineNumber, "has no '=' between a name and a value");
            break;
        }
        const std::string_view name = Trimmed(line.substr(0, equals));
        if (!IsName(name)) {
            parsed.problem = LineProblem(lineNumber, name.empty() ? "has no name before '='" : "has a name that is not one");
            break;
        }
        // Blanks after the value are part of it; those before it are not.
        std::string_view stored = line.substr(equals + 1);
        while (!stored.empty() && (stored.front() == ' ' || stored.front() == '\t'))
            stored.remove_prefix(1);
        const std::optional<std::string> value = Unescaped(stored);
        if (!value) {
            parsed.problem = LineProblem(lineNumber, "has a value with a stray quote or backslash");
            break;
        }
        const std::string key = group + std::string(name);
        if (const std::string problem = SettingValueProblem(key, *value); !problem.empty()) {
            parsed.problem = LineProblem(lineNumber, problem);
            break;
        }
        if (!parsed.values.emplace(key, *value).second) {
            parsed.problem = LineProblem(lineNumber, "sets " + key + " a second time");
            break;
        }
    }
    if (!parsed.problem.empty())
        parsed.values.clear();
    return parsed;
}

std::string SettingsTextOf(const SettingsValues& values)
{
    // Entries before the first group line belong to the root: they come first.
    std::string text;
    for (const auto& [key, value] : values)
        if (key.rfind('/') == 0)
            text += key.substr(1) + "=" + Escaped(value) + "\n";
    // The map keeps each group's entries together.
    std::string group = "/";
    for (const auto& [key, value] : values) {
        const size_t slash = key.rfind('/');
        if (slash == 0)
            continue;
        const std::string keyGroup = key.substr(0, slash + 1);
        if (keyGroup != group) {
            group = keyGroup;
            text += "[" + group.substr(1, group.size() - 2) + "]\n";
        }
        text += key.substr(slash + 1) + "=" + Escaped(value) + "\n";
    }
    return text;
}

std::optional<SettingKind> KindOfSetting(std::string_view key)
{
    if (key == "/Format")
        return SettingKind::Number;
    if (key == "/Interface/Port")
        return SettingKind::Text;
    if (key.substr(0, 9) == "/Folders/")
        return SettingKind::Text;
    if (key.substr(0, 9) == "/Windows/") {
        const std::string_view entry = key.substr(key.rfind('/') + 1);
        if (entry == "X" || entry == "Y" || entry == "Width" || entry == "Height")
            return SettingKind::Number;
        if (entry == "Maximised" || entry == "Shown")
            return SettingKind::Flag;
    }
    return std::nullopt;
}

std::string SettingValueProblem(std::string_view key, std::string_view value)
{
    if (value.size() > SETTING_VALUE_LIMIT)
        return "has a value of " + std::to_string(value.size()) + " characters, more than " +
               std::to_string(SETTING_VALUE_LIMIT);
    if (value.find('\0') != std::string_view::npos)
        return "has a value holding a zero byte";
    switch (KindOfSetting(key).value_or(SettingKind::Text)) {
    case SettingKind::Text:
        return "";
    case SettingKind::Number:
        return SettingNumber(value, -NUMBER_LIMIT, NUMBER_LIMIT) ? "" : "gives " + std::string(key) + " no whole number";
    case SettingKind::Flag:
        return value == "0" || value == "1" ? "" : "gives " + std::string(key) + " neither 0 nor 1";
    }
    return "";
}

std::optional<long> SettingNumber(std::string_view value, long low, long high)
{
    const bool negative = !value.empty() && value.front() == '-';
    std::string_view digits = negative ? value.substr(1) : value;
    if (digits.empty() || digits.size() > 9)
        return std::nullopt;
    long number = 0;
    for (char c : digits) {
        if (c < '0' || c > '9')
            return std::nullopt;
        number = number * 10 + (c - '0');
    }
    if (negative)
        number = -number;
    if (number < low || number > high)
        return std::nullopt;
    return number;
}

namespace {

std::string TooLarge(unsigned long long size)
{
    return "is " + std::to_string(size) + " bytes long, more than settings ever hold (" +
           std::to_string(SETTINGS_FILE_LIMIT) + ")";
}

}  // namespace

#ifdef _WIN32

SettingsFile ReadSettingsFile(const std::string& path)
{
    namespace fs = std::filesystem;
    SettingsFile file;
    std::error_code error;
    const fs::file_status status = fs::status(PathOf(path), error);
    if (status.type() == fs::file_type::not_found)
        return file;
    file.state = SettingsFileState::Refused;
    if (error) {
        file.problem = "cannot be read (" + error.message() + ")";
        return file;
    }
    if (status.type() == fs::file_type::directory) {
        file.problem = "is a folder, not a file";
        return file;
    }
    if (status.type() != fs::file_type::regular) {
        file.problem = "is not a plain file";
        return file;
    }
    const uintmax_t size = fs::file_size(PathOf(path), error);
    if (!error && size > SETTINGS_FILE_LIMIT) {
        file.problem = TooLarge(size);
        return file;
    }
    std::ifstream in(PathOf(path), std::ios::binary);
    std::vector<char> bytes(SETTINGS_FILE_LIMIT + 1);
    in.read(bytes.data(), std::streamsize(bytes.size()));
    if (in.bad() || !in.is_open()) {
        file.problem = "cannot be read";
        return file;
    }
    const size_t got = size_t(in.gcount());
    if (got > SETTINGS_FILE_LIMIT) {
        file.problem = TooLarge(got);
        return file;
    }
    file.state = SettingsFileState::Read;
    file.text.assign(bytes.data(), got);
    return file;
}

#else

SettingsFile ReadSettingsFile(const std::string& path)
{
    SettingsFile file;
    // Without blocking: a pipe in the file's place must not wait for a writer.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        if (errno == ENOENT)
            return file;
        file.state = SettingsFileState::Refused;
        file.problem = std::string("cannot be read (") + std::strerror(errno) + ")";
        return file;
    }
    file.state = SettingsFileState::Refused;
    struct stat status {};
    if (::fstat(fd, &status) != 0) {
        file.problem = std::string("cannot be read (") + std::strerror(errno) + ")";
    } else if (S_ISDIR(status.st_mode)) {
        file.problem = "is a folder, not a file";
    } else if (!S_ISREG(status.st_mode)) {
        file.problem = S_ISFIFO(status.st_mode) ? "is a pipe, not a file" : "is a device, not a file";
    } else if (static_cast<unsigned long long>(status.st_size) > SETTINGS_FILE_LIMIT) {
        file.problem = TooLarge(static_cast<unsigned long long>(status.st_size));
    } else {
        std::vector<char> bytes(SETTINGS_FILE_LIMIT + 1);
        size_t got = 0;
        while (got < bytes.size()) {
            const ssize_t n = ::read(fd, bytes.data() + got, bytes.size() - got);
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0) {
                file.problem = std::string("cannot be read (") + std::strerror(errno) + ")";
                break;
            }
            if (n == 0)
                break;
            got += size_t(n);
        }
        // A file that grew while it was read is judged by what was read.
        if (file.problem.empty() && got > SETTINGS_FILE_LIMIT)
            file.problem = TooLarge(got);
        if (file.problem.empty()) {
            file.state = SettingsFileState::Read;
            file.text.assign(bytes.data(), got);
        }
    }
    ::close(fd);
    return file;
}

#endif

}  // namespace orv
