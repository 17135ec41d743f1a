// orv-pty-bus: the demonstration bus of orvtool-sim served on a
// pseudo-terminal in real time, for measuring the programs on a tty. Prints
// the slave path, then serves until standard input closes.
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <string>

#include "tests/support/pty_bus.h"
#include "sim/demo_bus.h"
#include "sim/sim_device.h"

int main(int argc, char** argv)
{
    uint64_t turnaroundMicros = orv::SimDevice::DEFAULT_TURNAROUND_MICROS;
    if (argc == 3 && std::strcmp(argv[1], "--turnaround-ms") == 0) {
        turnaroundMicros = uint64_t(std::strtoul(argv[2], nullptr, 10)) * 1000;
    } else if (argc != 1) {
        std::cerr << "Usage: orv-pty-bus [--turnaround-ms MS]\n";
        return 2;
    }
    orv::SteadyClock clock;
    orv::DemoBus demo(clock);
    for (const auto& device : demo.Devices())
        device->SetTurnaroundMicros(turnaroundMicros);
    orv::PtyBus pty(demo.Bus());
    if (!pty.Ready()) {
        std::cerr << "orv-pty-bus: no pseudo-terminal\n";
        return 1;
    }
    std::cout << pty.SlavePath() << std::endl;
    std::string ignored;
    while (std::getline(std::cin, ignored)) {
    }
    return 0;
}
