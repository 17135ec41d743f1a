// Line settings of a tty through termios2, which takes any baud rate. The
// kernel's termios2 header cannot share a translation unit with <termios.h>,
// so this interface speaks plain C++ only.
#pragma once

#include <cstdint>

namespace orv {

enum class TtyParity : uint8_t { None, Odd, Even, Mark, Space };

struct TtyLine {
    uint32_t baudRate = 0;
    uint8_t dataBits = 8;  // 5 to 8
    TtyParity parity = TtyParity::None;
    bool twoStopBits = false;
    bool parityCheck = false;
    bool rtsCtsFlow = false;
    bool xonXoffOut = false;
    bool xonXoffIn = false;
    char xonChar = 0x11;
    char xoffChar = 0x13;
};

// The request on the tty that failed ("TCSETS2") and the errno it left.
struct TtyFailure {
    const char* call = "";
    int error = 0;
};

// Reads the settings the driver holds; false when fd is not a terminal.
bool ReadTtyLine(int fd, TtyLine& line, TtyFailure& failure);
// Applies the settings on a raw line: no echo, no canonical mode, no signals,
// no input or output processing, receiver on, modem status lines ignored.
bool ApplyTtyLine(int fd, const TtyLine& line, TtyFailure& failure);
// Drops what waits to be read.
bool FlushTtyInput(int fd, TtyFailure& failure);

}  // namespace orv
