// How long a port may hold a received byte, from its kind: the fast full
// discovery adds it to every wait.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "port/latency_timer.h"

namespace orv::test {
namespace {

TEST(PortLatency, AnFtdiTtysTimerNoneForAPseudoTerminalAndUnknownOtherwise)
{
    std::string folder = (std::filesystem::temp_directory_path() / "orv-sys-XXXXXX").string();
    ASSERT_NE(mkdtemp(folder.data()), nullptr);
    const std::filesystem::path root = folder;
    const std::filesystem::path timer = root / "class/tty/ttyUSB0/device/latency_timer";
    std::filesystem::create_directories(timer.parent_path());
    std::ofstream(timer) << "1\n";
    EXPECT_EQ(PortLatencyMillis("/dev/ttyUSB0", folder), 1u);

    const int master = posix_openpt(O_RDWR | O_NOCTTY);
    ASSERT_GE(master, 0);
    ASSERT_EQ(grantpt(master), 0);
    ASSERT_EQ(unlockpt(master), 0);
    EXPECT_EQ(PortLatencyMillis(ptsname(master), folder), 0u);
    close(master);

    // A serial port of another kind, and a path of no tty: the caller assumes the FTDI default.
    EXPECT_EQ(PortLatencyMillis("/dev/ttyS0", folder), std::nullopt);
    EXPECT_EQ(PortLatencyMillis((root / "none").string(), folder), std::nullopt);
    std::filesystem::remove_all(root);
}

}  // namespace
}  // namespace orv::test
