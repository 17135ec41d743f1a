#include "services/log.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>

namespace orv {

namespace {
std::string VStrF(const char* format, va_list args)
{
    va_list copy;
    va_copy(copy, args);
    int size = std::vsnprintf(nullptr, 0, format, copy);
    va_end(copy);
    if (size <= 0)
        return {};
    std::string text(size_t(size) + 1, '\0');
    std::vsnprintf(text.data(), text.size(), format, args);
    text.resize(size_t(size));
    return text;
}
}  // namespace

std::string StrF(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    std::string text = VStrF(format, args);
    va_end(args);
    return text;
}

void LogF(LogSink& log, const char* format, ...)
{
    va_list args;
    va_start(args, format);
    std::string text = VStrF(format, args);
    va_end(args);
    log.Message(text);
}

bool CollectingLog::Contains(const std::string& line) const
{
    return std::find(lines.begin(), lines.end(), line) != lines.end();
}

}  // namespace orv
