#include "services/file_path.h"

#include <algorithm>
#include <cctype>

#ifdef _WIN32
#include <windows.h>
#endif

namespace orv {

#ifdef _WIN32
// Bytes that are no UTF-8 become U+FFFD rather than an exception or nothing.
std::wstring WideOf(const std::string& text)
{
    if (text.empty())
        return {};
    const int length = MultiByteToWideChar(CP_UTF8, 0, text.data(), int(text.size()), nullptr, 0);
    std::wstring wide(size_t(std::max(length, 0)), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), int(text.size()), wide.data(), length);
    return wide;
}

std::string Utf8Of(const std::wstring& text)
{
    if (text.empty())
        return {};
    const int length = WideCharToMultiByte(CP_UTF8, 0, text.data(), int(text.size()), nullptr, 0, nullptr, nullptr);
    std::string narrow(size_t(std::max(length, 0)), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), int(text.size()), narrow.data(), length, nullptr, nullptr);
    return narrow;
}

std::filesystem::path PathOf(const std::string& text)
{
    return std::filesystem::path(WideOf(text));
}

std::string TextOf(const std::filesystem::path& path)
{
    return Utf8Of(path.native());
}
#else
std::filesystem::path PathOf(const std::string& text)
{
    return std::filesystem::path(text);
}

std::string TextOf(const std::filesystem::path& path)
{
    return path.native();
}
#endif

std::string ProgramNameOf(const std::string& path)
{
    const size_t separator = path.find_last_of("/\\");
    std::string name = separator == std::string::npos ? path : path.substr(separator + 1);
#ifdef _WIN32
    constexpr const char* SUFFIX = ".exe";
    if (name.size() > 4 && std::equal(name.end() - 4, name.end(), SUFFIX,
                                      [](char a, char b) { return std::tolower(static_cast<unsigned char>(a)) == b; }))
        name.resize(name.size() - 4);
#endif
    return name;
}

}  // namespace orv
