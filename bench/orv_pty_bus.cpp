// orv-pty-bus: the demonstration bus of orvtool-sim served on a
// pseudo-terminal in real time, for measuring the programs on a tty. Prints
// the slave path, then serves until standard input closes. A turnaround given
// as a range (80-120) is spread over the devices, the first the quickest.
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <string>

#include "sim/demo_bus.h"
#include "sim/sim_device.h"
#include "tests/support/pty_bus.h"

int main(int argc, char** argv)
{
    uint64_t quickestMicros = orv::SimDevice::DEFAULT_TURNAROUND_MICROS;
    uint64_t slowestMicros = quickestMicros;
    if (argc == 3 && std::strcmp(argv[1], "--turnaround-ms") == 0) {
        char* rest = nullptr;
        quickestMicros = uint64_t(std::strtoul(argv[2], &rest, 10)) * 1000;
        slowestMicros = *rest == '-' ? uint64_t(std::strtoul(rest + 1, nullptr, 10)) * 1000 : quickestMicros;
    } else if (argc != 1) {
        std::cerr << "Usage: orv-pty-bus [--turnaround-ms MS[-MS]]\n";
        return 2;
    }
    orv::SteadyClock clock;
    orv::DemoBus demo(clock);
    const auto& devices = demo.Devices();
    for (size_t i = 0; i < devices.size(); ++i) {
        const uint64_t spread = devices.size() > 1 ? (slowestMicros - quickestMicros) * i / (devices.size() - 1) : 0;
        devices[i]->SetTurnaroundMicros(quickestMicros + spread);
    }
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
