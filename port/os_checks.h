// What the system says about reaching a serial port, for orvctl doctor:
// the questions a technician would otherwise answer at a shell.
#pragma once

#include <optional>
#include <string>

namespace orv {

#ifdef _WIN32
// Whether the system has the COM port at device path "\\.\COM7": a port held
// by another program is there too, only a name without a device is not.
bool ComPortExists(const std::string& devicePath);
#else
// Whether the user is in the dialout group, which owns the serial ports.
bool InDialoutGroup();
// Whether the user may open path for reading and writing.
bool MayOpenForReadAndWrite(const std::string& path);
// The file name of the udev rule that gives FTDI interfaces to dialout and
// sets their latency timer at plug-in.
inline constexpr const char* UDEV_RULE = "60-orvtool.rules";
// Where the rule is installed; nothing when it is not.
std::optional<std::string> InstalledUdevRule();
#endif

}  // namespace orv
