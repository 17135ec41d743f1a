// orvctl end to end on a pseudo-terminal pair: orvctl opens the slave through
// the tty backend, and on the master side the simulated bus answers as the
// bus would: every byte comes back as its echo, and a simulated device
// answers each frame. The plain round trip runs with the other kinds of port
// in the network tests; here, a pulled interface, a failing device and the
// program itself.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>

#include "model/catalogue.h"
#include "model/input8_image.h"
#include "port/tty_interface.h"
#include "sim/sim_device.h"
#include "tests/orvctl/orvctl_rig.h"
#include "tests/support/owned_bus.h"
#include "tests/support/pty_bus.h"

namespace orv::test {
namespace {

// One simulated device on the bus of a pseudo-terminal.
class PtyDevice {
public:
    explicit PtyDevice(SimDevice& device) : device_(device)
    {
        pty_.With([this](SimBus& bus) { bus.Attach(device_); });
    }

    bool Ready() const { return pty_.Ready(); }
    const std::string& SlavePath() const { return pty_.SlavePath(); }
    void HangUpAtBlockWrite(uint16_t block) { pty_.HangUpAtBlockWrite(block); }

    // The device, while the bus does not touch it.
    template <class Fn>
    void With(Fn fn)
    {
        pty_.With([&](SimBus&) { fn(device_); });
    }

private:
    SimDevice& device_;
    SteadyClock clock_;
    SimBus bus_{clock_};
    PtyBus pty_{bus_};
};

class PtyCliTest : public ::testing::Test {
protected:
    static constexpr uint8_t ADDRESS = 3;
    SimDevice input8{SimDeviceKind::Input8, ADDRESS, {0x78, 0x56, 0x34, 0x12}};
    PtyDevice pty{input8};
    TempFolder folder;
    // The tty backend in real time, its pauses in virtual time: the reads
    // wait for the master's answers, a 300 ms pause costs nothing.
    VirtualClock clock;
    BusFactory factory = [this](const BusChoice& choice) {
        return std::make_unique<OwnedBus>(TtyInterface::ForPath(choice.port), clock);
    };

    void SetUp() override { ASSERT_TRUE(pty.Ready()); }

    CliResult Run(std::vector<std::string> args)
    {
        args.insert(args.begin(), {"--port", pty.SlavePath()});
        return RunCli(args, factory);
    }

    static Input8Config Config(const std::string& name, uint8_t destination)
    {
        Input8Config config;
        config.name = name;
        config.rows[4] = InputRow{3, ChangeType::Close, destination, ACTION_RELAY_DEENERGIZE, {'2'}};
        return config;
    }
};

// The line hangs up while block 4 is on its way: the write ends there, with
// no read-back, naming the interface and the block.
TEST_F(PtyCliTest, AnInterfacePulledDuringAWriteIsNamedAtOnce)
{
    WriteBytes(folder / "after.bin", EncodeInput8Image(Config("After", 11), ImageForm::File));
    pty.HangUpAtBlockWrite(3);
    const uint64_t start = clock.NowMillis();
    const CliResult write = Run({"write-config", "3", folder / "after.bin"});
    EXPECT_EQ(write.status, EXIT_BUS);
    EXPECT_EQ(write.err, "orvctl: write-config: the ORV-NET on " + pty.SlavePath() +
                             " was disconnected while block 4 of 15 was being written (read: end of file; the "
                             "interface was unplugged or hung up); ORV-Input8 (12 34 56 78) at "
                             "address 3 may now hold an incomplete configuration; to write it again: orvctl --port " +
                             pty.SlavePath() + " write-config 3 " + (folder / "after.bin") + "\n");
    EXPECT_TRUE(write.out.empty());
    // Past the pause before block 4, nothing was waited for.
    EXPECT_LT(clock.NowMillis() - start, 4 * 450 + 1000u);
}

TEST_F(PtyCliTest, FailuresOfTheDeviceEndWithStatusOneAndTheirMessage)
{
    pty.With([](SimDevice& d) { d.Faults().noAckCommand = CONFIG_BLOCK_READ; });
    const CliResult read = Run({"read-config", "3", "-o", folder / "x.bin"});
    EXPECT_EQ(read.status, EXIT_BUS);
    EXPECT_EQ(read.err, "orvctl: read-config: ORV-Input8 (12 34 56 78) at address 3 did not answer block 1 of 15 of the "
                        "configuration read\n");
    EXPECT_FALSE(std::filesystem::exists(folder / "x.bin"));

    // Blocks from 5 on go unacknowledged: the read-back is not enough.
    pty.With([](SimDevice& d) {
        d.Faults() = SimDeviceFaults{};
        d.Faults().noAckCommand = CONFIG_BLOCK_WRITE;
        d.Faults().noAckFromBlock = 5;
    });
    WriteBytes(folder / "after.bin", EncodeInput8Image(Config("After", 11), ImageForm::File));
    const CliResult write = Run({"write-config", "3", folder / "after.bin"});
    EXPECT_EQ(write.status, EXIT_BUS);
    EXPECT_EQ(write.err, "orvctl: write-config: ORV-Input8 (12 34 56 78) at address 3 did not acknowledge block 6 of "
                         "15 of the write (the blocks after it were not sent); it now holds a damaged configuration; "
                         "to write it again: orvctl --port " + pty.SlavePath() + " write-config 3 " +
                             (folder / "after.bin") + "\n");

    pty.With([](SimDevice& d) { d.Faults().silent = true; });
    const CliResult silent = Run({"discover"});
    EXPECT_EQ(silent.status, EXIT_BUS);
    EXPECT_EQ(silent.err, "orvctl: discover: no device answered on the bus\n");
    EXPECT_TRUE(silent.out.empty());

    const CliResult noPort = RunCli({"--port", folder / "ttyUSB9", "discover"}, factory);
    EXPECT_EQ(noPort.status, EXIT_BUS);
    EXPECT_EQ(noPort.err, "orvctl: discover: cannot open " + (folder / "ttyUSB9") + " as the bus interface: no such port\n");
}

TEST_F(PtyCliTest, TheProgramItselfInRealTime)
{
    const std::string command = std::string("'") + ORVCTL_PROGRAM + "' --port '" + pty.SlavePath() +
                                "' discover --json > '" + (folder / "out") + "' 2> '" + (folder / "err") + "'";
    const int status = std::system(command.c_str());
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), EXIT_OK);
    const std::vector<uint8_t> out = ReadBytes(folder / "out");
    EXPECT_EQ(std::string(out.begin(), out.end()),
              "[\n  {\"address\": 3, \"name\": \"ORV-Input8\", \"serial\": \"12 34 56 78\", \"firmware\": \"1.0\", "
              "\"configured\": true, \"shared\": false}\n]\n");
    EXPECT_TRUE(ReadBytes(folder / "err").empty());
}

}  // namespace
}  // namespace orv::test
