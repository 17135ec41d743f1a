// What every backend keeps: a failure tried again and again is logged once,
// while LastError always holds the latest; a handle is never given twice.
#include <gtest/gtest.h>

#include "port/port_records.h"

namespace orv::test {
namespace {

TEST(PortRecords, ARepeatedFailureIsLoggedOnceUntilAPortOpens)
{
    CollectingLog log;
    PortFailures failures;
    failures.Bind(log);
    failures.Fail(" Cannot open /dev/ttyUSB0: busy ", "busy");
    failures.Fail(" Cannot open /dev/ttyUSB0: busy ", "busy");
    EXPECT_EQ(log.lines.size(), 1u);
    failures.Fail(" Cannot open /dev/ttyUSB0: gone ", "gone");
    EXPECT_EQ(failures.Why(), "gone");
    failures.Keep("the server closed the connection");
    EXPECT_EQ(failures.Why(), "the server closed the connection");
    // After an open, the same failure is news again.
    failures.Opened();
    failures.Fail(" Cannot open /dev/ttyUSB0: gone ", "gone");
    EXPECT_EQ(log.lines, (std::vector<std::string>{" Cannot open /dev/ttyUSB0: busy ", " Cannot open /dev/ttyUSB0: gone ",
                                                   " Cannot open /dev/ttyUSB0: gone "}));
    failures.Clear();
    EXPECT_EQ(failures.Why(), "");
}

TEST(PortRecords, AClosedHandleStaysInvalidAndAnUnlistedIndexIsNotFound)
{
    OpenPorts<int> ports;
    const FtHandle first = ports.Add(7);
    ports.Remove(first);
    const FtHandle second = ports.Add(8);
    EXPECT_NE(first, 0u);
    EXPECT_NE(second, first);
    EXPECT_EQ(ports.Find(first), nullptr);
    ASSERT_NE(ports.Find(second), nullptr);
    EXPECT_EQ(*ports.Find(second), 8);

    struct Entry {
        DeviceDetail detail;
    };
    ListedPorts<Entry> listed;
    Entry one;
    one.detail.serialNumber = "FT1";
    listed.Add(one);
    DeviceDetail detail;
    EXPECT_EQ(listed.Detail(0, detail), FT_OK);
    EXPECT_EQ(detail.serialNumber, "FT1");
    EXPECT_EQ(listed.Detail(1, detail), FT_DEVICE_NOT_FOUND);
    listed.Clear();
    EXPECT_EQ(listed.At(0), nullptr);
}

}  // namespace
}  // namespace orv::test
