// Names of Windows COM ports and of the FTDI devices behind them, as the port
// option, the SetupAPI and the FTDI bus driver spell them. Plain string work,
// so that it builds and is tested on every platform.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace orv {

constexpr uint32_t FTDI_VENDOR_ID = 0x0403;

// "COM7", "com7" or "\\.\COM12" as the device path CreateFile opens
// ("\\.\COM7"); nothing when the text names no COM port.
std::optional<std::string> ComDevicePath(const std::string& portName);

// Whether a SetupAPI hardware ID ("FTDIBUS\COMPORT&VID_0403&PID_6001",
// "USB\VID_0403&PID_6015") belongs to a device of USB vendor 0403.
bool IsFtdiHardwareId(const std::string& hardwareId);

// The USB product ID in a hardware ID; 0 when it carries none.
unsigned ProductIdOf(const std::string& hardwareId);

// The serial number in the FTDI bus driver's instance ID
// ("FTDIBUS\VID_0403+PID_6001+A600ABCDA\0000" gives "A600ABCD": the driver
// appends the channel letter); empty for other instance IDs.
std::string FtdiSerialOf(const std::string& instanceId);

}  // namespace orv
