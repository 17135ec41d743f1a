// The line the program talks through, as the technician chooses it while the
// program runs: the interfaces found, and a port tried or chosen on the link.
// The link stays bound to the line (port/chosen_interface.h); a choice
// replaces the interface behind it and opens it again.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "network/device_registry.h"
#include "port/chosen_interface.h"
#include "port/usb_interface.h"
#include "services/services.h"

namespace orv {

// One serial interface found on the PC, as orvctl doctor names it.
struct InterfaceEntry {
    std::string port;  // what --port takes: the device node, or COM7
    std::string serialNumber;
    std::string description;
    bool ftdi = true;
};

// The interfaces usb lists, each named by pathOf(index).
std::vector<InterfaceEntry> ListInterfaces(UsbInterface& usb, const std::function<std::string(uint32_t)>& pathOf);
// The FTDI interfaces attached now.
std::vector<InterfaceEntry> ListFtdiInterfaces();
// Every serial port present now, the FTDI interfaces first.
std::vector<InterfaceEntry> ListSerialPortChoices();

// What trying a port showed, in words for the technician.
struct LineTrial {
    bool opened = false;
    std::vector<DeviceRecord> devices;  // the answers to one broadcast
    std::string text;
};

// One broadcast on the link as it is bound now, the line named label: what
// answered, in words.
LineTrial AskLineInUse(const std::string& label, Services& services);

// The chosen interface, and trials of other ports on the link while it is in use.
class BusLine final : public ChosenInterface {
public:
    using ChosenInterface::ChosenInterface;

    // Opens port as the bus interface in place of the line in use (a serial
    // server takes one connection, a tty one program), asks the bus with one
    // broadcast and closes it; the line in use is then opened again with the
    // link bound to services. No box is shown for port: the result says it.
    LineTrial Try(const std::string& port, Services& services);
    // The same without the broadcast; when port opens it becomes the line in
    // use, else the line in use is opened again.
    LineTrial Choose(const std::string& port, Services& services);

    // Before the line is first opened: whether its port opens, no box shown.
    // It is left closed for that opening.
    bool Opens(Services& services);

private:
    // Opens port on an interface of its own, the line in use closed meanwhile;
    // with discover, one broadcast is asked.
    LineTrial Trial(const std::string& port, bool discover, Services& services);
    bool ReopenInUse(Services& services);
};

}  // namespace orv
