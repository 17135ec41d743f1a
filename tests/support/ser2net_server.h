// A real ser2net for the network tests: its accepters listen on free ports of
// 127.0.0.1 and serve one serial device, a simulated bus's pseudo-terminal.
// Its configuration, pid file and messages stay in the test's folder, and it
// runs without UUCP locking, so that any user can run the tests.
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

namespace orv::test {

class Ser2netServer {
public:
    // One accepter per kind of URL: "tcp" (raw) or "rfc2217" (telnet with RFC 2217).
    explicit Ser2netServer(const std::vector<std::string>& kinds);
    ~Ser2netServer() { Stop(); }
    Ser2netServer(const Ser2netServer&) = delete;
    Ser2netServer& operator=(const Ser2netServer&) = delete;

    // Starts the server on device at 125000 baud 8N2, its files in folder, and
    // waits until every accepter listens.
    ::testing::AssertionResult Start(const std::string& folder, const std::string& device);
    // Ends the server, if it runs.
    void Stop();

    // "KIND://127.0.0.1:PORT" of the accepter of that kind.
    std::string Url(const std::string& kind) const;

private:
    std::vector<std::pair<std::string, uint16_t>> accepters_;
    pid_t server_ = -1;
};

}  // namespace orv::test
