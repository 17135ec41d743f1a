// The tty backend against a pseudo-terminal pair: the backend opens the slave,
// the test plays the interface on the master side.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <numeric>
#include <string>
#include <thread>
#include <vector>

#include "link/bus_link.h"
#include "port/tty_interface.h"

namespace orv {
namespace {

using Steady = std::chrono::steady_clock;
using Bytes = std::vector<uint8_t>;

long long MillisSince(Steady::time_point start)
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(Steady::now() - start).count();
}

class TtyPtyTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        master = posix_openpt(O_RDWR | O_NOCTTY);
        ASSERT_GE(master, 0);
        ASSERT_EQ(grantpt(master), 0);
        ASSERT_EQ(unlockpt(master), 0);
        slavePath = ptsname(master);
        // A second slave descriptor, only to see when input has arrived.
        probe = open(slavePath.c_str(), O_RDONLY | O_NOCTTY | O_NONBLOCK);
        ASSERT_GE(probe, 0);

        tty = TtyInterface::ForPath(slavePath);
        uint32_t count = 0;
        ASSERT_EQ(tty->CreateDeviceInfoList(count), FT_OK);
        ASSERT_EQ(count, 1u);
        ASSERT_EQ(tty->Open(0, handle), FT_OK);
        ASSERT_NE(handle, 0u);
        ASSERT_EQ(tty->SetTimeouts(handle, READ_TIMEOUT_MS, WRITE_TIMEOUT_MS), FT_OK);
    }
    void TearDown() override
    {
        if (handle)
            tty->Close(handle);
        if (probe >= 0)
            close(probe);
        if (master >= 0)
            close(master);
    }

    void Feed(const Bytes& bytes) const { ASSERT_EQ(write(master, bytes.data(), bytes.size()), ssize_t(bytes.size())); }

    // Waits (up to a second) until n bytes wait on the slave side.
    void WaitForInput(int n) const
    {
        const auto start = Steady::now();
        int waiting = 0;
        while (MillisSince(start) < 1000) {
            pollfd p{probe, POLLIN, 0};
            poll(&p, 1, 5);
            ASSERT_EQ(ioctl(probe, FIONREAD, &waiting), 0);
            if (waiting >= n)
                return;
        }
        FAIL() << "only " << waiting << " of " << n << " bytes arrived";
    }

    // What the slave wrote, read on the master until n bytes came or 200 ms passed.
    Bytes Drain(size_t n) const
    {
        Bytes out;
        const auto start = Steady::now();
        while (out.size() < n && MillisSince(start) < 200) {
            pollfd p{master, POLLIN, 0};
            if (poll(&p, 1, 20) <= 0)
                continue;
            uint8_t chunk[512];
            const ssize_t got = read(master, chunk, sizeof chunk);
            if (got > 0)
                out.insert(out.end(), chunk, chunk + got);
        }
        return out;
    }

    Bytes ReadBack(uint32_t count, FtStatus expected = FT_OK) const
    {
        Bytes buffer(count);
        uint32_t got = 0;
        EXPECT_EQ(tty->Read(handle, buffer.data(), count, got), expected);
        buffer.resize(got);
        return buffer;
    }

    int master = -1;
    int probe = -1;
    std::string slavePath;
    std::unique_ptr<TtyInterface> tty;
    FtHandle handle = 0;
};

TEST_F(TtyPtyTest, BusLineSettingsAreAppliedRawAndReadBack)
{
    CommState state;
    ASSERT_TRUE(tty->GetCommState(handle, state));
    state.flags = (state.flags & ~COMM_CLEARED_ON_OPEN) | COMM_BINARY;
    state.baudRate = BUS_BAUD_RATE;
    state.byteSize = 8;
    state.parity = 0;
    state.stopBits = 2;
    ASSERT_TRUE(tty->SetCommState(handle, state));

    CommState back;
    ASSERT_TRUE(tty->GetCommState(handle, back));
    EXPECT_EQ(back.baudRate, 125000u);
    EXPECT_EQ(back.byteSize, 8);
    EXPECT_EQ(back.parity, 0);
    EXPECT_EQ(back.stopBits, 2);
    EXPECT_EQ(back.flags & COMM_CLEARED_ON_OPEN, 0u);
    EXPECT_NE(back.flags & COMM_BINARY, 0u);

    // The master reports the slave's termios.
    termios tio{};
    ASSERT_EQ(tcgetattr(master, &tio), 0);
    EXPECT_EQ(tio.c_lflag & (ICANON | ECHO | ECHONL | ISIG | IEXTEN), 0u);
    EXPECT_EQ(tio.c_oflag & OPOST, 0u);
    EXPECT_EQ(tio.c_iflag & (IXON | IXOFF | ICRNL | INLCR | IGNCR | ISTRIP | PARMRK), 0u);
    EXPECT_EQ(tio.c_cflag & CSIZE, tcflag_t(CS8));
    EXPECT_EQ(tio.c_cflag & (CSTOPB | PARENB | CRTSCTS | CLOCAL | CREAD), tcflag_t(CSTOPB | CLOCAL | CREAD));
}

TEST_F(TtyPtyTest, CommStateRoundTrips)
{
    const uint32_t rtsCtsFlow = COMM_OUTX_CTS_FLOW | (2u << 12);
    struct Case {
        uint32_t baud;
        uint8_t size, parity, stop;
        uint32_t flags;
    };
    // A pseudo-terminal holds 8 data bits and no parity whatever it is given.
    const Case cases[] = {
        {125000, 8, 0, 2, COMM_BINARY},
        {9600, 8, 0, 0, COMM_BINARY | COMM_OUTX | COMM_INX},
        {57600, 8, 0, 0, COMM_BINARY | COMM_PARITY_CHECK},
        {250000, 8, 0, 2, COMM_BINARY | rtsCtsFlow},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.baud);
        CommState state;
        state.baudRate = c.baud;
        state.byteSize = c.size;
        state.parity = c.parity;
        state.stopBits = c.stop;
        state.flags = c.flags;
        ASSERT_TRUE(tty->SetCommState(handle, state));
        CommState back;
        ASSERT_TRUE(tty->GetCommState(handle, back));
        EXPECT_EQ(back.baudRate, c.baud);
        EXPECT_EQ(back.byteSize, c.size);
        EXPECT_EQ(back.parity, c.parity);
        EXPECT_EQ(back.stopBits, c.stop);
        EXPECT_EQ(back.flags, c.flags);
    }
}

TEST_F(TtyPtyTest, SettingsWithoutATtyEquivalentAreRefused)
{
    struct Case {
        uint32_t baud;
        uint8_t size, parity, stop;
    };
    const Case cases[] = {{0, 8, 0, 2}, {125000, 9, 0, 2}, {125000, 4, 0, 2}, {125000, 8, 5, 2}, {125000, 8, 0, 1},
                          {125000, 8, 0, 3}};
    for (const Case& c : cases) {
        CommState state;
        state.baudRate = c.baud;
        state.byteSize = c.size;
        state.parity = c.parity;
        state.stopBits = c.stop;
        EXPECT_FALSE(tty->SetCommState(handle, state)) << c.baud << " " << int(c.size) << int(c.parity) << int(c.stop);
    }
}

// A read returns when its count has arrived, however many bursts that
// takes, or with what has arrived when the read time-out has passed.
TEST_F(TtyPtyTest, ReadsReturnOnTheirCountOrAtTheTimeout)
{
    const struct {
        const char* what;
        Bytes waiting;  // on the line before the read
        Bytes later;    // arrives 20 ms into the read
        uint32_t count;
        Bytes read;
        long long atLeastMs;
        long long belowMs;
    } cases[] = {
        {"one byte waits", {0x00}, {}, 1, {0x00}, 0, 30},
        {"a silent line", {}, {}, 1, {}, 69, 400},
        {"two bursts make the count", {0x87, 0x01, 0x02}, {0x03, 0x04, 0x05, 0x8E}, 7,
         {0x87, 0x01, 0x02, 0x03, 0x04, 0x05, 0x8E}, 0, 69},
        {"fewer bytes than the count", {0x87, 0x01, 0x02}, {}, 5, {0x87, 0x01, 0x02}, 69, 400},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        if (!c.waiting.empty()) {
            Feed(c.waiting);
            WaitForInput(int(c.waiting.size()));
        }
        std::thread later;
        if (!c.later.empty())
            later = std::thread([this, &c] {
                std::this_thread::sleep_for(std::chrono::milliseconds(20));
                Feed(c.later);
            });
        const auto start = Steady::now();
        const Bytes got = ReadBack(c.count);
        const long long elapsed = MillisSince(start);
        if (later.joinable())
            later.join();
        EXPECT_EQ(got, c.read);
        EXPECT_GE(elapsed, c.atLeastMs);
        EXPECT_LT(elapsed, c.belowMs);
    }
}

// Every byte value passes unchanged both ways, and nothing is echoed: the
// line discipline must not translate, strip, swallow or signal on any byte.
TEST_F(TtyPtyTest, AllByteValuesPassUntouchedBothWays)
{
    Bytes all(256);
    std::iota(all.begin(), all.end(), 0);

    Feed(all);
    WaitForInput(256);
    EXPECT_EQ(ReadBack(256), all);

    uint32_t written = 0;
    ASSERT_EQ(tty->Write(handle, all.data(), uint32_t(all.size()), written), FT_OK);
    EXPECT_EQ(written, 256u);
    EXPECT_EQ(Drain(257), all);
}

TEST_F(TtyPtyTest, WriteStopsShortAtTheTimeoutWhenTheLineIsBlocked)
{
    const Bytes lots(1 << 20, 0x55);
    uint32_t written = 0;
    const auto start = Steady::now();
    ASSERT_EQ(tty->Write(handle, lots.data(), uint32_t(lots.size()), written), FT_OK);
    const long long elapsed = MillisSince(start);
    EXPECT_GT(written, 0u);
    EXPECT_LT(written, lots.size());
    EXPECT_GE(elapsed, 49);
    EXPECT_LT(elapsed, 400);
}

TEST_F(TtyPtyTest, QueueStatusCountsWaitingBytesAndPurgeDropsThem)
{
    Feed({0x87, 0x11, 0x22, 0x33, 0x8E});
    WaitForInput(5);
    uint32_t waiting = 0;
    ASSERT_EQ(tty->GetQueueStatus(handle, waiting), FT_OK);
    EXPECT_EQ(waiting, 5u);

    ASSERT_EQ(tty->PurgeReceive(handle), FT_OK);
    ASSERT_EQ(tty->GetQueueStatus(handle, waiting), FT_OK);
    EXPECT_EQ(waiting, 0u);
    ASSERT_EQ(tty->SetTimeouts(handle, 5, WRITE_TIMEOUT_MS), FT_OK);
    EXPECT_TRUE(ReadBack(1).empty());
}

TEST_F(TtyPtyTest, ModemLinesOfAPseudoTerminalAreNoError)
{
    EXPECT_EQ(tty->ClrRts(handle), FT_OK);
}

// A hung-up line (the interface unplugged, the pseudo-terminal closed) is an
// error of every call that moves bytes, not a time-out, and says which call
// failed and why.
TEST_F(TtyPtyTest, HangUpEndsReadsAndWritesAtOnceWithAnError)
{
    CollectingLog log;
    tty->BindLog(log);
    close(master);
    master = -1;
    const auto start = Steady::now();
    EXPECT_TRUE(ReadBack(1, FT_IO_ERROR).empty());
    // The kernel ends a hung-up pseudo-terminal's reads with end of file, a
    // hung-up serial port's with EIO: both are the same loss.
    const std::string readFailed = tty->LastError();
    EXPECT_TRUE(readFailed == "read: end of file; the interface was unplugged or hung up" ||
                readFailed == "read: Input/output error; the interface was unplugged or hung up")
        << readFailed;
    EXPECT_TRUE(log.Contains(" " + slavePath + ": " + readFailed + " ")) << ::testing::PrintToString(log.lines);
    const uint8_t frame[] = {0x87, 0x05, 0x00, 0x03, 0x00, 0x6D, 0x56, 0x20, 0x8E};
    uint32_t written = 0;
    EXPECT_EQ(tty->Write(handle, frame, sizeof frame, written), FT_IO_ERROR);
    EXPECT_EQ(tty->LastError(), "write: Input/output error; the interface was unplugged or hung up");
    EXPECT_LT(MillisSince(start), 30);
}

TEST_F(TtyPtyTest, ClosedHandleIsRefusedEverywhere)
{
    const FtHandle closed = handle;
    ASSERT_EQ(tty->Close(closed), FT_OK);
    handle = 0;

    uint8_t byte = 0;
    uint32_t n = 0;
    CommState state;
    EXPECT_EQ(tty->Close(closed), FT_INVALID_HANDLE);
    EXPECT_EQ(tty->Read(closed, &byte, 1, n), FT_INVALID_HANDLE);
    EXPECT_EQ(tty->Write(closed, &byte, 1, n), FT_INVALID_HANDLE);
    EXPECT_EQ(tty->SetTimeouts(closed, 70, 50), FT_INVALID_HANDLE);
    EXPECT_EQ(tty->ClrRts(closed), FT_INVALID_HANDLE);
    EXPECT_EQ(tty->GetQueueStatus(closed, n), FT_INVALID_HANDLE);
    EXPECT_EQ(tty->PurgeReceive(closed), FT_INVALID_HANDLE);
    EXPECT_FALSE(tty->GetCommState(closed, state));
    EXPECT_FALSE(tty->SetCommState(closed, state));
}

// Two programs on one port eat each other's acknowledgements: while the port
// is open, the next open is refused in words that name the holder (this test
// program here), and the port opens again once it is closed.
TEST_F(TtyPtyTest, APortInUseIsRefusedAndItsHolderNamed)
{
    std::string self;
    std::getline(std::ifstream("/proc/self/comm"), self);
    const std::string inUse = "in use by another program (" + self + ", process " + std::to_string(getpid()) + ")";

    const auto second = TtyInterface::ForPath(slavePath);
    uint32_t count = 0;
    ASSERT_EQ(second->CreateDeviceInfoList(count), FT_OK);
    FtHandle refused = 0;
    EXPECT_EQ(second->Open(0, refused), FT_DEVICE_NOT_FOUND);
    EXPECT_EQ(refused, 0u);
    // A user without the right to override the kernel's exclusive mode is
    // refused at the open itself, with the system's words after these.
    EXPECT_TRUE(second->LastError().starts_with(inUse)) << second->LastError();

    ASSERT_EQ(tty->Close(handle), FT_OK);
    handle = 0;
    FtHandle reopened = 0;
    EXPECT_EQ(second->Open(0, reopened), FT_OK);
    EXPECT_EQ(second->Close(reopened), FT_OK);
}

}  // namespace
}  // namespace orv
