// The network backends against a real ser2net on 127.0.0.1, whose serial
// device is the pseudo-terminal of a simulated bus: a raw tcp accepter and a
// telnet(rfc2217) one. orvctl discovers, reads and writes a configuration
// through each, and through the pseudo-terminal itself; bytes that Telnet
// escapes pass unchanged; a server that goes away is a lost line.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>

#include "tests/support/pty_bus.h"
#include "config/input8_image.h"
#include "link/bus_link.h"
#include "network/catalogue.h"
#include "port/port_address.h"
#include "sim/sim_device.h"
#include "tests/orvctl/orvctl_rig.h"

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
    const std::string local = StrF(":%04X ", port);
    std::string row;
    while (std::getline(table, row))
        if (row.size() > 36 && row.compare(14, local.size(), local) == 0 && row.compare(34, 2, "0A") == 0)
            return true;
    return false;
}

// The interface a test makes from a port value, with its pauses in virtual
// time: the reads wait for the server, a 300 ms pause costs nothing.
class NetworkBus final : public BusAccess {
public:
    NetworkBus(const std::string& port, Clock& clock) : usb_(MakePortInterface(port)), clock_(clock) {}
    UsbInterface& Interface() override { return *usb_; }
    Clock& Time() override { return clock_; }

private:
    std::unique_ptr<UsbInterface> usb_;
    Clock& clock_;
};

class Ser2netTest : public ::testing::TestWithParam<std::string> {
protected:
    static constexpr uint8_t ADDRESS = 3;
    SteadyClock busClock;
    SimBus bus{busClock};
    SimDevice input8{SimDeviceKind::Input8, ADDRESS, {0x78, 0x56, 0x34, 0x12}};
    PtyBus pty{bus};
    TempFolder folder;
    VirtualClock clock;
    BusFactory factory = [this](const BusChoice& choice) { return std::make_unique<NetworkBus>(choice.port, clock); };
    uint16_t rawPort = FreePort();
    uint16_t rfc2217Port = FreePort();
    pid_t server = -1;

    void SetUp() override
    {
        ASSERT_TRUE(pty.Ready());
        pty.With([this](SimBus& b) { b.Attach(input8); });
        const std::string line = "  connector: serialdev," + pty.SlavePath() + ",125000n82,local\n";
        std::ofstream(folder / "ser2net.yaml") << "%YAML 1.1\n---\n"
                                               << "connection: &raw\n  accepter: tcp,127.0.0.1," << rawPort << "\n"
                                               << line << "connection: &rfc2217\n  accepter: telnet(rfc2217),tcp,"
                                               << "127.0.0.1," << rfc2217Port << "\n"
                                               << line;
        const std::string config = folder / "ser2net.yaml";
        // No UUCP lock and the pid file in the test's folder: nothing outside it needs to be writable.
        const std::string pidFile = folder / "ser2net.pid";
        const char* argv[] = {"ser2net", "-d", "-u", "-P", pidFile.c_str(), "-c", config.c_str(), nullptr};
        // Its own messages go to a file of the test's folder, not between the test's lines.
        const std::string log = folder / "ser2net.log";
        posix_spawn_file_actions_t output;
        posix_spawn_file_actions_init(&output);
        posix_spawn_file_actions_addopen(&output, STDOUT_FILENO, log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        posix_spawn_file_actions_adddup2(&output, STDOUT_FILENO, STDERR_FILENO);
        const int spawned = posix_spawnp(&server, "ser2net", &output, nullptr, const_cast<char**>(argv), environ);
        posix_spawn_file_actions_destroy(&output);
        ASSERT_EQ(spawned, 0) << "ser2net is not installed (scripts/install-deps.sh installs it)";
        // Waiting for another program to listen; nothing is timed by it.
        for (int waited = 0; !(Listening(rawPort) && Listening(rfc2217Port)) && waited < SERVER_START_LIMIT_MS;
             waited += 10)
            poll(nullptr, 0, 10);
        ASSERT_TRUE(Listening(rawPort) && Listening(rfc2217Port)) << "ser2net does not listen";
    }

    void TearDown() override { StopServer(); }

    void StopServer()
    {
        if (server <= 0)
            return;
        kill(server, SIGTERM);
        waitpid(server, nullptr, 0);
        server = -1;
    }

    // The port of the kind: the pseudo-terminal itself, or ser2net's accepter.
    std::string Url() const
    {
        if (GetParam() == "tty")
            return pty.SlavePath();
        return GetParam() + "://127.0.0.1:" + std::to_string(GetParam() == "tcp" ? rawPort : rfc2217Port);
    }

    CliResult Run(std::vector<std::string> args)
    {
        args.insert(args.begin(), {"--port", Url()});
        return RunCli(args, factory);
    }

    static Input8Config Config(const std::string& name, uint8_t destination)
    {
        Input8Config config;
        config.name = name;
        config.rows[2] = InputRow{1, ChangeType::Open, destination, ACTION_RELAY_ENERGIZE, {'5'}};
        return config;
    }
};

// The same round trip on every kind of port.
class PortKindTest : public Ser2netTest {};

TEST_P(PortKindTest, DiscoverReadAndWriteAConfiguration)
{
    pty.With([this](SimBus&) { input8.LoadMemory(EncodeInput8Image(Config("Plant", 7), ImageForm::Device)); });

    const CliResult found = Run({"discover"});
    ASSERT_EQ(found.status, EXIT_OK) << ::testing::PrintToString(found);
    EXPECT_EQ(found.out, "  3  ORV-Input8   12 34 56 78  1.0    configured\n");

    const CliResult read = Run({"read-config", "3", "-o", folder / "plant.bin"});
    ASSERT_EQ(read.status, EXIT_OK) << ::testing::PrintToString(read);
    EXPECT_EQ(ReadBytes(folder / "plant.bin"), EncodeInput8Image(Config("Plant", 7), ImageForm::File));

    WriteBytes(folder / "room.bin", EncodeInput8Image(Config("Room", 11), ImageForm::File));
    const CliResult write = Run({"write-config", "3", folder / "room.bin"});
    ASSERT_EQ(write.status, EXIT_OK) << ::testing::PrintToString(write);
    pty.With([this](SimBus&) { EXPECT_EQ(input8.Memory(), EncodeInput8Image(Config("Room", 11), ImageForm::Device)); });
}

TEST_P(Ser2netTest, EveryByteValuePassesBothWaysAndAGoneServerIsALostLine)
{
    const auto usb = MakePortInterface(Url());
    FtHandle handle = 0;
    ASSERT_EQ(usb->Open(0, handle), FT_OK);
    CommState line;
    line.baudRate = BUS_BAUD_RATE;
    line.byteSize = 8;
    line.stopBits = 2;
    ASSERT_TRUE(usb->SetCommState(handle, line));
    usb->SetTimeouts(handle, 500, WRITE_TIMEOUT_MS);

    // The bus echoes every byte: Telnet's IAC and commands among them come back as written.
    const std::vector<uint8_t> sent = {0xFF, 0x00, 0xFF, 0xFF, 0xFA, 0xF0, 0xFE, 0x87, 0x8E, 0x0D, 0x0A, 0x0D, 0x00};
    uint32_t written = 0;
    ASSERT_EQ(usb->Write(handle, sent.data(), uint32_t(sent.size()), written), FT_OK);
    EXPECT_EQ(written, sent.size());
    std::vector<uint8_t> echo(sent.size());
    uint32_t read = 0;
    ASSERT_EQ(usb->Read(handle, echo.data(), uint32_t(echo.size()), read), FT_OK);
    EXPECT_EQ(echo, sent);

    StopServer();
    uint8_t byte = 0;
    EXPECT_EQ(usb->Read(handle, &byte, 1, read), FT_IO_ERROR);
    uint32_t waiting = 0;
    EXPECT_EQ(usb->GetQueueStatus(handle, waiting), FT_IO_ERROR);
}

TEST_P(Ser2netTest, DoctorReportsTheServersLineAndTheRoundTrip)
{
    // In real time, as the program runs it: the round trip is measured.
    const CliResult result = RunCli({"--port", Url(), "doctor"}, OpenChosenBus);
    EXPECT_EQ(result.status, EXIT_OK) << ::testing::PrintToString(result);
    const std::string line = GetParam() == "tcp" ? "as set (a raw connection cannot read the server's line)"
                                                 : "confirmed by the server";
    for (const std::string& shown :
         {"ok    interface  " + Url() + "\n", "ok    line       125000 baud 8N2 " + line + "\n",
          std::string("ok    echo       a frame of 10 bytes came back byte for byte, round trip "),
          std::string("ok    noise      no byte on the idle line in 1 s\n"),
          std::string("ok    devices    1 answered a broadcast: ORV-Input8 (12 34 56 78) at address 3\n")})
        EXPECT_NE(result.out.find(shown), std::string::npos) << shown << "\n" << result.out;
}

INSTANTIATE_TEST_SUITE_P(Accepters, Ser2netTest, ::testing::Values("tcp", "rfc2217"),
                         [](const auto& info) { return info.param; });
INSTANTIATE_TEST_SUITE_P(Kinds, PortKindTest, ::testing::Values("tty", "tcp", "rfc2217"),
                         [](const auto& info) { return info.param; });

}  // namespace
}  // namespace orv::test
