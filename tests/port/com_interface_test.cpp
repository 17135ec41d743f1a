// The COM port backend end to end: under Wine, two COM ports are the two ends
// of a pseudo-terminal pair (run_with_com_pair.sh); the backend opens the
// first, a simulated device answers on the second. Creating the file the
// runner names pulls the cable: both ports hang up.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <thread>

#include "model/input8_image.h"
#include "port/com_interface.h"
#include "tests/orvctl/orvctl_rig.h"
#include "tests/port/com_device.h"

namespace orv::test {
namespace {

constexpr uint8_t ADDRESS = 3;
constexpr uint32_t READ_TIMEOUT_MS = 70;
constexpr uint32_t WRITE_TIMEOUT_MS = 50;
// Reads the echo of three bytes may take on a busy machine.
constexpr int ECHO_READ_LIMIT = 50;
// Reads a lost port may still answer before the far end's close has reached it.
constexpr int LOST_PORT_READ_LIMIT = 100;

std::string FromEnvironment(const char* name)
{
    const char* value = std::getenv(name);
    return value ? value : "";
}

class ComPortTest : public ::testing::Test {
protected:
    const std::string toolPort = FromEnvironment("ORV_TEST_COM_PORT");
    const std::string devicePort = FromEnvironment("ORV_TEST_DEVICE_COM_PORT");
    SimDevice input8{SimDeviceKind::Input8, ADDRESS, {0x78, 0x56, 0x34, 0x12}};
    ComDevice device{input8, devicePort};

    void SetUp() override { ASSERT_TRUE(device.Ready()) << "no COM port pair (" << toolPort << ", " << devicePort << ")"; }

    // The backend on the tool's port, opened with the link's line settings.
    FtHandle OpenToolPort(ComInterface& com)
    {
        uint32_t count = 0;
        FtHandle handle = 0;
        EXPECT_EQ(com.CreateDeviceInfoList(count), FT_OK);
        EXPECT_EQ(count, 1u);
        EXPECT_EQ(com.Open(0, handle), FT_OK);
        CommState state;
        EXPECT_TRUE(com.GetCommState(handle, state));
        state.flags = (state.flags & ~COMM_CLEARED_ON_OPEN) | COMM_BINARY;
        state.baudRate = 125000;
        state.byteSize = 8;
        state.parity = 0;
        state.stopBits = 2;
        EXPECT_TRUE(com.SetCommState(handle, state));
        EXPECT_EQ(com.SetTimeouts(handle, READ_TIMEOUT_MS, WRITE_TIMEOUT_MS), FT_OK);
        return handle;
    }
};

TEST_F(ComPortTest, PortNamesAreListedAsGiven)
{
    for (const std::string& name : {toolPort, "\\\\.\\" + toolPort}) {
        const auto com = ComInterface::ForPath(name);
        ASSERT_NE(com, nullptr) << name;
        uint32_t count = 0;
        DeviceDetail detail;
        EXPECT_EQ(com->CreateDeviceInfoList(count), FT_OK);
        EXPECT_EQ(count, 1u);
        EXPECT_EQ(com->GetDeviceInfoDetail(0, detail), FT_OK);
        EXPECT_EQ(com->DevicePath(0), toolPort);
    }
}

// A port that cannot be opened says why, in the user's terms and in the
// system's words for the call that failed; one that does not exist is not
// tried again. (Wine opens a COM port a second time, so a port in use is not
// among the cases.)
TEST_F(ComPortTest, APortThatCannotBeOpenedSaysWhy)
{
    const struct {
        std::string name;
        uint32_t listed;
        FtStatus opened;
        std::string why;
    } cases[] = {
        {"/dev/ttyUSB0", 0, FT_DEVICE_NOT_FOUND, "no such port ('/dev/ttyUSB0' is no COM port's name, such as COM7)"},
        {"COM250", 1, FT_DEVICE_NOT_FOUND, "no such port (CreateFile: "},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto com = ComInterface::ForPath(c.name);
        CollectingLog log;
        com->BindLog(log);
        uint32_t count = 99;
        ASSERT_EQ(com->CreateDeviceInfoList(count), FT_OK);
        ASSERT_EQ(count, c.listed);
        FtHandle handle = 0;
        EXPECT_EQ(com->Open(0, handle), c.opened);
        EXPECT_EQ(handle, 0u);
        EXPECT_EQ(com->LastError().rfind(c.why, 0), 0u) << com->LastError();
        EXPECT_TRUE(log.Contains(" Cannot open " + c.name + ": " + com->LastError() + " "))
            << ::testing::PrintToString(log.lines);
    }
}

TEST_F(ComPortTest, OneByteReadsReturnOnTheFirstByteOrAfterTheReadTimeout)
{
    const auto com = ComInterface::ForPath(toolPort);
    const FtHandle handle = OpenToolPort(*com);
    EXPECT_EQ(com->ClrRts(handle), FT_OK);

    uint8_t byte = 0xFF;
    uint32_t count = 0;
    const auto before = std::chrono::steady_clock::now();
    EXPECT_EQ(com->Read(handle, &byte, 1, count), FT_OK);
    const auto waited = std::chrono::steady_clock::now() - before;
    EXPECT_EQ(count, 0u);
    EXPECT_GE(waited, std::chrono::milliseconds(READ_TIMEOUT_MS - 10));

    // The device echoes what is written, byte by byte as the reads ask; on a
    // busy machine the echo may take longer than one read time-out.
    const uint8_t sent[] = {0x01, 0x02, 0x03};
    EXPECT_EQ(com->Write(handle, sent, sizeof sent, count), FT_OK);
    EXPECT_EQ(count, sizeof sent);
    std::vector<uint8_t> echo;
    for (int reads = 0; echo.size() < sizeof sent && reads < ECHO_READ_LIMIT; ++reads) {
        ASSERT_EQ(com->Read(handle, &byte, 1, count), FT_OK);
        if (count == 1)
            echo.push_back(byte);
    }
    EXPECT_EQ(echo, std::vector<uint8_t>(sent, sent + sizeof sent));

    // What waits is dropped: the whole echo waits before the purge, and
    // nothing is left after it.
    EXPECT_EQ(com->Write(handle, sent, sizeof sent, count), FT_OK);
    uint32_t waiting = 0;
    const auto written = std::chrono::steady_clock::now();
    while (waiting < sizeof sent && std::chrono::steady_clock::now() - written < std::chrono::seconds(2)) {
        ASSERT_EQ(com->GetQueueStatus(handle, waiting), FT_OK);
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    ASSERT_EQ(waiting, sizeof sent) << "the echo did not arrive";
    EXPECT_EQ(com->PurgeReceive(handle), FT_OK);
    EXPECT_EQ(com->GetQueueStatus(handle, waiting), FT_OK);
    EXPECT_EQ(waiting, 0u);
    EXPECT_EQ(com->Read(handle, &byte, 1, count), FT_OK);
    EXPECT_EQ(count, 0u);
    EXPECT_EQ(com->Close(handle), FT_OK);
}

// Windows waits without end on a time-out of 0: the port is bounded from its
// open on, and a read time-out of 0 returns at once.
TEST_F(ComPortTest, NoReadWaitsForever)
{
    const auto com = ComInterface::ForPath(toolPort);
    uint32_t count = 0;
    FtHandle handle = 0;
    ASSERT_EQ(com->CreateDeviceInfoList(count), FT_OK);
    ASSERT_EQ(com->Open(0, handle), FT_OK);
    const struct {
        const char* what;
        bool set;
        std::chrono::milliseconds within;
    } cases[] = {
        {"as opened", false, std::chrono::milliseconds(COM_OPEN_TIMEOUT_MS + 500)},
        {"read and write time-outs of 0", true, std::chrono::milliseconds(200)},
    };
    for (const auto& c : cases) {
        if (c.set) {
            ASSERT_EQ(com->SetTimeouts(handle, 0, 0), FT_OK);
        }
        uint8_t byte = 0;
        const auto start = std::chrono::steady_clock::now();
        EXPECT_EQ(com->Read(handle, &byte, 1, count), FT_OK) << c.what;
        EXPECT_EQ(count, 0u) << c.what;
        EXPECT_LT(std::chrono::steady_clock::now() - start, c.within) << c.what;
    }
}

TEST_F(ComPortTest, OrvctlDiscoversAndReadsAConfiguration)
{
    Input8Config config;
    config.name = "Hall";
    device.With([&](SimDevice& d) { d.LoadMemory(EncodeInput8Image(config, ImageForm::Device)); });
    // The port in real time, the link's pauses in virtual time.
    VirtualClock clock;
    const BusFactory factory = [&](const BusChoice& choice) -> std::unique_ptr<BusAccess> {
        struct ComBus final : BusAccess {
            ComBus(std::unique_ptr<ComInterface> port, Clock& time) : com(std::move(port)), clock(time) {}
            UsbInterface& Interface() override { return *com; }
            Clock& Time() override { return clock; }
            std::unique_ptr<ComInterface> com;
            Clock& clock;
        };
        return std::make_unique<ComBus>(ComInterface::ForPath(choice.port), clock);
    };
    TempFolder folder;

    // As the program runs it: the port chosen by name, its pauses in real time.
    const CliResult found = RunCli({"--port", toolPort, "discover"}, OpenChosenBus);
    ASSERT_EQ(found.status, EXIT_OK) << ::testing::PrintToString(found);
    EXPECT_EQ(found.out, "  3  ORV-Input8   12 34 56 78  1.0    configured\n");

    const CliResult read = RunCli({"--port", toolPort, "read-config", "3", "-o", folder / "hall.bin"}, factory);
    ASSERT_EQ(read.status, EXIT_OK) << ::testing::PrintToString(read);
    EXPECT_EQ(ReadBytes(folder / "hall.bin"), EncodeInput8Image(config, ImageForm::File));
}

// Run on a pair of its own, which it takes down.
TEST_F(ComPortTest, LostPortIsAnIoError)
{
    const auto com = ComInterface::ForPath(toolPort);
    const FtHandle handle = OpenToolPort(*com);
    device.Unplug();
    std::ofstream(FromEnvironment("ORV_TEST_UNPLUG_FILE")) << "unplugged\n";

    uint8_t byte = 0;
    uint32_t count = 0;
    FtStatus status = FT_OK;
    for (int reads = 0; status == FT_OK && reads < LOST_PORT_READ_LIMIT; ++reads)
        status = com->Read(handle, &byte, 1, count);
    EXPECT_EQ(status, FT_IO_ERROR);
    // The call that found the port gone, in the system's words.
    const std::string why = com->LastError();
    EXPECT_TRUE(why.rfind("ReadFile: ", 0) == 0 || why.rfind("ClearCommError: ", 0) == 0) << why;
    uint32_t waiting = 0;
    EXPECT_EQ(com->GetQueueStatus(handle, waiting), FT_IO_ERROR);
}

}  // namespace
}  // namespace orv::test
