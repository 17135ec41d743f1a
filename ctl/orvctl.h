// orvctl, the command-line companion of orvtool: the same core operations,
// reported through output and exit status instead of message boxes.
#pragma once

#include <functional>
#include <iosfwd>
#include <memory>
#include <string>
#include <vector>

#include "port/usb_interface.h"
#include "services/clock.h"

namespace orv {

enum ExitStatus : int {
    EXIT_OK = 0,
    EXIT_BUS = 1,    // the bus or a device failed
    EXIT_USAGE = 2,  // the command line is wrong
    EXIT_FILE = 3,   // a file is missing, unreadable, of the wrong size or damaged
    EXIT_STOPPED = 130,  // stopped by Ctrl+C, as a shell counts a program ended by SIGINT
};

// Where the user's requests to stop come from: Ctrl+C in the program, a
// script in tests. Armed when a command starts its work on the bus, so that
// Ctrl+C ends the other commands as it ends any program.
class StopSource {
public:
    virtual ~StopSource() = default;
    virtual void Arm() = 0;
    // The requests made since the source was armed.
    virtual int Count() = 0;
};

// Where a run reads and writes. Progress bars are drawn only on a terminal.
struct Terminal {
    std::istream& in;
    std::ostream& out;
    std::ostream& err;
    bool errIsTerminal = false;
    // Nothing: no one can ask to stop.
    StopSource* stop = nullptr;
};

// The interface chosen on the command line: --sim, --port PATH or URL, or
// neither (the first FTDI interface, as orvtool finds it).
struct BusChoice {
    bool sim = false;
    std::string port;
};

// An interface and the clock that paces the bus exchanges over it.
class BusAccess {
public:
    virtual ~BusAccess() = default;
    virtual UsbInterface& Interface() = 0;
    virtual Clock& Time() = 0;
    // The tty node of a listed interface; empty when the interface is no tty.
    virtual std::string DevicePath(uint32_t) { return {}; }
};

using BusFactory = std::function<std::unique_ptr<BusAccess>(const BusChoice&)>;

// --sim: a fresh demonstration bus in virtual time. Otherwise, in real time,
// the backend the port names, or the FTDI interfaces listed in sysfs.
std::unique_ptr<BusAccess> OpenChosenBus(const BusChoice& choice);

// Runs one command line (without the program name) and gives its exit status.
// The bus is made by factory, and only for commands that need it.
int RunOrvctl(const std::vector<std::string>& args, Terminal& terminal,
              const BusFactory& factory = OpenChosenBus);

}  // namespace orv
