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

// printf-style formatting, as the log texts are given.
std::string StrF(const char* format, ...) __attribute__((format(printf, 1, 2)));
void LogF(LogSink& log, const char* format, ...) __attribute__((format(printf, 2, 3)));

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
