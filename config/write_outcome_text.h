// What a configuration write came to, in one wording for every front end:
// orvctl's write-config and restore, and the Restore window.
#pragma once

#include <string>

#include "config/block_transfer.h"

namespace orv {

// What a write that stopped part-way leaves: "ORV-Input8 (21 00 10 31) at
// address 3 may now hold an incomplete configuration", and, when again names
// the command line that writes it again, "; to write it again: " and that line.
std::string IncompleteConfigurationText(const std::string& device, const std::string& again);

// The write of a configuration to device ("ORV-Input8 (21 00 10 31) at
// address 3") in words: "written and read back" when it was saved, else what
// went wrong. interfaceLost is the sentence for an interface lost during the
// write; again as for IncompleteConfigurationText (nothing named when empty).
std::string WriteOutcomeText(const WriteOutcome& outcome, const std::string& device, const std::string& interfaceLost,
                             const std::string& again = {});

}  // namespace orv
