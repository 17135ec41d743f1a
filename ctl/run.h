// What one orvctl command works with: its command line, the terminal, the
// core's prompts and log, and, for the commands that talk to devices, a
// session on the bus.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "ctl/command_line.h"
#include "ctl/orvctl.h"
#include "ctl/terminal_prompts.h"
#include "ctl/terminal_stop.h"
#include "network/device_registry.h"
#include "network/network_view.h"
#include "services/services.h"

namespace orv {

struct Run {
    const CommandLine& line;
    Terminal& terminal;
    ErrorLine& errors;
    TerminalLog& log;
    TerminalPrompts& prompts;
    const BusFactory& factory;
    TerminalStop& stop;

    // "orvctl: COMMAND: text" on standard error; gives status.
    int Fail(int status, const std::string& text) const;
    // "orvctl: COMMAND: stopped by Ctrl+C: text", what became of the stop; gives EXIT_STOPPED.
    int Stopped(const std::string& text);
    // The same line for a problem that does not end the command.
    void Warn(const std::string& text) const;
};

// The core's view of the device list; orvctl prints the registry itself.
class NoView final : public NetworkView {
public:
    void ShowInstructions() override {}
    void ResetDeviceList() override {}
    void RefreshDeviceList() override {}
};

// The bus of one run: the interface made from the command line (not opened
// before Open), the link bound to it, and the registry that discoveries fill.
class BusSession {
public:
    explicit BusSession(Run& run);
    BusSession(const BusSession&) = delete;
    BusSession& operator=(const BusSession&) = delete;

    // Opens the interface without the start-up search's fixed pauses. False
    // after the error line.
    bool Open();
    // A quick (broadcast) or, with all, full (start 0) discovery: fast unless
    // the command line asks for --slow. Shared addresses are given new ones
    // only with resolve. The number of devices found.
    int Discover(bool all, bool resolve);
    // The same; false after the error line when no device answered.
    bool DiscoverSome(bool all, bool resolve);
    // The device at address after a discovery, selected, when exactly one
    // device has it; nothing after the error line. The status of that line
    // is EXIT_BUS.
    const DeviceRecord* SelectDeviceAt(uint8_t address);

    // The latency timer of the tty in use; nothing where it cannot be read
    // (a network port, a tty without one).
    std::optional<uint32_t> LatencyTimer();

    BusAccess& Access() { return *access_; }
    Services& Seams() { return services_; }
    DeviceRegistry& Registry() { return registry_; }
    NetworkContext& Context() { return context_; }

private:
    Run& run_;
    std::unique_ptr<BusAccess> access_;
    Services services_;
    DeviceRegistry registry_;
    NoView view_;
    NetworkContext context_;
};

// "orvctl: COMMAND: ", before every line on standard error.
std::string LinePrefix(const CommandLine& line);

// "ORV-Relay (00 12 AB 34) at address 9".
std::string DescribeDevice(const DeviceRecord& record);

}  // namespace orv
