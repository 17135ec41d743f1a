#include "port/system_error.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <cstring>
#endif

namespace orv {

std::string SystemErrorText(int error)
{
#ifdef _WIN32
    char text[256] = {};
    const DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                                        DWORD(error), 0, text, sizeof text, nullptr);
    std::string words(text, length);
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
