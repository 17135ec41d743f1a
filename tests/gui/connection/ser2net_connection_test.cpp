// The connection dialog with a real ser2net in front of the relay's bus: its
// rfc2217 accepter takes one connection at a time, so Test on the server in
// use works only when the line in use lets go of it first. Chosen, it is the
// line of the next start.
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>

#include "tests/gui/connection/connection_fixture.h"

extern char** environ;

namespace orv::test {
namespace {

constexpr int SERVER_START_LIMIT_MS = 10000;

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

// Seen without connecting: the server would take a connection as a user.
bool Listening(uint16_t port)
{
    std::ifstream table("/proc/net/tcp");
    const std::string local = StrF(":%04X ", port);
    std::string row;
    while (std::getline(table, row))
        if (row.size() > 36 && row.compare(14, local.size(), local) == 0 && row.compare(34, 2, "0A") == 0)
            return true;
    return false;
}

class Ser2netConnectionTest : public ConnectionDialogTest {
protected:
    void SetUp() override
    {
        ConnectionDialogTest::SetUp();
        fs::create_directories(settingsFolder);
        const std::string config = (settingsFolder / "ser2net.yaml").string();
        std::ofstream(config) << "%YAML 1.1\n---\nconnection: &rfc2217\n  accepter: telnet(rfc2217),tcp,127.0.0.1,"
                              << port << "\n  connector: serialdev," << relayPty.SlavePath() << ",125000n82,local\n";
        const std::string pidFile = (settingsFolder / "ser2net.pid").string();
        const std::string log = (settingsFolder / "ser2net.log").string();
        const char* argv[] = {"ser2net", "-d", "-u", "-P", pidFile.c_str(), "-c", config.c_str(), nullptr};
        posix_spawn_file_actions_t output;
        posix_spawn_file_actions_init(&output);
        posix_spawn_file_actions_addopen(&output, STDOUT_FILENO, log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        posix_spawn_file_actions_adddup2(&output, STDOUT_FILENO, STDERR_FILENO);
        const int spawned = posix_spawnp(&server, "ser2net", &output, nullptr, const_cast<char**>(argv), environ);
        posix_spawn_file_actions_destroy(&output);
        ASSERT_EQ(spawned, 0) << "ser2net is not installed (scripts/install-deps.sh installs it)";
        // Waiting for another program to listen; nothing is timed by it.
        for (int waited = 0; !Listening(port) && waited < SERVER_START_LIMIT_MS; waited += 10)
            poll(nullptr, 0, 10);
        ASSERT_TRUE(Listening(port)) << "ser2net does not listen";
    }

    void TearDown() override
    {
        Stop();
        if (server > 0) {
            kill(server, SIGTERM);
            waitpid(server, nullptr, 0);
        }
        ConnectionDialogTest::TearDown();
    }

    std::string Url() const { return "rfc2217://127.0.0.1:" + std::to_string(port); }

    uint16_t port = FreePort();
    pid_t server = -1;
};

TEST_F(Ser2netConnectionTest, TheServerInUseIsTestedChosenAndUsedAtTheNextStart)
{
    Start(Url());
    EXPECT_EQ(InterfaceStatus(), "Interface: " + Url());
    EXPECT_EQ(QuickDiscovery(), std::vector<int>{9});

    Choose([&](ConnectionDialog& dialog) {
        EXPECT_EQ(dialog.ChosenPort(), Url());
        Click(dialog.TestButton());
        EXPECT_EQ(Result(dialog), Url() + " opened; 1 device answered a broadcast: ORV-Relay (00 12 AB 34) at address 9.");
        dialog.AddressField()->SetValue(demoPty.SlavePath());
        Click(dialog.FindWindow(wxID_OK));
    });
    EXPECT_EQ(QuickDiscovery(), (std::vector<int>{3, 5, 7, 9, 12}));

    Choose([&](ConnectionDialog& dialog) {
        dialog.AddressField()->SetValue(Url());
        Click(dialog.FindWindow(wxID_OK));
    });
    EXPECT_EQ(QuickDiscovery(), std::vector<int>{9});
    EXPECT_TRUE(prompts.boxes.empty());

    Stop();
    Start();
    EXPECT_EQ(line->Port(), Url());
    EXPECT_EQ(QuickDiscovery(), std::vector<int>{9});
}

}  // namespace
}  // namespace orv::test
