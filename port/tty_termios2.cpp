#include "port/tty_termios2.h"

#include <asm/termbits.h>
#include <sys/ioctl.h>

#include <cerrno>

namespace orv {

namespace {
// The fixed rates a driver may report instead of BOTHER.
struct FixedRate {
    tcflag_t code;
    uint32_t baud;
};
constexpr FixedRate fixedRates[] = {
    {B0, 0},           {B50, 50},         {B75, 75},         {B110, 110},         {B134, 134},
    {B150, 150},       {B200, 200},       {B300, 300},       {B600, 600},         {B1200, 1200},
    {B1800, 1800},     {B2400, 2400},     {B4800, 4800},     {B9600, 9600},       {B19200, 19200},
    {B38400, 38400},   {B57600, 57600},   {B115200, 115200}, {B230400, 230400},   {B460800, 460800},
    {B500000, 500000}, {B576000, 576000}, {B921600, 921600}, {B1000000, 1000000}, {B1152000, 1152000},
    {B1500000, 1500000}, {B2000000, 2000000}, {B2500000, 2500000}, {B3000000, 3000000},
    {B3500000, 3500000}, {B4000000, 4000000},
};

uint32_t OutputBaud(const termios2& tio)
{
    const tcflag_t code = tio.c_cflag & CBAUD;
    if (code == BOTHER)
        return tio.c_ospeed;
    for (const FixedRate& rate : fixedRates)
        if (rate.code == code)
            return rate.baud;
    return tio.c_ospeed;
}

tcflag_t SizeFlag(uint8_t dataBits)
{
    switch (dataBits) {
    case 5: return CS5;
    case 6: return CS6;
    case 7: return CS7;
    default: return CS8;
    }
}

uint8_t DataBits(tcflag_t cflag)
{
    switch (cflag & CSIZE) {
    case CS5: return 5;
    case CS6: return 6;
    case CS7: return 7;
    default: return 8;
    }
}

tcflag_t ParityFlags(TtyParity parity)
{
    switch (parity) {
    case TtyParity::Odd: return PARENB | PARODD;
    case TtyParity::Even: return PARENB;
    case TtyParity::Mark: return PARENB | CMSPAR | PARODD;
    case TtyParity::Space: return PARENB | CMSPAR;
    default: return 0;
    }
}

// One request on the tty; a failure is kept with its name.
template <class Argument>
bool Request(int fd, unsigned long request, const char* name, Argument argument, TtyFailure& failure)
{
    if (ioctl(fd, request, argument) == 0)
        return true;
    failure = {name, errno};
    return false;
}

TtyParity Parity(tcflag_t cflag)
{
    if (!(cflag & PARENB))
        return TtyParity::None;
    if (cflag & CMSPAR)
        return (cflag & PARODD) ? TtyParity::Mark : TtyParity::Space;
    return (cflag & PARODD) ? TtyParity::Odd : TtyParity::Even;
}
}  // namespace

bool ReadTtyLine(int fd, TtyLine& line, TtyFailure& failure)
{
    termios2 tio{};
    if (!Request(fd, TCGETS2, "TCGETS2", &tio, failure))
        return false;
    line.baudRate = OutputBaud(tio);
    line.dataBits = DataBits(tio.c_cflag);
    line.parity = Parity(tio.c_cflag);
    line.twoStopBits = (tio.c_cflag & CSTOPB) != 0;
    line.parityCheck = (tio.c_iflag & INPCK) != 0;
    line.rtsCtsFlow = (tio.c_cflag & CRTSCTS) != 0;
    line.xonXoffOut = (tio.c_iflag & IXON) != 0;
    line.xonXoffIn = (tio.c_iflag & IXOFF) != 0;
    line.xonChar = char(tio.c_cc[VSTART]);
    line.xoffChar = char(tio.c_cc[VSTOP]);
    return true;
}

bool ApplyTtyLine(int fd, const TtyLine& line, TtyFailure& failure)
{
    termios2 tio{};
    if (!Request(fd, TCGETS2, "TCGETS2", &tio, failure))
        return false;
    tio.c_iflag &= ~tcflag_t(IGNBRK | BRKINT | IGNPAR | PARMRK | INPCK | ISTRIP | INLCR | IGNCR | ICRNL | IUCLC |
                             IXON | IXANY | IXOFF | IMAXBEL);
    if (line.parityCheck)
        tio.c_iflag |= INPCK;
    if (line.xonXoffOut)
        tio.c_iflag |= IXON;
    if (line.xonXoffIn)
        tio.c_iflag |= IXOFF;
    tio.c_oflag &= ~tcflag_t(OPOST);
    tio.c_lflag &= ~tcflag_t(ECHO | ECHOE | ECHOK | ECHONL | ICANON | ISIG | IEXTEN);
    // Input speed follows the output speed while CIBAUD is zero.
    tio.c_cflag &= ~tcflag_t(CBAUD | CIBAUD | CSIZE | PARENB | PARODD | CMSPAR | CSTOPB | CRTSCTS);
    tio.c_cflag |= BOTHER | SizeFlag(line.dataBits) | ParityFlags(line.parity) | CLOCAL | CREAD;
    if (line.twoStopBits)
        tio.c_cflag |= CSTOPB;
    if (line.rtsCtsFlow)
        tio.c_cflag |= CRTSCTS;
    tio.c_ospeed = line.baudRate;
    tio.c_ispeed = line.baudRate;
    tio.c_cc[VMIN] = 1;
    tio.c_cc[VTIME] = 0;
    tio.c_cc[VSTART] = cc_t(line.xonChar);
    tio.c_cc[VSTOP] = cc_t(line.xoffChar);
    return Request(fd, TCSETS2, "TCSETS2", &tio, failure);
}

bool FlushTtyInput(int fd, TtyFailure& failure)
{
    return Request(fd, TCFLSH, "TCFLSH", TCIFLUSH, failure);
}

}  // namespace orv
