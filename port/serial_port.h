// The serial port backend of the platform: the FTDI ttys on Linux, the COM
// ports of FTDI's virtual COM port driver on Windows. Both list the FTDI
// interfaces when made plainly, or exactly one port with ForPath, and name a
// listed port with DevicePath.
#pragma once

#ifdef _WIN32
#include "port/com_interface.h"
#else
#include "port/tty_interface.h"
#endif

namespace orv {

#ifdef _WIN32
using SerialInterface = ComInterface;
#else
using SerialInterface = TtyInterface;
#endif

}  // namespace orv
