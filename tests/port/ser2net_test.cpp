// The network backends against a real ser2net on 127.0.0.1, whose serial
// device is the pseudo-terminal of a simulated bus: a raw tcp accepter and a
// telnet(rfc2217) one. orvctl discovers, reads and writes a configuration
// through each, and through the pseudo-terminal itself; bytes that Telnet
// escapes pass unchanged; a server that goes away, or whose line hangs up
// behind it, is a lost line.
#include <gtest/gtest.h>

#include "link/bus_link.h"
#include "model/catalogue.h"
#include "model/input8_image.h"
#include "port/port_address.h"
#include "sim/sim_device.h"
#include "tests/orvctl/orvctl_rig.h"
#include "tests/support/owned_bus.h"
#include "tests/support/pty_bus.h"
#include "tests/support/ser2net_server.h"

namespace orv::test {
namespace {

class Ser2netTest : public ::testing::TestWithParam<std::string> {
protected:
    static constexpr uint8_t ADDRESS = 3;
    SteadyClock busClock;
    SimBus bus{busClock};
    SimDevice input8{SimDeviceKind::Input8, ADDRESS, {0x78, 0x56, 0x34, 0x12}};
    PtyBus pty{bus};
    TempFolder folder;
    VirtualClock clock;
    BusFactory factory = [this](const BusChoice& choice) {
        return std::make_unique<OwnedBus>(MakePortInterface(choice.port), clock);
    };
    Ser2netServer server{{"tcp", "rfc2217"}};

    void SetUp() override
    {
        ASSERT_TRUE(pty.Ready());
        pty.With([this](SimBus& b) { b.Attach(input8); });
        ASSERT_TRUE(server.Start(folder.Path().string(), pty.SlavePath()));
    }

    // The port of the kind: the pseudo-terminal itself, or ser2net's accepter.
    std::string Url() const
    {
        return GetParam() == "tty" ? pty.SlavePath() : server.Url(GetParam());
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
    EXPECT_EQ(read.out, "ORV-Input8 (12 34 56 78) at address 3: Input8 configuration written to " +
                            (folder / "plant.bin") + "\n");
    EXPECT_EQ(ReadBytes(folder / "plant.bin"), EncodeInput8Image(Config("Plant", 7), ImageForm::File));

    WriteBytes(folder / "room.bin", EncodeInput8Image(Config("Room", 11), ImageForm::File));
    const CliResult write = Run({"write-config", "3", folder / "room.bin"});
    ASSERT_EQ(write.status, EXIT_OK) << ::testing::PrintToString(write);
    EXPECT_EQ(write.out, "ORV-Input8 (12 34 56 78) at address 3: " + (folder / "room.bin") +
                             " written and read back\n");
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

    server.Stop();
    uint8_t byte = 0;
    EXPECT_EQ(usb->Read(handle, &byte, 1, read), FT_IO_ERROR);
    uint32_t waiting = 0;
    EXPECT_EQ(usb->GetQueueStatus(handle, waiting), FT_IO_ERROR);
}

// The line behind the server hangs up during the read-back of a write: the
// server closes the connection, and the write ends as the interface lost,
// naming the server, not as a device that did not answer the read-back.
TEST_P(Ser2netTest, AHangUpBehindTheServerIsTheInterfaceLost)
{
    WriteBytes(folder / "room.bin", EncodeInput8Image(Config("Room", 11), ImageForm::File));
    pty.HangUpAtBlockRead(2);
    const CliResult write = Run({"write-config", "3", folder / "room.bin"});
    EXPECT_EQ(write.status, EXIT_BUS);
    EXPECT_EQ(write.err, "orvctl: write-config: the ORV-NET on " + Url() +
                             " was disconnected while block 3 of 15 was being read back (the server closed the "
                             "connection)\n");
    EXPECT_TRUE(write.out.empty());
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
