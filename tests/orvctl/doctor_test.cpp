// orvctl doctor on the simulated bus in virtual time: every check's line,
// the exit status, and what noise and a silent bus are reported as.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "ctl/doctor.h"

#include "tests/orvctl/orvctl_rig.h"
#include "tests/support/sim_bus_rig.h"

namespace orv::test {
namespace {

class DoctorTest : public ::testing::Test, public SimBusRig {
protected:
    BusFactory factory = [this](const BusChoice&) { return std::make_unique<BorrowedBus>(bus, clock); };

    CliResult Doctor(std::vector<std::string> options = {})
    {
        options.insert(options.begin(), "doctor");
        return RunCli(options, factory);
    }
};

TEST_F(DoctorTest, AHealthyBusPassesEveryCheck)
{
    AddDevice(SimDeviceKind::Relay, 9, {0x94, 0x40, 0x00, 0x21});
    const CliResult result = Doctor();
    EXPECT_EQ(result.status, EXIT_OK) << ::testing::PrintToString(result);
    EXPECT_EQ(result.out, "ok    interface  ORV-NET\n"
                          "ok    line       125000 baud 8N2 read back from the driver\n"
                          "ok    echo       a frame of 10 bytes came back byte for byte, round trip 1 ms\n"
                          "ok    noise      no byte on the idle line in 1 s\n"
                          "ok    devices    1 answered a broadcast: ORV-Relay (21 00 40 94) at address 9\n");
}

TEST_F(DoctorTest, NoiseAndASilentBusFailWithTheirFix)
{
    // Five bytes arrive while the line should be idle.
    bus.InjectBytes({0x55, 0x55, 0x55, 0x55, 0x55}, 100000);
    const CliResult result = Doctor({"--json"});
    EXPECT_EQ(result.status, EXIT_BUS);
    EXPECT_NE(result.out.find("{\"check\": \"noise\", \"verdict\": \"FAIL\", \"detail\": \"5 bytes on the idle line "
                              "in 1 s\", \"fix\": \"check the termination and the cable; unplug devices one at a "
                              "time to find one that keeps sending\"},\n"),
              std::string::npos)
        << result.out;
    EXPECT_NE(result.out.find("{\"check\": \"devices\", \"verdict\": \"FAIL\", \"detail\": \"no device answered a "
                              "broadcast\""),
              std::string::npos)
        << result.out;
    EXPECT_EQ(result.out.substr(0, 2), "[\n");
}

TEST_F(DoctorTest, NoInterfaceEndsTheChecks)
{
    bus.SetInterfaces({});
    const CliResult result = Doctor();
    EXPECT_EQ(result.status, EXIT_BUS);
    EXPECT_EQ(result.out, "FAIL  interface  no FTDI interface (USB vendor 0403) is connected. Fix: connect the "
                          "ORV-NET; lsusb must list a device 0403:...; or give --port\n");
}

// A line that goes during a check ends the run there as a lost interface,
// never as a wiring fault, a quiet line or a bus without devices.
TEST_F(DoctorTest, ALineLostDuringACheckEndsTheRunThere)
{
    struct Case {
        const char* name;
        bool atFirstWrite;
        uint64_t lostAfterMicros;
        const char* lastLine;
    };
    const Case cases[] = {
        {"echo", true, 0,
         "FAIL  echo       the ORV-NET was disconnected while the echo was being checked (an I/O error)"},
        {"noise", false, 100000,
         "FAIL  noise      the ORV-NET was disconnected while the idle line was being listened to (an I/O error)"},
        {"devices", false, 1080000,
         "FAIL  devices    the ORV-NET was disconnected while the devices were being asked for their module "
         "information (an I/O error)"},
    };
    AddDevice(SimDeviceKind::Relay, 9, {0x94, 0x40, 0x00, 0x21});
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        // The line is lost once the interface has been opened.
        BusFactory losing = [&](const BusChoice&) {
            if (c.atFirstWrite)
                bus.LoseLineAtWrite(1);
            else
                bus.LoseLineAfter(c.lostAfterMicros);
            return std::make_unique<BorrowedBus>(bus, clock);
        };
        const CliResult result = RunCli({"doctor"}, losing);
        EXPECT_EQ(result.status, EXIT_BUS);
        const std::string last = std::string(c.lastLine) +
                                 ". Fix: connect the ORV-NET again (on a network port: is the server running?) and "
                                 "run orvctl doctor again\n";
        ASSERT_GE(result.out.size(), last.size()) << result.out;
        EXPECT_EQ(result.out.substr(result.out.size() - last.size()), last) << result.out;
        EXPECT_EQ(result.out.find("wiring"), std::string::npos) << result.out;
        EXPECT_NE(result.err.find("orvctl: doctor: the ORV-NET was disconnected while"), std::string::npos)
            << result.err;
    }
}

// The checks of the line go through the link like every command: a loss
// there is the link's lost interface, logged with the step it ended.
TEST_F(DoctorTest, ALineLostDuringTheEchoIsTheLinksLostInterface)
{
    bus.LoseLineAtWrite(1);
    const CliResult result = RunCli({"-v", "doctor"}, factory);
    EXPECT_EQ(result.status, EXIT_BUS);
    EXPECT_NE(result.err.find("ORV-NET Disconnected while the echo was being checked"), std::string::npos)
        << result.err;
}

TEST(DoctorLatencyFix, NamesTheTtyBehindAUdevLink)
{
    const std::filesystem::path folder = std::filesystem::temp_directory_path() / "orv_doctor_by_id";
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder / "by-id");
    std::ofstream(folder / "ttyUSB7").put('\0');
    const std::filesystem::path link = folder / "by-id" / "usb-FTDI_ORV-NET_ORV00001-if00-port0";
    std::filesystem::create_symlink("../ttyUSB7", link);

    EXPECT_EQ(LatencyFix(link.string()),
              "echo 1 | sudo tee /sys/bus/usb-serial/devices/ttyUSB7/latency_timer (the udev rule sets it at every "
              "plug-in)");
    EXPECT_EQ(LatencyFix("/dev/ttyUSB3"),
              "echo 1 | sudo tee /sys/bus/usb-serial/devices/ttyUSB3/latency_timer (the udev rule sets it at every "
              "plug-in)");
    std::filesystem::remove_all(folder);
}

}  // namespace
}  // namespace orv::test
