// The USB interface a program talks through: for orvtool the ORV-NET on a
// tty or the port named with --port, for orvtool-sim the demonstration bus.
// Each program links one definition of MakeBusBackend.
#pragma once

#include <memory>
#include <string>

#include "port/usb_interface.h"
#include "services/clock.h"

namespace orv {

struct BusBackend {
    virtual ~BusBackend() = default;
    virtual UsbInterface& Interface() = 0;
};

std::unique_ptr<BusBackend> MakeBusBackend(Clock& clock);

// The port the command line named with --port; empty for the program's own
// search.
const std::string& ChosenBusPort();

}  // namespace orv
