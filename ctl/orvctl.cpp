#include "ctl/orvctl.h"

#include <algorithm>
#include <ostream>

#include "ctl/commands.h"
#include "ctl/doctor.h"
#include "port/port_address.h"
#include "port/serial_port.h"
#include "services/log.h"
#include "sim/demo_bus.h"

namespace orv {

namespace {

struct CommandSpec {
    const char* name;
    const char* synopsis;
    const char* summary;  // the line of the program's help
    const char* help;
    std::vector<std::string> flags;  // the command options it takes
    size_t minOperands;
    size_t maxOperands;
    int (*handler)(Run&);
};

const char* const PROGRAM_HELP =
    "Usage: orvctl [INTERFACE] [-v] [-q] COMMAND [ARGUMENTS]\n"
    "\n"
    "The command-line companion of orvtool: finds the devices on one ORVANTA bus, reads, writes,\n"
    "backs up and restores their configurations, sets addresses and replaces firmware.\n"
    "\n"
    "Interface:\n"
#ifdef _WIN32
    "  --port COMn     the ORV-NET's COM port: --port COM7, or --port \\\\.\\COM12 (Device Manager\n"
    "                  lists it under \"Ports (COM & LPT)\" as \"USB Serial Port (COMn)\")\n"
#else
    "  --port PATH     the serial device PATH (a /dev/ttyUSB* node or any tty)\n"
#endif
    "  --port tcp://HOST:PORT\n"
    "                  a serial device server already set to 125000 baud 8N2 (ser2net's tcp)\n"
    "  --port rfc2217://HOST:PORT\n"
    "                  a serial device server that takes the line settings by RFC 2217\n"
    "  --sim           the simulated bus of orvtool-sim, in virtual time, new in every run\n"
    "  (neither)       the first FTDI interface (USB vendor 0403), as orvtool finds it\n"
    "\n"
    "Options:\n"
    "  -v, --verbose   the log lines of every bus exchange on standard error\n"
    "  -q, --quiet     no progress bar (a bar is drawn only when standard error is a terminal)\n"
    "  -h, --help      this help; COMMAND --help for a command's\n"
    "\n"
    "Commands:\n";

const char* const EXIT_HELP =
    "\n"
    "Exit status: 0 success, 1 the bus or a device failed, 2 usage error, 3 file error, 130 stopped by\n"
    "Ctrl+C. A first Ctrl+C lets a configuration or firmware being written finish (a second abandons it\n"
    "after the block being sent); everything else stops at once.\n";

const std::vector<CommandSpec>& Commands()
{
    static const std::vector<CommandSpec> commands = {
        {"discover", "discover [--all [--slow]] [--json] [--resolve]", "the devices on the bus",
         "Lists the devices on the bus, one line each: address, name, serial number as the tool\n"
         "shows it, firmware version, configured or not.\n"
         "  --all       full discovery: every address from 0 to 254 in turn; else one broadcast. Each\n"
         "              address is awaited as long as the devices that answer a broadcast were\n"
         "              measured to take, with a safety margin (seconds for the whole bus)\n"
         "  --slow      with --all: orvtool's pace, 0.7 s for every silent address (three minutes)\n"
         "  --json      a JSON list instead of lines\n"
         "  --resolve   give devices that share an address each an address of its own; without it\n"
         "              shared addresses are only reported, and no command writes to them\n",
         {"--all", "--slow", "--json", "--resolve"}, 0, 0, DiscoverCommand},
        {"read-config", "read-config ADDR -o FILE", "a device's configuration into a .bin file",
         "Reads the configuration of the ORV-Input8 or ORV-RS232 at ADDR into FILE, in the .bin\n"
         "format orvtool exports (Input8: 453 bytes; RS232: 4064 bytes). The device's kind comes\n"
         "from a quick discovery.\n",
         {"-o"}, 1, 1, ReadConfigCommand},
        {"write-config", "write-config ADDR FILE", "a .bin file to a device, checked by a read-back",
         "Writes the configuration in FILE (a .bin file as orvtool exports it) to the device at\n"
         "ADDR. The file is checked as orvtool's import checks it and must be of the device's kind.\n"
         "Succeeds only when every block was acknowledged and the read-back equals what was written.\n",
         {}, 2, 2, WriteConfigCommand},
        {"backup", "backup DIR [--all] [--resolve]", "every configuration on the bus into DIR",
         "Discovers the bus and reads every configured ORV-Input8 and ORV-RS232 into DIR, one file\n"
         "per device named by kind and serial number (input8-21001031.bin), and writes\n"
         "DIR/manifest.json: address, name, serial, firmware, configured and file of every device.\n",
         {"--all", "--slow", "--resolve"}, 1, 1, BackupCommand},
        {"restore", "restore DIR [--all] [--resolve] [--force] [--replace OLD=NEW]",
         "DIR back to the devices whose configuration differs",
         "Compares the backup in DIR with the bus (as diff does) and writes the configurations that\n"
         "differ back to the devices with their kind and serial number, wherever their addresses are\n"
         "now, each with the read-back check. Every file is checked before anything is written.\n"
         "Ends with \"k of n configuration(s) restored\".\n"
         "  --force     write every device of the backup, also those that match it\n"
         "  --replace OLD=NEW\n"
         "              the device NEW (a serial number as the tool shows it, blanks optional) takes\n"
         "              the place of OLD, which is missing on the bus: it is given OLD's address\n"
         "              (refused when another device holds it) and OLD's configuration\n",
         {"--all", "--slow", "--resolve", "--force", "--replace"}, 1, 1, RestoreCommand},
        {"diff", "diff DIR [--all] [--json] | diff FILE ADDR", "what changed on the bus since a backup",
         "Compares the backup in DIR with the bus: every device of the backup and every device on\n"
         "the bus, matched by kind and serial number, with its status (same, configuration differs,\n"
         "address or firmware differs, missing on the bus, not in the backup, not configured) and\n"
         "each difference of a configuration in words (\"Row 4: action Relay Energize -> ...\").\n"
         "FILE ADDR compares one .bin file with the configuration of the device at ADDR.\n"
         "Exit status 0 when the bus matches (every device of the backup present with its address\n"
         "and configuration), 1 when anything differs, 3 when DIR or FILE cannot be read.\n"
         "  --all       full discovery, as discover --all\n"
         "  --json      the comparison as JSON\n",
         {"--all", "--slow", "--json"}, 1, 2, DiffCommand},
        {"set-address", "set-address ADDR NEW [--update-links | --force]", "a new address for the device at ADDR",
         "Gives the device at ADDR the address NEW (1 to 254), by its serial number as orvtool\n"
         "does, and checks that it answers there. The rows of the other ORV-Input8 and ORV-RS232\n"
         "devices that point to ADDR are listed first; the move is refused while there are any,\n"
         "unless one of these is given:\n"
         "  --update-links   point those rows to NEW, each device written and read back\n"
         "  --force          move the device and leave those rows pointing to ADDR\n",
         {"--update-links", "--force"}, 2, 2, SetAddressCommand},
        {"firmware", "firmware ADDR FILE | firmware --emergency FILE", "new firmware for a device",
         "Replaces the firmware of the device at ADDR with FILE: boot loader, 32-byte blocks, restart.\n"
         "  --emergency   send to the broadcast address instead, for a device whose address is not\n"
         "                known; refused when more than one device answers on the bus\n",
         {"--emergency"}, 1, 2, FirmwareCommand},
        {"boot", "boot ADDR", "start a device's boot loader", "Makes the device at ADDR leave its firmware for its boot loader (RUN_BOOT).\n", {}, 1,
         1, BootCommand},
        {"run", "run ADDR", "leave the boot loader for the firmware", "Makes the device at ADDR leave its boot loader and run its firmware (RUN_FIRMWARE).\n",
         {}, 1, 1, RunFirmwareCommand},
        {"test-string", "test-string ADDR ROW", "make an ORV-RS232 send the string of a row",
         "Makes the ORV-RS232 at ADDR send the string of row ROW on its serial port; ROW is counted\n"
         "from 1 as the panel shows it, 1 to 10.\n",
         {}, 2, 2, TestStringCommand},
        {"doctor", "doctor [--json]", "check the interface, the line and the bus",
#ifdef _WIN32
         "Checks, one line each with its verdict (ok, WARN, FAIL) and the fix: the FTDI interfaces\n"
         "found (or that the COM port given exists); the latency timer; whether\n"
#else
         "Checks, one line each with its verdict (ok, WARN, FAIL) and the fix: the FTDI interfaces\n"
         "found; whether you may open them (group dialout, the udev rule); the latency timer; whether\n"
#endif
         "the line took 125000 baud 8N2; the echo of a frame (its round trip on a network port);\n"
         "noise on the idle line for one second; the devices that a broadcast finds.\n"
         "Exit status 0 when every check is ok, 1 otherwise.\n"
         "  --json      a JSON list of the checks instead of lines\n",
         {"--json"}, 0, 0, DoctorCommand},
        {"show", "show FILE", "a .bin file as text",
         "Prints the configuration in a .bin file as text, one line per row: destination, action\n"
         "by name, parameters. Two backups compare with diff.\n",
         {}, 1, 1, ShowCommand},
        {"decode", "decode", "captured bus traffic (hex on standard input) as frames",
         "Reads captured bus traffic as hexadecimal bytes from standard input (blanks and line\n"
         "breaks anywhere) and prints one line per frame or acknowledgement: destination, source,\n"
         "command, payload, CRC good or bad. Garbage between frames and broken frames are reported.\n"
         "Input that is no hexadecimal text ends with status 3.\n",
         {}, 0, 0, DecodeCommand},
    };
    return commands;
}

// The command called name; Commands().end() when there is none.
std::vector<CommandSpec>::const_iterator FindCommand(const std::string& name)
{
    const auto& commands = Commands();
    return std::find_if(commands.begin(), commands.end(), [&name](const CommandSpec& c) { return name == c.name; });
}

void PrintProgramHelp(std::ostream& out)
{
    out << PROGRAM_HELP;
    for (const CommandSpec& spec : Commands())
        out << StrF("  %-48s %s\n", spec.synopsis, spec.summary);
    out << EXIT_HELP;
}

void PrintCommandHelp(const CommandSpec& spec, std::ostream& out)
{
    out << "Usage: orvctl [INTERFACE] [-v] [-q] " << spec.synopsis << "\n\n" << spec.help << EXIT_HELP;
}

// Which of the command line's options and operands the command does not take.
std::string MisfitOf(const CommandSpec& spec, const CommandLine& line)
{
    for (const std::string& flag : line.flags)
        if (std::find(spec.flags.begin(), spec.flags.end(), flag) == spec.flags.end())
            return spec.name + std::string(" takes no ") + flag;
    const size_t count = line.operands.size();
    if (count < spec.minOperands)
        return std::string("too few arguments: ") + spec.synopsis;
    if (count > spec.maxOperands)
        return "too many arguments: " + line.operands[spec.maxOperands] + " (" + spec.synopsis + ")";
    return {};
}

class SimAccess final : public BusAccess {
public:
    UsbInterface& Interface() override { return demo_.Bus(); }
    Clock& Time() override { return clock_; }

private:
    VirtualClock clock_;
    DemoBus demo_{clock_};
};

class PortAccess final : public BusAccess {
public:
    explicit PortAccess(const std::string& port)
        : usb_(MakePortInterface(port)),
          tty_(dynamic_cast<SerialInterface*>(usb_.get()))
    {
    }
    UsbInterface& Interface() override { return *usb_; }
    Clock& Time() override { return clock_; }
    std::string DevicePath(uint32_t index) override { return tty_ ? tty_->DevicePath(index) : std::string(); }

private:
    SteadyClock clock_;
    std::unique_ptr<UsbInterface> usb_;
    SerialInterface* tty_;
};

}  // namespace

std::unique_ptr<BusAccess> OpenChosenBus(const BusChoice& choice)
{
    if (choice.sim)
        return std::make_unique<SimAccess>();
    return std::make_unique<PortAccess>(choice.port);
}

int RunOrvctl(const std::vector<std::string>& args, Terminal& terminal, const BusFactory& factory)
{
    const ParsedCommandLine parsed = ParseCommandLine(args);
    const CommandLine& line = parsed.line;
    ErrorLine errors(terminal.err);
    TerminalLog log(errors, line.verbose);
    TerminalPrompts prompts(errors, log, terminal.errIsTerminal && !line.quiet);
    TerminalStop stop(errors, LinePrefix(line), terminal.stop);
    prompts.StopWith([&stop] { return stop.Asked(); });
    Run run{line, terminal, errors, log, prompts, factory, stop};

    const auto& commands = Commands();
    const auto spec = FindCommand(line.command);
    if (!parsed.error.empty())
        return run.Fail(EXIT_USAGE, parsed.error + " (orvctl --help lists the options)");
    if (line.command == "help") {
        const auto asked = line.operands.empty() ? commands.end() : FindCommand(line.operands[0]);
        if (asked == commands.end())
            PrintProgramHelp(terminal.out);
        else
            PrintCommandHelp(*asked, terminal.out);
        return EXIT_OK;
    }
    if (line.command.empty()) {
        if (line.help) {
            PrintProgramHelp(terminal.out);
            return EXIT_OK;
        }
        PrintProgramHelp(terminal.err);
        return EXIT_USAGE;
    }
    if (spec == commands.end())
        return run.Fail(EXIT_USAGE, "no such command (orvctl --help lists them)");
    if (line.help) {
        PrintCommandHelp(*spec, terminal.out);
        return EXIT_OK;
    }
    if (const std::string misfit = MisfitOf(*spec, line); !misfit.empty())
        return run.Fail(EXIT_USAGE, misfit);
    if (line.Has("--slow") && !line.Has("--all"))
        return run.Fail(EXIT_USAGE, "--slow is the pace of a full discovery: it goes with --all");
    const int status = spec->handler(run);
    if (!stop.Asked())
        return status;
    // A Ctrl+C never ends in success: the command has said what it did, or it ran to its end.
    if (!stop.told)
        run.Stopped(status == EXIT_OK ? "the command had run to its end first, as reported"
                                      : "the command had ended first, as reported");
    return EXIT_STOPPED;
}

}  // namespace orv
