#include "port/system_error.h"

#ifdef _WIN32
#include <windows.h>

#include "services/file_path.h"
#else
#include <cstring>
#endif

namespace orv {

std::string SystemErrorText(int error)
{
#ifdef _WIN32
    // The wide call and UTF-8: the narrow one answers in the ANSI code page,
    // which a UTF-8 console or log shows as garbage on a Russian system.
    wchar_t text[512] = {};
    const DWORD length = FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                                        DWORD(error), 0, text, DWORD(sizeof text / sizeof text[0]), nullptr);
    std::string words = Utf8Of(std::wstring(text, length));
    // The system ends its sentences with a full stop and a line break.
    while (!words.empty() && (words.back() == '\n' || words.back() == '\r' || words.back() == '.' || words.back() == ' '))
        words.pop_back();
    return words.empty() ? "system error " + std::to_string(error) : words;
#else
    const char* words = std::strerror(error);
    return words && *words ? std::string(words) : "system error " + std::to_string(error);
#endif
}

std::string FailedCall(const std::string& call, int error)
{
    return call + ": " + SystemErrorText(error);
}

}  // namespace orv
