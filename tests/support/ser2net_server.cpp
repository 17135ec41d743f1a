#include "tests/support/ser2net_server.h"

#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <fstream>

#include "services/log.h"

extern char** environ;

namespace orv::test {
namespace {

constexpr int SERVER_START_LIMIT_MS = 10000;

// A TCP port on 127.0.0.1 that nothing listens on now.
uint16_t FreePort()
{
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
    getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
    close(fd);
    return ntohs(address.sin_port);
}

// Whether a socket listens on port, seen without connecting: a serial server
// takes a connection as a user of its device.
bool Listening(uint16_t port)
{
    std::ifstream table("/proc/net/tcp");
    const std::string wanted = StrF(":%04X ", unsigned(port));
    std::string row;
    while (std::getline(table, row))
        if (row.size() > 36 && row.compare(14, wanted.size(), wanted) == 0 && row.compare(34, 2, "0A") == 0)
            return true;
    return false;
}

}  // namespace

Ser2netServer::Ser2netServer(const std::vector<std::string>& kinds)
{
    for (const std::string& kind : kinds)
        accepters_.emplace_back(kind, FreePort());
}

::testing::AssertionResult Ser2netServer::Start(const std::string& folder, const std::string& device)
{
    const std::string config = folder + "/ser2net.yaml";
    {
        std::ofstream yaml(config);
        yaml << "%YAML 1.1\n---\n";
        for (const auto& [kind, port] : accepters_)
            yaml << "connection: &" << kind << "\n  accepter: " << (kind == "rfc2217" ? "telnet(rfc2217),tcp" : "tcp")
                 << ",127.0.0.1," << port << "\n  connector: serialdev," << device << ",125000n82,local\n";
    }
    const std::string pidFile = folder + "/ser2net.pid";
    const char* argv[] = {"ser2net", "-d", "-u", "-P", pidFile.c_str(), "-c", config.c_str(), nullptr};
    // Its own messages go to a file of the test's folder, not between the test's lines.
    const std::string log = folder + "/ser2net.log";
    posix_spawn_file_actions_t output;
    posix_spawn_file_actions_init(&output);
    posix_spawn_file_actions_addopen(&output, STDOUT_FILENO, log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_adddup2(&output, STDOUT_FILENO, STDERR_FILENO);
    const int spawned = posix_spawnp(&server_, "ser2net", &output, nullptr, const_cast<char**>(argv), environ);
    posix_spawn_file_actions_destroy(&output);
    if (spawned != 0) {
        server_ = -1;
        return ::testing::AssertionFailure() << "ser2net is not installed (scripts/install-deps.sh installs it)";
    }
    const auto allListening = [this] {
        return std::all_of(accepters_.begin(), accepters_.end(), [](const auto& a) { return Listening(a.second); });
    };
    // Waiting for another program to listen; nothing is timed by it.
    for (int waited = 0; !allListening() && waited < SERVER_START_LIMIT_MS; waited += 10)
        poll(nullptr, 0, 10);
    if (!allListening())
        return ::testing::AssertionFailure() << "ser2net does not listen (its messages: " << log << ")";
    return ::testing::AssertionSuccess();
}

void Ser2netServer::Stop()
{
    if (server_ <= 0)
        return;
    kill(server_, SIGTERM);
    waitpid(server_, nullptr, 0);
    server_ = -1;
}

std::string Ser2netServer::Url(const std::string& kind) const
{
    for (const auto& [name, port] : accepters_)
        if (name == kind)
            return kind + "://127.0.0.1:" + std::to_string(port);
    return "";
}

}  // namespace orv::test
