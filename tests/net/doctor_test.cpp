// orvctl doctor on the simulated bus in virtual time: every check's line,
// the exit status, and what noise and a silent bus are reported as.
#include <gtest/gtest.h>

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

}  // namespace
}  // namespace orv::test
