// Listing FTDI interfaces from a fake sysfs tree laid out as the kernel does.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "port/serial_port_list.h"
#include "port/tty_interface.h"

namespace orv {
namespace {

namespace fs = std::filesystem;

class TtyListingTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::string pattern = ::testing::TempDir() + "orv_tty_XXXXXX";
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        root = pattern;
        fs::create_directories(root / "sys" / "class" / "tty");
        fs::create_directories(root / "dev");
    }
    void TearDown() override { fs::remove_all(root); }

    static void WriteFile(const fs::path& file, const std::string& text) { std::ofstream(file) << text << "\n"; }

    // A USB device with one interface that carries a usb-serial port and its tty.
    void AddUsbTty(const std::string& usbName, const std::string& vendor, const std::string& product,
                   const std::string& serial, const std::string& productName, const std::string& ttyName)
    {
        const fs::path usb = root / "sys" / "devices" / "pci0000:00" / "usb1" / usbName;
        const fs::path classDir = usb / (usbName + ":1.0") / ttyName / "tty" / ttyName;
        fs::create_directories(classDir);
        WriteFile(usb / "idVendor", vendor);
        WriteFile(usb / "idProduct", product);
        WriteFile(usb / "serial", serial);
        WriteFile(usb / "product", productName);
        fs::create_directory_symlink("../../../" + ttyName, classDir / "device");
        fs::create_directory_symlink(fs::relative(classDir, root / "sys" / "class" / "tty"),
                                     root / "sys" / "class" / "tty" / ttyName);
    }

    // A ttyS node as the 8250 driver makes it; type 0 when no UART answers.
    void AddSerialTty(const std::string& ttyName, const std::string& type)
    {
        const fs::path classDir = root / "sys" / "devices" / "platform" / "serial8250" / "tty" / ttyName;
        fs::create_directories(classDir);
        WriteFile(classDir / "type", type);
        fs::create_directory_symlink(fs::relative(classDir, root / "sys" / "class" / "tty"),
                                     root / "sys" / "class" / "tty" / ttyName);
    }

    fs::path root;
};

TEST_F(TtyListingTest, ListsOnlyFtdiTtysInNodeOrderWithSerialAndProduct)
{
    AddUsbTty("1-1", "0403", "6001", "A10XYZ", "ORV-NET", "ttyUSB10");
    AddUsbTty("1-3", "067b", "2303", "PL0001", "USB-Serial Controller", "ttyUSB1");
    AddUsbTty("1-2", "0403", "6015", "FT2SER", "FT230X Basic UART", "ttyUSB2");
    TtyInterface tty((root / "sys").string(), (root / "dev").string());

    uint32_t count = 99;
    ASSERT_EQ(tty.CreateDeviceInfoList(count), FT_OK);
    ASSERT_EQ(count, 2u);

    DeviceDetail first;
    ASSERT_EQ(tty.GetDeviceInfoDetail(0, first), FT_OK);
    EXPECT_EQ(first.serialNumber, "FT2SER");
    EXPECT_EQ(first.description, "FT230X Basic UART");
    EXPECT_EQ(first.id, 0x04036015u);
    EXPECT_EQ(tty.DevicePath(0), (root / "dev" / "ttyUSB2").string());

    DeviceDetail second;
    ASSERT_EQ(tty.GetDeviceInfoDetail(1, second), FT_OK);
    EXPECT_EQ(second.serialNumber, "A10XYZ");
    EXPECT_EQ(second.description, "ORV-NET");
    EXPECT_EQ(tty.DevicePath(1), (root / "dev" / "ttyUSB10").string());

    DeviceDetail none;
    FtHandle handle = 7;
    EXPECT_EQ(tty.GetDeviceInfoDetail(2, none), FT_DEVICE_NOT_FOUND);
    EXPECT_EQ(tty.Open(2, handle), FT_DEVICE_NOT_FOUND);
    EXPECT_EQ(handle, 0u);
    // Listed but without its /dev node.
    EXPECT_EQ(tty.Open(0, handle), FT_DEVICE_NOT_OPENED);
}

TEST_F(TtyListingTest, EverySerialPortPresentIsListedTheFtdiInterfacesFirstAndMarked)
{
    AddUsbTty("1-1", "0403", "6001", "A10XYZ", "ORV-NET", "ttyUSB10");
    AddUsbTty("1-3", "067b", "2303", "PL0001", "USB-Serial Controller", "ttyUSB1");
    AddUsbTty("1-4", "2341", "0043", "AR0001", "Arduino Uno", "ttyACM0");
    AddSerialTty("ttyS0", "4");
    AddSerialTty("ttyS10", "4");
    AddSerialTty("ttyS2", "4");
    AddSerialTty("ttyS1", "0");  // no UART behind it
    WriteFile(root / "sys" / "class" / "tty" / "tty1", "");
    WriteFile(root / "sys" / "class" / "tty" / "ttySAC", "");

    const std::vector<SerialPortEntry> ports = ListSerialPorts((root / "sys").string(), (root / "dev").string());
    std::vector<std::string> listed;
    for (const SerialPortEntry& port : ports)
        listed.push_back(fs::path(port.port).filename().string() + (port.ftdi ? " FTDI " : " ") + port.serialNumber +
                         "/" + port.description);
    EXPECT_EQ(listed, (std::vector<std::string>{"ttyUSB10 FTDI A10XYZ/ORV-NET", "ttyACM0 /Arduino Uno",
                                                "ttyS0 /serial port", "ttyS2 /serial port", "ttyS10 /serial port",
                                                "ttyUSB1 /USB-Serial Controller"}));
    EXPECT_EQ(ports.front().port, (root / "dev" / "ttyUSB10").string());
}

TEST_F(TtyListingTest, NoTtyClassListsNothing)
{
    TtyInterface tty((root / "nowhere").string(), (root / "dev").string());
    uint32_t count = 99;
    EXPECT_EQ(tty.CreateDeviceInfoList(count), FT_OK);
    EXPECT_EQ(count, 0u);
}

TEST_F(TtyListingTest, GivenPathIsListedWhileItExists)
{
    const fs::path node = root / "dev" / "ttyORV";
    auto tty = TtyInterface::ForPath(node.string());
    uint32_t count = 99;
    ASSERT_EQ(tty->CreateDeviceInfoList(count), FT_OK);
    EXPECT_EQ(count, 0u);

    WriteFile(node, "not a terminal");
    ASSERT_EQ(tty->CreateDeviceInfoList(count), FT_OK);
    ASSERT_EQ(count, 1u);
    DeviceDetail detail;
    ASSERT_EQ(tty->GetDeviceInfoDetail(0, detail), FT_OK);
    EXPECT_EQ(detail.serialNumber, "ttyORV");
    EXPECT_EQ(detail.description, "tty");
    FtHandle handle = 7;
    EXPECT_NE(tty->Open(0, handle), FT_OK);
    EXPECT_EQ(handle, 0u);
}

// A port that cannot be opened says why in the system's words, naming the
// call that failed; a node that is no terminal is not tried again.
TEST_F(TtyListingTest, AFailedOpenKeepsAndLogsTheSystemsReason)
{
    const fs::path file = root / "dev" / "ttyFILE";
    WriteFile(file, "not a terminal");
    fs::create_directory(root / "dev" / "ttyDIR");
    const struct {
        fs::path path;
        uint32_t listed;
        FtStatus opened;
        std::string why;
    } cases[] = {
        {root / "dev" / "ttyGONE", 0, FT_DEVICE_NOT_FOUND, "no such port"},
        {file, 1, FT_DEVICE_NOT_FOUND, "TCGETS2: Inappropriate ioctl for device (not a serial port)"},
        {root / "dev" / "ttyDIR", 1, FT_DEVICE_NOT_FOUND, "open: Is a directory"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        auto tty = TtyInterface::ForPath(c.path.string());
        CollectingLog log;
        tty->BindLog(log);
        uint32_t count = 99;
        ASSERT_EQ(tty->CreateDeviceInfoList(count), FT_OK);
        ASSERT_EQ(count, c.listed);
        FtHandle handle = 0;
        EXPECT_EQ(tty->Open(0, handle), c.opened);
        EXPECT_EQ(tty->LastError(), c.why);
        EXPECT_TRUE(log.Contains(" Cannot open " + c.path.string() + ": " + c.why + " ")) << ::testing::PrintToString(log.lines);
    }
}

TEST_F(TtyListingTest, APortWithoutPermissionAdvisesTheDialoutGroup)
{
    if (geteuid() == 0)
        GTEST_SKIP() << "root opens a file whatever its mode";
    const fs::path node = root / "dev" / "ttyLOCKED";
    WriteFile(node, "");
    fs::permissions(node, fs::perms::none);
    auto tty = TtyInterface::ForPath(node.string());
    uint32_t count = 0;
    ASSERT_EQ(tty->CreateDeviceInfoList(count), FT_OK);
    FtHandle handle = 0;
    EXPECT_EQ(tty->Open(0, handle), FT_DEVICE_NOT_OPENED);
    EXPECT_EQ(tty->LastError(), "open: Permission denied (add yourself to the dialout group, then log in again)");
}

}  // namespace
}  // namespace orv
