#include "ctl/command_line.h"

#include <algorithm>

#include "port/port_address.h"

namespace orv {

namespace {

const char* const COMMAND_FLAGS[] = {"--all",   "--slow",  "--json", "--resolve", "--emergency",
                                     "--force", "--update-links"};

// "--port=PATH" gives "PATH" for "--port".
std::optional<std::string> InlineValue(const std::string& arg, const std::string& option)
{
    if (arg.size() > option.size() && arg.compare(0, option.size() + 1, option + "=") == 0)
        return arg.substr(option.size() + 1);
    return std::nullopt;
}

}  // namespace

bool CommandLine::Has(const std::string& flag) const
{
    return std::find(flags.begin(), flags.end(), flag) != flags.end();
}

ParsedCommandLine ParseCommandLine(const std::vector<std::string>& args)
{
    ParsedCommandLine parsed;
    CommandLine& line = parsed.line;
    // The value of an option that takes one: inline, or the next argument.
    auto takeValue = [&](size_t& i, const std::string& option, std::string& value) {
        if (const auto inlined = InlineValue(args[i], option)) {
            value = *inlined;
            return true;
        }
        if (args[i] != option)
            return false;
        if (i + 1 >= args.size()) {
            parsed.error = option + " needs a value";
            return true;
        }
        value = args[++i];
        return true;
    };

    for (size_t i = 0; i < args.size() && parsed.error.empty(); ++i) {
        const std::string& arg = args[i];
        std::string value;
        if (arg == "--sim") {
            line.bus.sim = true;
        } else if (takeValue(i, "--port", value)) {
            line.bus.port = value;
            const std::string wrong = ParsePortAddress(value).error;
            if (parsed.error.empty() && !wrong.empty())
                parsed.error = value.empty() ? "--port needs a value" : "--port: " + wrong;
        } else if (arg == "-v" || arg == "--verbose") {
            line.verbose = true;
        } else if (arg == "-q" || arg == "--quiet") {
            line.quiet = true;
        } else if (arg == "-h" || arg == "--help") {
            line.help = true;
        } else if (takeValue(i, "-o", value) || takeValue(i, "--output", value)) {
            line.output = value;
            line.flags.push_back("-o");
        } else if (takeValue(i, "--replace", value)) {
            line.replacements.push_back(value);
            line.flags.push_back("--replace");
        } else if (std::find(std::begin(COMMAND_FLAGS), std::end(COMMAND_FLAGS), arg) != std::end(COMMAND_FLAGS)) {
            line.flags.push_back(arg);
        } else if (arg.size() > 1 && arg[0] == '-') {
            parsed.error = "unknown option " + arg;
        } else if (line.command.empty()) {
            line.command = arg;
        } else {
            line.operands.push_back(arg);
        }
    }
    if (parsed.error.empty() && line.bus.sim && !line.bus.port.empty())
        parsed.error = "--sim and --port exclude each other";
    return parsed;
}

std::optional<int> ParseNumber(const std::string& text, int min, int max)
{
    if (text.empty() || text.size() > 3 ||
        !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return std::nullopt;
    const int value = std::stoi(text);
    if (value < min || value > max)
        return std::nullopt;
    return value;
}

}  // namespace orv
