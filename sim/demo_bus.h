// The bus of orvtool-sim (and orvctl --sim): a simulated bus with a few
// devices that show the tool off.
#pragma once

#include <memory>
#include <vector>

#include "sim/sim_bus.h"

namespace orv {

class SimDevice;

class DemoBus {
public:
    explicit DemoBus(Clock& clock);
    ~DemoBus();

    SimBus& Bus() { return bus_; }
    const std::vector<std::unique_ptr<SimDevice>>& Devices() const { return devices_; }

private:
    SimBus bus_;
    std::vector<std::unique_ptr<SimDevice>> devices_;
};

}  // namespace orv
