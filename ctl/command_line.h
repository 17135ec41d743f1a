// orvctl's command line: global options anywhere, one command, its options
// and operands.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "ctl/orvctl.h"

namespace orv {

struct CommandLine {
    BusChoice bus;
    bool verbose = false;
    bool quiet = false;
    bool help = false;
    std::string command;  // empty when none was given
    // Command options that were given, as "--all", "--slow", "--json", "--resolve", "--emergency", "--force",
    // "--update-links", "--replace", "-o".
    std::vector<std::string> flags;
    std::optional<std::string> output;  // -o FILE
    std::vector<std::string> replacements;  // each --replace OLD=NEW
    std::vector<std::string> operands;

    bool Has(const std::string& flag) const;
};

struct ParsedCommandLine {
    CommandLine line;
    std::string error;  // why the command line is wrong; empty when it is not
};

// Splits args into options and operands; the command decides later which of
// its options and how many operands it takes.
ParsedCommandLine ParseCommandLine(const std::vector<std::string>& args);

// A number from min to max written in decimal digits only.
std::optional<int> ParseNumber(const std::string& text, int min, int max);

}  // namespace orv
