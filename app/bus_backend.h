// The USB interface a program talks through: the ORV-NET on a tty for orvtool,
// the demonstration bus for orvtool-sim. Each program links one definition of
// MakeBusBackend.
#pragma once

#include <memory>

#include "services/clock.h"
#include "link/usb_interface.h"

namespace orv {

struct BusBackend {
    virtual ~BusBackend() = default;
    virtual UsbInterface& Interface() = 0;
};

std::unique_ptr<BusBackend> MakeBusBackend(Clock& clock);

}  // namespace orv
