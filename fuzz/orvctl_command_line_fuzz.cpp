// orvctl's command line: the input split at NUL bytes into arguments. What is
// taken comes from the arguments; each --replace is taken as written, and its
// two serial numbers read as restore reads them.
#include <algorithm>

#include "ctl/command_line.h"
#include "fuzz/fuzz_support.h"
#include "wholebus/backup_folder.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::vector<std::string> args(1);
    for (size_t i = 0; i < size; ++i) {
        if (data[i] == 0)
            args.emplace_back();
        else
            args.back() += char(data[i]);
    }
    const orv::ParsedCommandLine parsed = orv::ParseCommandLine(args);
    if (!parsed.error.empty())
        return 0;
    const orv::CommandLine& line = parsed.line;
    const auto given = [&](const std::string& text) {
        return std::any_of(args.begin(), args.end(), [&](const std::string& arg) { return arg.find(text) != std::string::npos; });
    };
    FUZZ_CHECK(line.command.empty() || given(line.command));
    for (const std::string& operand : line.operands)
        FUZZ_CHECK(given(operand));
    for (const std::string& replacement : line.replacements) {
        FUZZ_CHECK(given(replacement));
        const size_t equals = replacement.find('=');
        orv::ParseSerialText(replacement.substr(0, equals));
        if (equals != std::string::npos)
            orv::ParseSerialText(replacement.substr(equals + 1));
    }
    for (const std::string& operand : line.operands)
        orv::ParseNumber(operand, 0, 254);
    return 0;
}
