// The line that ends a command whose interface went away while it ran.
#pragma once

#include <optional>
#include <string>

#include "ctl/run.h"

namespace orv {

// "the ORV-NET on /dev/ttyUSB0", "the ORV-NET" or "the simulated ORV-NET":
// the interface of the run's command line.
std::string InterfaceName(const Run& run);

// "orvctl --port /dev/ttyUSB0 ": the start of a command line that runs on the
// interface of this run's.
std::string OrvctlOnThisInterface(const Run& run);

// "the ORV-NET on /dev/ttyUSB0 was disconnected while block 4 of 15 was being
// written", naming the interface of the run's command line.
std::string InterfaceLostText(const Run& run);

// When the interface is lost: that line, and EXIT_BUS. Nothing otherwise, and
// the caller names the failure itself.
std::optional<int> FailIfInterfaceLost(const Run& run);

// A discovery (as BusSession::Discover) that found devices; false after the
// error line: the lost interface's, or that no device answered.
bool DiscoverSomeOrFail(Run& run, BusSession& session, bool all, bool resolve);

}  // namespace orv
