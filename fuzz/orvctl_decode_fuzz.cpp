// orvctl decode: any text on standard input. It ends with a status of its own
// and reports every byte it read as an acknowledgement, a frame, garbage or a
// broken or unfinished frame, in text that sets nothing on a terminal.
#include <sstream>

#include "ctl/orvctl.h"
#include "fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
    std::ostringstream out;
    std::ostringstream err;
    orv::Terminal terminal{in, out, err};
    const int status = orv::RunOrvctl({"decode"}, terminal);
    FUZZ_CHECK(status == orv::EXIT_OK || status == orv::EXIT_FILE);
    const std::string text = out.str();
    FUZZ_CHECK(text.empty() || text.back() == '\n');
    FUZZ_CHECK(orv::fuzz::TerminalSafe(text) && orv::fuzz::TerminalSafe(err.str()));
    return 0;
}
