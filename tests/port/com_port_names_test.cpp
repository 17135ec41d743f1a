// COM port names and the FTDI IDs behind them, as Windows spells them.
#include <gtest/gtest.h>

#include "port/com_port_names.h"

namespace orv {
namespace {

TEST(ComPortNames, PortOptionsBecomeDevicePaths)
{
    const struct {
        const char* given;
        const char* path;  // nullptr: not a COM port
    } cases[] = {
        {"COM7", "\\\\.\\COM7"},      {"com7", "\\\\.\\COM7"},      {"\\\\.\\COM12", "\\\\.\\COM12"},
        {"\\\\.\\com3", "\\\\.\\COM3"}, {"COM", nullptr},             {"COM0", nullptr},
        {"COM7x", nullptr},           {"/dev/ttyUSB0", nullptr},    {"tcp://host:4001", nullptr},
        {"", nullptr},
    };
    for (const auto& c : cases) {
        const std::optional<std::string> path = ComDevicePath(c.given);
        if (c.path)
            EXPECT_EQ(path, std::optional<std::string>(c.path)) << c.given;
        else
            EXPECT_FALSE(path) << c.given;
    }
}

TEST(ComPortNames, FtdiDevicesAreKnownByVendorProductAndSerial)
{
    const struct {
        const char* hardwareId;
        bool ftdi;
        unsigned product;
    } ids[] = {
        {"FTDIBUS\\COMPORT&VID_0403&PID_6001", true, 0x6001},
        {"USB\\VID_0403&PID_6015&REV_1000", true, 0x6015},
        {"ftdibus\\comport&vid_0403&pid_6014", true, 0x6014},
        {"USB\\VID_067B&PID_2303", false, 0x2303},
        {"ACPI\\PNP0501", false, 0},
        {"USB\\VID_0403&PID_60", true, 0},
    };
    for (const auto& id : ids) {
        EXPECT_EQ(IsFtdiHardwareId(id.hardwareId), id.ftdi) << id.hardwareId;
        EXPECT_EQ(ProductIdOf(id.hardwareId), id.product) << id.hardwareId;
    }

    const struct {
        const char* instanceId;
        const char* serial;
    } instances[] = {
        {"FTDIBUS\\VID_0403+PID_6001+A600ABCDA\\0000", "A600ABCD"},
        {"FTDIBUS\\VID_0403+PID_6010+FT4XYZ12B\\0000", "FT4XYZ12"},
        {"USB\\VID_0403&PID_6001\\A600ABCD", ""},
        {"ACPI\\PNP0501\\1", ""},
    };
    for (const auto& instance : instances)
        EXPECT_EQ(FtdiSerialOf(instance.instanceId), instance.serial) << instance.instanceId;
}

}  // namespace
}  // namespace orv
