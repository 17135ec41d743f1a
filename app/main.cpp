// The program entry of orvtool and orvtool-sim; they differ in their bus
// backend. The command line is read before the toolkit starts, so that
// --help and a wrong option need no display.
#include <cstdio>
#include <cstring>
#include <iostream>
#include <string>

#include <wx/app.h>

#ifdef _WIN32
#include <windows.h>
#endif

#include "app/bus_backend.h"
#include "app/orvtool_app.h"
#include "port/port_address.h"
#include "services/file_path.h"

wxIMPLEMENT_APP_NO_MAIN(orv::OrvToolApp);

namespace orv {

namespace {

#ifdef ORV_SIMULATED_BUS
constexpr bool TAKES_PORT = false;
constexpr const char* USAGE =
    "Usage: orvtool-sim [--help]\n"
    "\n"
    "ORVANTA TOOL on a simulated bus with a few demonstration devices, for trying the tool without hardware.\n";
#else
constexpr bool TAKES_PORT = true;
constexpr const char* USAGE =
    "Usage: orvtool [--port PORT] [--help]\n"
    "\n"
    "ORVANTA TOOL: finds the devices on an ORVANTA bus, sets their addresses, reads, edits and stores their\n"
    "configurations and replaces their firmware.\n"
    "\n"
#ifdef _WIN32
    "  --port COMn                 the COM port of the ORV-NET: --port COM7, or --port \\\\.\\COM12 (Device\n"
    "                              Manager lists it under \"Ports (COM & LPT)\" as \"USB Serial Port (COMn)\")\n"
#else
    "  --port PATH                 the serial device PATH: a second FTDI interface (/dev/ttyUSB1), a\n"
    "                              pseudo-terminal or a bridge made with socat\n"
#endif
    "  --port tcp://HOST:PORT      a serial device server already set to 125000 baud 8N2 (ser2net's tcp)\n"
    "  --port rfc2217://HOST:PORT  a serial device server that takes the line settings by RFC 2217\n"
    "  (no --port)                 the first FTDI interface (USB vendor 0403)\n"
    "  -h, --help                  this help\n";
#endif

std::string chosenPort;

// The --port value in args[i] (inline or next); false when args[i] is none.
bool TakePort(int argc, char** argv, int& i, std::string& port)
{
    const char* arg = argv[i];
    if (std::strncmp(arg, "--port=", 7) == 0) {
        port = arg + 7;
        return true;
    }
    if (std::strcmp(arg, "--port") != 0)
        return false;
    port = i + 1 < argc ? argv[++i] : "";
    return true;
}

// orvtool is a windowed program on Windows: started from a console, it has
// none of its own, and what it prints would go nowhere. Help and errors go to
// the console it was started from, unless they are redirected already.
void UseParentConsole()
{
#ifdef _WIN32
    const auto unset = [](DWORD which) {
        const HANDLE handle = GetStdHandle(which);
        return handle == nullptr || handle == INVALID_HANDLE_VALUE || GetFileType(handle) == FILE_TYPE_UNKNOWN;
    };
    const bool output = unset(STD_OUTPUT_HANDLE);
    const bool errors = unset(STD_ERROR_HANDLE);
    if ((!output && !errors) || !AttachConsole(ATTACH_PARENT_PROCESS))
        return;
    if (output)
        std::freopen("CONOUT$", "w", stdout);
    if (errors)
        std::freopen("CONOUT$", "w", stderr);
#endif
}

}  // namespace

const std::string& ChosenBusPort()
{
    return chosenPort;
}

}  // namespace orv

int main(int argc, char** argv)
{
    // Errors name the program as its user calls it, without its folder.
    const std::string program = orv::ProgramNameOf(argv[0] ? argv[0] : "");
    if (argc > 1)
        orv::UseParentConsole();
    for (int i = 1; i < argc; ++i) {
        std::string port;
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            std::cout << orv::USAGE;
            return 0;
        }
        if (orv::TAKES_PORT && orv::TakePort(argc, argv, i, port)) {
            const std::string wrong = orv::ParsePortAddress(port).error;
            if (!wrong.empty()) {
                std::cerr << program << ": --port: " << (port.empty() ? "needs a value" : wrong) << '\n';
                return 2;
            }
            orv::chosenPort = port;
            continue;
        }
        std::cerr << program << ": unknown option " << argv[i] << " (" << program << " --help lists the options)\n";
        return 2;
    }
    // The toolkit sees none of the options it does not know.
    int toolkitArgc = 1;
    return wxEntry(toolkitArgc, argv);
}
