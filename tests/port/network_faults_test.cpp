// The network backends against local servers that fail as a serial device
// server can: one that floods the line, one that opens a Telnet
// subnegotiation and never ends it, one that stops reading, one that stays
// silent, one that refuses what RFC 2217 needs, and a purge whose bytes are
// still on their way. Each ends within its bound, with its own message.
#include <gtest/gtest.h>

#include <chrono>
#include <random>

#include "config/block_transfer.h"
#include "config/input8_transfer.h"
#include "link/bus_link.h"
#include "link/commands.h"
#include "link/frame_codec.h"
#include "link/rx_receiver.h"
#include "model/input8_image.h"
#include "port/rfc2217_codec.h"
#include "port/rfc2217_interface.h"
#include "port/tcp_interface.h"
#include "sim/sim_bus.h"
#include "sim/sim_device.h"
#include "tests/orvctl/orvctl_rig.h"
#include "tests/port/loopback_server.h"
#include "tests/support/owned_bus.h"
#include "tests/support/scripted_prompts.h"

namespace orv::test {
namespace {

using Bytes = std::vector<uint8_t>;
using Steady = std::chrono::steady_clock;

// A serial device server speaking RFC 2217 over a bus that echoes every byte,
// with the faults a test asks for.
struct TelnetPeer {
    bool grantComPort = true;
    bool grantBinary = true;
    // Answers no negotiation at all.
    bool silent = false;
    // After the first bytes of the bus: IAC SB and then never IAC SE.
    bool endlessSubnegotiation = false;
    // Sends these bytes of the bus before it confirms a purge: what was on
    // its way when the purge came.
    Bytes beforePurgeConfirmation = {};
    // Confirms this line command with this value instead of the one asked for.
    uint8_t overriddenCommand = 0;
    Bytes overriddenValue = {};

    void operator()(int connection, const std::atomic<bool>& stop) const
    {
        enum class State { Data, Command, Option, Sub, SubCommand } state = State::Data;
        uint8_t verb = 0;
        Bytes sub;
        Bytes got;
        while (!stop && ReceiveFromClient(connection, got)) {
            Bytes out;
            Bytes echo;
            for (uint8_t b : got) {
                switch (state) {
                case State::Data:
                    if (b == TELNET_IAC)
                        state = State::Command;
                    else
                        echo.push_back(b);
                    break;
                case State::Command:
                    state = b == TELNET_IAC  ? State::Data
                            : b == TELNET_SB ? State::Sub
                            : b >= TELNET_WILL ? State::Option
                                               : State::Data;
                    verb = b;
                    sub.clear();
                    if (b == TELNET_IAC)
                        echo.push_back(b);
                    break;
                case State::Option:
                    state = State::Data;
                    if (!silent)
                        Answer(verb, b, out);
                    break;
                case State::Sub:
                    if (b == TELNET_IAC)
                        state = State::SubCommand;
                    else
                        sub.push_back(b);
                    break;
                case State::SubCommand:
                    state = b == TELNET_IAC ? State::Sub : State::Data;
                    if (b == TELNET_IAC)
                        sub.push_back(b);
                    else if (b == TELNET_SE && !silent)
                        Confirm(sub, out);
                    break;
                }
            }
            if (!echo.empty() && endlessSubnegotiation) {
                SendToClient(connection, {TELNET_IAC, TELNET_SB, TELNET_COM_PORT_OPTION});
                const Bytes endless(4096, 'A');
                while (!stop && SendToClient(connection, endless)) {
                }
                return;
            }
            AppendTelnetData(echo.data(), uint32_t(echo.size()), out);
            if (!SendToClient(connection, out))
                return;
        }
    }

    void Answer(uint8_t verb, uint8_t option, Bytes& out) const
    {
        const bool grant = option == TELNET_COM_PORT_OPTION ? grantComPort : option == TELNET_BINARY ? grantBinary : false;
        if (verb == TELNET_WILL)
            out.insert(out.end(), {TELNET_IAC, grant ? TELNET_DO : TELNET_DONT, option});
        else if (verb == TELNET_DO)
            out.insert(out.end(), {TELNET_IAC, grant && option == TELNET_BINARY ? TELNET_WILL : TELNET_WONT, option});
    }

    // Every line command is confirmed as asked.
    void Confirm(const Bytes& sub, Bytes& out) const
    {
        if (sub.size() < 2 || sub[0] != TELNET_COM_PORT_OPTION)
            return;
        if (sub[1] == COM_PORT_PURGE_DATA)
            AppendTelnetData(beforePurgeConfirmation.data(), uint32_t(beforePurgeConfirmation.size()), out);
        const Bytes value = sub[1] == overriddenCommand ? overriddenValue : Bytes(sub.begin() + 2, sub.end());
        const Bytes answer = ComPortCommand(uint8_t(sub[1] + COM_PORT_SERVER_OFFSET), value);
        out.insert(out.end(), answer.begin(), answer.end());
    }
};

// Random bytes as fast as the connection takes them.
void Flood(int connection, const std::atomic<bool>& stop)
{
    std::mt19937 random(7);
    Bytes chunk(4096);
    while (!stop) {
        for (uint8_t& b : chunk)
            b = uint8_t(random());
        if (!SendToClient(connection, chunk))
            return;
    }
}

// Sends back every byte it is sent, as a plain echo server does.
void Echo(int connection, const std::atomic<bool>& stop)
{
    Bytes got;
    while (!stop && ReceiveFromClient(connection, got))
        if (!SendToClient(connection, got))
            return;
}

// Takes the connection, then says and reads nothing.
void Mute(int, const std::atomic<bool>& stop)
{
    while (!stop)
        poll(nullptr, 0, 10);
}

// Reads and drops what comes, never answering.
void Deaf(int connection, const std::atomic<bool>& stop)
{
    Bytes got;
    while (!stop && ReceiveFromClient(connection, got)) {
    }
}

// How a server's connection ends.
enum class Hangup {
    Close,     // an orderly close, before the bus's answer to the request
    MidFrame,  // the echo, the acknowledgement and the first bytes of the reply, then an orderly close
    Reset,     // a reset (RST), as from a server that crashed or a router between
    Silent,    // the connection stays, but nothing more passes: the line behind the server is cut
};

// A raw serial server in front of a simulated bus, whose connection ends, the
// way it is told, when it hears a configuration block request (a write or a
// read of the block), before the bus does.
struct DyingBusServer {
    SimBus* bus;
    uint16_t dieAtBlock;
    uint8_t dieAtCommand = CONFIG_BLOCK_WRITE;
    Hangup hangup = Hangup::Close;

    void operator()(int connection, const std::atomic<bool>& stop) const
    {
        FtHandle handle = 0;
        bus->Open(0, handle);
        bus->SetTimeouts(handle, 0, 0);
        RxReceiver heard(uint8_t(BodyLengthForRaw(6)));
        Bytes got;
        while (!stop && ReceiveFromClient(connection, got)) {
            for (uint8_t b : got) {
                if (heard.Step(b) != RxEvent::BodyComplete)
                    continue;
                const std::optional<UnpackedMessage> frame = UnpackMessage(heard.Body(), heard.Count());
                if (frame && frame->command == dieAtCommand && BlockNumberFrom(frame->payload.data()) == dieAtBlock) {
                    if (hangup == Hangup::Silent) {
                        while (!stop && ReceiveFromClient(connection, got)) {
                        }
                        return;
                    }
                    if (hangup == Hangup::MidFrame)
                        SendPartOfTheAnswer(connection, handle, got);
                    if (hangup == Hangup::Reset)
                        ResetConnection(connection);
                    else
                        shutdown(connection, SHUT_RDWR);
                    return;
                }
            }
            uint32_t written = 0;
            bus->Write(handle, got.data(), uint32_t(got.size()), written);
            if (!SendToClient(connection, DueFromBus(handle)))
                return;
        }
    }

    Bytes DueFromBus(FtHandle handle) const
    {
        uint32_t due = 0;
        bus->GetQueueStatus(handle, due);
        Bytes out(due);
        uint32_t read = 0;
        bus->Read(handle, out.data(), due, read);
        out.resize(read);
        return out;
    }

    // The request's echo, the device's acknowledgement and four bytes of its reply frame.
    void SendPartOfTheAnswer(int connection, FtHandle handle, const Bytes& request) const
    {
        uint32_t written = 0;
        bus->Write(handle, request.data(), uint32_t(request.size()), written);
        const size_t cut = request.size() + 1 + 4;
        Bytes out;
        for (int waited = 0; out.size() < cut && waited < 1000; ++waited) {
            const Bytes due = DueFromBus(handle);
            out.insert(out.end(), due.begin(), due.end());
            poll(nullptr, 0, 1);
        }
        out.resize(std::min(out.size(), cut));
        SendToClient(connection, out);
    }
};

Resolution Loopback(uint16_t port)
{
    return {{LoopbackAddress(port)}, {}};
}

CommState BusLine()
{
    CommState line;
    line.baudRate = BUS_BAUD_RATE;
    line.byteSize = 8;
    line.stopBits = 2;
    return line;
}

enum class Kind { Tcp, Rfc2217 };

struct NetworkCase {
    const char* name;
    Kind kind;
    LoopbackServer::Script server;
    // What orvctl's message says after the port's name.
    std::string says;
    // Only in the log of -v.
    std::string logged;
};

void PrintTo(const NetworkCase& c, std::ostream* os)
{
    *os << c.name;
}

class NetworkFaultTest : public ::testing::TestWithParam<NetworkCase> {
protected:
    VirtualClock clock;

    static std::string Url(Kind kind, const std::string& host, uint16_t port)
    {
        return (kind == Kind::Tcp ? "tcp://" : "rfc2217://") + host + ":" + std::to_string(port);
    }

    // orvctl -v discover on the server, reached through resolve.
    CliResult Discover(Kind kind, const std::string& host, uint16_t port, NameResolver resolve)
    {
        const BusFactory factory = [&](const BusChoice&) -> std::unique_ptr<BusAccess> {
            if (kind == Kind::Tcp)
                return std::make_unique<OwnedBus>(std::make_unique<TcpInterface>(host, port, resolve), clock);
            return std::make_unique<OwnedBus>(std::make_unique<Rfc2217Interface>(host, port, resolve), clock);
        };
        return RunCli({"-v", "--port", Url(kind, host, port), "discover"}, factory);
    }
};

TEST_P(NetworkFaultTest, EndsWithinItsBoundNamingTheServerAndTheCause)
{
    const NetworkCase& c = GetParam();
    LoopbackServer server(c.server);
    const auto start = Steady::now();
    const CliResult result = Discover(c.kind, "127.0.0.1", server.Port(), [](const std::string&, uint16_t port, uint32_t) {
        return Loopback(port);
    });
    const auto took = Steady::now() - start;
    EXPECT_EQ(result.status, EXIT_BUS);
    // The last line is orvctl's message; the lines before it, the log of -v.
    const std::string& err = result.err;
    const size_t last = err.rfind('\n', err.size() - 2) + 1;
    const std::string message = err.substr(last);
    EXPECT_EQ(message.rfind("orvctl: discover: ", 0), 0u) << err;
    EXPECT_NE(message.find(Url(c.kind, "127.0.0.1", server.Port())), std::string::npos) << err;
    EXPECT_NE(message.find(c.says), std::string::npos) << err;
    EXPECT_NE(err.substr(0, last).find(c.logged), std::string::npos) << err;
    // The open's bound and the broadcast's wait; a loaded machine is given room.
    EXPECT_LT(took, std::chrono::seconds(5));
}

INSTANTIATE_TEST_SUITE_P(
    Servers, NetworkFaultTest,
    ::testing::Values(
        NetworkCase{"RandomFlood", Kind::Tcp, Flood, "sends faster than a 125000 baud line can carry", ""},
        NetworkCase{"EndlessSubnegotiation", Kind::Rfc2217, TelnetPeer{.endlessSubnegotiation = true},
                    "sends faster than a 125000 baud line can carry",
                    "a Telnet subnegotiation longer than 64 bytes, dropped"},
        NetworkCase{"TcpServerThatNeverAnswers", Kind::Tcp, Deaf,
                    "sent nothing back within 500 ms of a write: the bus echoes every byte", ""},
        NetworkCase{"Rfc2217ServerThatNeverAnswers", Kind::Rfc2217, Mute,
                    "cannot open", "said nothing to the RFC 2217 negotiation within 2 s"},
        NetworkCase{"NoComPortOption", Kind::Rfc2217, TelnetPeer{.grantComPort = false},
                    "cannot open", "does not grant the COM-PORT option"},
        NetworkCase{"NoBinaryTransmission", Kind::Rfc2217, TelnetPeer{.grantBinary = false},
                    "cannot open", "does not grant binary transmission both ways"},
        NetworkCase{"WrongBaudConfirmed", Kind::Rfc2217,
                    TelnetPeer{.overriddenCommand = COM_PORT_SET_BAUDRATE, .overriddenValue = {0, 0, 0x25, 0x80}},
                    "the server confirmed 9600 baud, 8 data bits, no parity, 2 stop bits, not the bus's 125000 baud, "
                    "8 data bits, no parity, 2 stop bits", ""},
        NetworkCase{"OneStopBitConfirmed", Kind::Rfc2217,
                    TelnetPeer{.overriddenCommand = COM_PORT_SET_STOPSIZE, .overriddenValue = {1}},
                    "the server confirmed 125000 baud, 8 data bits, no parity, 1 stop bit, not the bus's", ""},
        NetworkCase{"EchoServer", Kind::Rfc2217, Echo, "the server sends back what it is sent: an echo", ""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(NetworkFaultTest, ARefusedConnectionAndANameThatDoesNotResolveAreSaidApart)
{
    // A port nothing listens on: a server made and gone.
    uint16_t closed = 0;
    {
        LoopbackServer gone(Mute);
        closed = gone.Port();
    }
    int asked = 0;
    const CliResult refused = Discover(Kind::Tcp, "bus-server", closed, [&](const std::string& host, uint16_t port, uint32_t) {
        ++asked;
        EXPECT_EQ(host, "bus-server");
        return Loopback(port);
    });
    EXPECT_EQ(asked, 1) << "trying again does not make a refused connection accepted";
    EXPECT_EQ(refused.status, EXIT_BUS);
    EXPECT_NE(refused.err.find("orvctl: discover: cannot open tcp://bus-server:" + std::to_string(closed) +
                               " as the bus interface: the server refused the connection"),
              std::string::npos)
        << refused.err;

    const CliResult unknown = Discover(Kind::Rfc2217, "nowhere", 4001, [](const std::string&, uint16_t, uint32_t) {
        return Resolution{{}, "Name or service not known"};
    });
    EXPECT_EQ(unknown.status, EXIT_BUS);
    EXPECT_NE(unknown.err.find("orvctl: discover: cannot open rfc2217://nowhere:4001 as the bus interface: the name "
                               "nowhere does not resolve (Name or service not known)"),
              std::string::npos)
        << unknown.err;
}

TEST(NetworkConnect, TriesEveryAddressOfTheName)
{
    LoopbackServer server(Mute);
    uint16_t closed = 0;
    {
        LoopbackServer gone(Mute);
        closed = gone.Port();
    }
    TcpInterface tcp("bus-server", server.Port(), [&](const std::string&, uint16_t port, uint32_t) {
        return Resolution{{LoopbackAddress(closed), LoopbackAddress(port)}, {}};
    });
    FtHandle handle = 0;
    EXPECT_EQ(tcp.Open(0, handle), FT_OK) << tcp.LastError();
}

// The server dies while block 4 of a configuration is on its way: the read of
// that block's echo finds the connection closed and ends the write there,
// naming the server, with no pause or wait after it.
TEST(NetworkWrite, AServerThatDiesDuringABlockWriteIsNoticedAtTheNextRead)
{
    SteadyClock busClock;
    SimBus bus(busClock);
    SimDevice input8(SimDeviceKind::Input8, 3, {0x78, 0x56, 0x34, 0x12});
    bus.Attach(input8);
    LoopbackServer server(DyingBusServer{&bus, 3});
    TcpInterface tcp("127.0.0.1", server.Port(), [](const std::string&, uint16_t port, uint32_t) { return Loopback(port); });
    VirtualClock clock;
    CollectingLog log;
    ScriptedPrompts prompts;
    Services services{clock, log, prompts};
    BindBusLink(tcp, services);
    ASSERT_TRUE(OpenBusInterface(OpenPace::AfterFailureOnly)) << tcp.LastError();
    Input8Config config;
    config.name = "After";

    const uint64_t start = clock.NowMillis();
    const WriteOutcome outcome =
        WriteConfigImage(Input8TransferProfile(), 3, EncodeInput8Image(config, ImageForm::Device), services);
    EXPECT_EQ(outcome.result, WriteResult::InterfaceLost);
    EXPECT_EQ(BusStepAtLoss().doing, "block 4 of 15 was being written");
    EXPECT_EQ(BusLossCause(), "the server closed the connection");
    EXPECT_TRUE(log.Contains(" " + tcp.Url() + ": the server closed the connection ")) << ::testing::PrintToString(log.lines);
    // The pause before each of the four blocks, and nothing after the loss.
    EXPECT_EQ(clock.NowMillis() - start, 4 * 450u);
}

struct HangupCase {
    const char* name;
    Hangup hangup;
    uint8_t dieAtCommand;
    uint16_t dieAtBlock;
    // orvctl's command after --port, FOLDER standing for the test's folder.
    std::vector<std::string> command;
    // What its message says after "the ORV-NET on tcp://127.0.0.1:PORT".
    std::string says;
};

void PrintTo(const HangupCase& c, std::ostream* os)
{
    *os << c.name;
}

class ServerHangupTest : public ::testing::TestWithParam<HangupCase> {};

// The connection to the server ends in the middle of a job, or the server
// falls silent: the job ends with the one message of a lost interface, naming
// the server and what it did, never as a device that did not answer or
// acknowledge.
TEST_P(ServerHangupTest, EndsTheJobAsTheInterfaceLostNamingTheServer)
{
    const HangupCase& c = GetParam();
    SteadyClock busClock;
    SimBus bus(busClock);
    SimDevice input8(SimDeviceKind::Input8, 3, {0x78, 0x56, 0x34, 0x12});
    bus.Attach(input8);
    LoopbackServer server(DyingBusServer{&bus, c.dieAtBlock, c.dieAtCommand, c.hangup});
    TempFolder folder;
    Input8Config config;
    config.name = "After";
    WriteBytes(folder / "after.bin", EncodeInput8Image(config, ImageForm::File));
    VirtualClock clock;
    const std::string url = "tcp://127.0.0.1:" + std::to_string(server.Port());
    const BusFactory factory = [&](const BusChoice&) -> std::unique_ptr<BusAccess> {
        return std::make_unique<OwnedBus>(
            std::make_unique<TcpInterface>("127.0.0.1", server.Port(),
                                           [](const std::string&, uint16_t port, uint32_t) { return Loopback(port); }),
            clock);
    };
    std::vector<std::string> args = {"--port", url};
    for (const std::string& arg : c.command)
        args.push_back(arg.rfind("FOLDER/", 0) == 0 ? folder / arg.substr(7) : arg);

    const CliResult result = RunCli(args, factory);
    EXPECT_EQ(result.status, EXIT_BUS);
    EXPECT_EQ(result.err.rfind("orvctl: " + c.command[0] + ": the ORV-NET on " + url + c.says, 0), 0u) << result.err;
    EXPECT_EQ(result.err.find("did not"), std::string::npos) << result.err;
    EXPECT_TRUE(result.out.empty()) << result.out;
}

INSTANTIATE_TEST_SUITE_P(
    Servers, ServerHangupTest,
    ::testing::Values(
        HangupCase{"ClosedBeforeTheReadBacksReply", Hangup::Close, CONFIG_BLOCK_READ, 2,
                   {"write-config", "3", "FOLDER/after.bin"},
                   " was disconnected while block 3 of 15 was being read back (the server closed the connection)\n"},
        HangupCase{"ClosedMidFrameOfTheReadBack", Hangup::MidFrame, CONFIG_BLOCK_READ, 2,
                   {"write-config", "3", "FOLDER/after.bin"},
                   " was disconnected while block 3 of 15 was being read back (the server closed the connection)\n"},
        HangupCase{"ResetDuringTheReadBack", Hangup::Reset, CONFIG_BLOCK_READ, 2,
                   {"write-config", "3", "FOLDER/after.bin"},
                   " was disconnected while block 3 of 15 was being read back (the connection broke (Connection "
                   "reset by peer))\n"},
        HangupCase{"SilentFromTheReadBackOn", Hangup::Silent, CONFIG_BLOCK_READ, 2,
                   {"write-config", "3", "FOLDER/after.bin"},
                   " was disconnected while block 3 of 15 was being read back (the server stopped passing the bus's "
                   "bytes: nothing came back within 500 ms of a write, though the bus echoes every byte; the line "
                   "behind the server was cut or hung up)\n"},
        HangupCase{"ClosedMidFrameOfARead", Hangup::MidFrame, CONFIG_BLOCK_READ, 5,
                   {"read-config", "3", "-o", "FOLDER/read.bin"},
                   " was disconnected while block 6 of 15 was being read (the server closed the connection)\n"},
        HangupCase{"ResetDuringAWrite", Hangup::Reset, CONFIG_BLOCK_WRITE, 3,
                   {"write-config", "3", "FOLDER/after.bin"},
                   " was disconnected while block 4 of 15 was being written (the connection broke (Connection "
                   "reset by peer)); ORV-Input8 (12 34 56 78) at address 3 may now hold an incomplete "
                   "configuration"}),
    [](const auto& info) { return std::string(info.param.name); });

// A peer that answers a write with a byte of its own, never the echo, and
// then falls silent was never on the bus: it is not told as a line cut
// behind a server that worked.
TEST(NetworkEcho, APeerThatNeverEchoedIsNotTakenForALineCutBehindTheServer)
{
    LoopbackServer server([](int connection, const std::atomic<bool>& stop) {
        Bytes got;
        bool answered = false;
        while (!stop && ReceiveFromClient(connection, got))
            if (!got.empty() && !answered)
                answered = SendToClient(connection, {0x5A});
    });
    TcpInterface tcp("127.0.0.1", server.Port(), [](const std::string&, uint16_t port, uint32_t) { return Loopback(port); });
    FtHandle handle = 0;
    ASSERT_EQ(tcp.Open(0, handle), FT_OK) << tcp.LastError();
    tcp.SetTimeouts(handle, NETWORK_ECHO_LIMIT_MS + 100, WRITE_TIMEOUT_MS);
    const Bytes frame = {0x87, 0x01, 0x8E};
    Bytes echo(frame.size());
    uint32_t written = 0;
    uint32_t read = 0;
    ASSERT_EQ(tcp.Write(handle, frame.data(), uint32_t(frame.size()), written), FT_OK);
    ASSERT_EQ(tcp.Read(handle, echo.data(), uint32_t(echo.size()), read), FT_OK);
    ASSERT_EQ(read, 1u);
    ASSERT_EQ(tcp.Write(handle, frame.data(), uint32_t(frame.size()), written), FT_OK);
    EXPECT_EQ(tcp.Read(handle, echo.data(), uint32_t(echo.size()), read), FT_IO_ERROR);
    EXPECT_EQ(tcp.LastError().rfind("the server sent nothing back within 500 ms of a write", 0), 0u) << tcp.LastError();
}

// A server that takes nothing more: a frame is written whole or the line is lost,
// never reported as written with a piece of it gone out.
TEST(NetworkWrite, AFrameThatCannotLeaveWholeIsALostLine)
{
    LoopbackServer server(Mute, 1024);
    TcpInterface tcp("127.0.0.1", server.Port(), [](const std::string&, uint16_t port, uint32_t) { return Loopback(port); });
    FtHandle handle = 0;
    ASSERT_EQ(tcp.Open(0, handle), FT_OK) << tcp.LastError();
    tcp.SetTimeouts(handle, READ_TIMEOUT_MS, WRITE_TIMEOUT_MS);
    const Bytes frame(82, 0x11);
    FtStatus status = FT_OK;
    uint32_t written = 0;
    do
        status = tcp.Write(handle, frame.data(), uint32_t(frame.size()), written);
    while (status == FT_OK && written == frame.size());
    EXPECT_EQ(status, FT_IO_ERROR);
    EXPECT_EQ(written, 0u);
    EXPECT_NE(tcp.LastError().find("did not leave within 50 ms"), std::string::npos) << tcp.LastError();
}

// The server purges, but what it sent just before is still on its way: the
// purge drains after the server's confirmation, so none of it is read.
TEST(Rfc2217Purge, AsksTheServerFirstAndDropsWhatWasOnItsWay)
{
    LoopbackServer server(TelnetPeer{.beforePurgeConfirmation = {0x00, 0x87, 0x42}});
    Rfc2217Interface rfc("127.0.0.1", server.Port(), [](const std::string&, uint16_t port, uint32_t) {
        return Loopback(port);
    });
    FtHandle handle = 0;
    ASSERT_EQ(rfc.Open(0, handle), FT_OK) << rfc.LastError();
    ASSERT_TRUE(rfc.SetCommState(handle, BusLine()));
    rfc.SetTimeouts(handle, READ_TIMEOUT_MS, WRITE_TIMEOUT_MS);

    ASSERT_EQ(rfc.PurgeReceive(handle), FT_OK);
    uint8_t byte = 0;
    uint32_t read = 0;
    ASSERT_EQ(rfc.Read(handle, &byte, 1, read), FT_OK);
    EXPECT_EQ(read, 0u) << "byte " << int(byte) << " outlived the purge";

    // The bus's bytes still pass after it.
    const Bytes sent = {0x87, 0xFF, 0x8E};
    uint32_t written = 0;
    ASSERT_EQ(rfc.Write(handle, sent.data(), uint32_t(sent.size()), written), FT_OK);
    Bytes echo(sent.size());
    ASSERT_EQ(rfc.Read(handle, echo.data(), uint32_t(echo.size()), read), FT_OK);
    EXPECT_EQ(echo, sent);
}

}  // namespace
}  // namespace orv::test
