// The application log: every layer writes message-level lines into one sink.
// The programs route it to the log window, tests collect it, orvctl -v prints it.
#pragma once

#include <string>
#include <vector>

namespace orv {

class LogSink {
public:
    virtual ~LogSink() = default;
    virtual void Message(const std::string& line) = 0;
};

// The Windows build formats with MinGW's C99 printf (%zu included), not the
// system runtime's, and its format checks must know which one.
#if defined(__MINGW32__)
#define ORV_PRINTF_STYLE gnu_printf
#else
#define ORV_PRINTF_STYLE printf
#endif

// printf-style formatting, as the log texts are given.
std::string StrF(const char* format, ...) __attribute__((format(ORV_PRINTF_STYLE, 1, 2)));
void LogF(LogSink& log, const char* format, ...) __attribute__((format(ORV_PRINTF_STYLE, 2, 3)));

class NullLog final : public LogSink {
public:
    void Message(const std::string&) override {}
};

// Keeps every line; used by tests and by callers that show the log later.
class CollectingLog final : public LogSink {
public:
    void Message(const std::string& line) override { lines.push_back(line); }
    bool Contains(const std::string& line) const;
    std::vector<std::string> lines;
};

}  // namespace orv
