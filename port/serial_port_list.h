// Every serial port present on the PC, for the technician to choose from: the
// FTDI interfaces first, as the serial backend lists them and marked as such,
// then the other serial ports (on Linux ttyUSB, ttyACM and the ttyS ports with
// a UART behind them; on Windows every COM port) in name order.
#pragma once

#include <string>
#include <vector>

namespace orv {

struct SerialPortEntry {
    std::string port;  // what --port takes: the device node, or COM7
    bool ftdi = false;
    std::string serialNumber;
    std::string description;
};

std::vector<SerialPortEntry> ListSerialPorts();

#ifndef _WIN32
// The same from the sysfs and /dev trees under these roots.
std::vector<SerialPortEntry> ListSerialPorts(const std::string& sysRoot, const std::string& devRoot);
#endif

}  // namespace orv
