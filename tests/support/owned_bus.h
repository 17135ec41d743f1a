// The bus access orvctl gets when a test makes the interface itself (a tty
// path, a server's address) and paces the link with a clock of its choosing:
// virtual time lets the reads wait for the line in real time while a 300 ms
// pause costs nothing.
#pragma once

#include <memory>

#include "ctl/orvctl.h"

namespace orv::test {

class OwnedBus final : public BusAccess {
public:
    OwnedBus(std::unique_ptr<UsbInterface> usb, Clock& clock) : usb_(std::move(usb)), clock_(clock) {}
    UsbInterface& Interface() override { return *usb_; }
    Clock& Time() override { return clock_; }

private:
    std::unique_ptr<UsbInterface> usb_;
    Clock& clock_;
};

}  // namespace orv::test
