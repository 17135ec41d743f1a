// The commands that talk to devices one at a time, and discover.
#include <algorithm>
#include <filesystem>
#include <map>
#include <ostream>

#include "config/rs232_transfer.h"
#include "ctl/commands.h"
#include "ctl/config_transfer.h"
#include "ctl/device_list.h"
#include "ctl/interface_lost.h"
#include "ctl/whole_bus.h"
#include "model/latin1.h"
#include "network/address_management.h"
#include "network/device_modes.h"
#include "network/firmware_file.h"
#include "network/firmware_update.h"
#include "services/file_path.h"

namespace orv {

namespace {

constexpr int TESTABLE_ROWS = 10;

// The device address an operand names; nothing after the error line.
std::optional<uint8_t> AddressOperand(Run& run, size_t index, const char* what, int min)
{
    const std::string& text = run.line.operands[index];
    const std::optional<int> value = ParseNumber(text, min, LAST_DEVICE_ADDRESS);
    if (!value) {
        run.Warn(StrF("%s must be a bus address from %d to %d, not '%s'", what, min, LAST_DEVICE_ADDRESS,
                      text.c_str()));
        return std::nullopt;
    }
    return uint8_t(*value);
}

// Records in address order, as the tool's device list sorts them.
std::vector<const DeviceRecord*> ByAddress(const DeviceRegistry& registry)
{
    std::vector<const DeviceRecord*> records;
    for (size_t i = 0; i < registry.Count(); ++i)
        records.push_back(&registry.Record(i));
    std::stable_sort(records.begin(), records.end(),
                     [](const DeviceRecord* a, const DeviceRecord* b) { return a->address < b->address; });
    return records;
}

// The one device at address, after opening the bus and a quick discovery;
// nothing after the error line (status EXIT_BUS).
struct Target {
    const DeviceRecord* record = nullptr;
    int status = EXIT_OK;
};

Target FindTarget(Run& run, BusSession& session, uint8_t address)
{
    Target target;
    target.status = EXIT_BUS;
    if (!session.Open() || !DiscoverSomeOrFail(run, session, false, false))
        return target;
    target.record = session.SelectDeviceAt(address);
    if (target.record)
        target.status = EXIT_OK;
    return target;
}

// The configurable kind of a device; nothing after the error line.
std::optional<ConfigKind> ConfigurableKind(Run& run, const DeviceRecord& record)
{
    const std::optional<ConfigKind> kind = ConfigKindOfType(record.typeCode);
    if (!kind)
        run.Warn(DescribeDevice(record) + " holds no configuration (only ORV-Input8 and ORV-RS232 devices do)");
    return kind;
}

std::string FirmwareFileProblem(const std::string& path, FirmwareFileStatus status)
{
    switch (status) {
    case FirmwareFileStatus::Ok:
        break;
    case FirmwareFileStatus::Empty:
        return path + " is empty";
    case FirmwareFileStatus::TooLarge:
        return path + " is larger than 2097120 bytes (65535 blocks of 32 bytes)";
    case FirmwareFileStatus::Unreadable: {
        std::error_code error;
        return std::filesystem::exists(PathOf(path), error) ? "cannot read " + path : path + " does not exist";
    }
    }
    return path;
}

std::string FirmwareFailure(FirmwareUpdateOutcome outcome)
{
    switch (outcome) {
    case FirmwareUpdateOutcome::TooManyDevices:
        return "more than one device answered; an emergency update needs exactly one device on the bus";
    case FirmwareUpdateOutcome::NoDeviceAnswered:
        return "no device answered on the bus (neither the count of devices nor the update); no device is known to be "
               "in its boot loader";
    case FirmwareUpdateOutcome::BootNotAcknowledged:
        return "the device did not acknowledge RUN_BOOT; nothing was sent";
    case FirmwareUpdateOutcome::BlockNotAcknowledged:
        return "the device stopped acknowledging FIRMWARE_BLOCKs; the update is incomplete";
    case FirmwareUpdateOutcome::LastBlockNotAcknowledged:
        return "the device did not acknowledge the last FIRMWARE_BLOCK; RUN_FIRMWARE was not sent";
    case FirmwareUpdateOutcome::RunFirmwareNotAcknowledged:
        return "every block arrived, but the device did not acknowledge RUN_FIRMWARE";
    default:
        return "the update was refused";
    }
}

// Where a cut update leaves the device at address (none: the emergency
// update's) and the command line that finishes it.
std::string LeftInBootLoader(const Run& run, std::optional<uint8_t> address, const std::string& path)
{
    const std::string orvctl = OrvctlOnThisInterface(run);
    const std::string emergency = orvctl + "firmware --emergency " + path;
    if (!address)
        return "the device is left in its boot loader: run " + emergency + " again, with only this device on the bus, "
               "to finish";
    return StrF("the device at address %d is left in its boot loader: run ", *address) + orvctl +
           StrF("firmware %d ", *address) + path + " again to finish (" + emergency +
           ", with only this device on the bus, if it no longer answers at " + std::to_string(*address) + ")";
}

// boot and run: a command without payload to the device at ADDR.
int ModeCommand(Run& run, ModeCommandOutcome (*enter)(NetworkContext&), const char* command, const char* done)
{
    const std::optional<uint8_t> address = AddressOperand(run, 0, "ADDR", 0);
    if (!address)
        return EXIT_USAGE;
    BusSession session(run);
    const Target target = FindTarget(run, session, *address);
    if (!target.record)
        return target.status;
    const std::string device = DescribeDevice(*target.record);
    switch (enter(session.Context())) {
    case ModeCommandOutcome::Acknowledged:
        run.terminal.out << device << ": " << done << '\n';
        return EXIT_OK;
    case ModeCommandOutcome::NothingReceived:
        return run.Fail(EXIT_BUS, device + " did not acknowledge " + command);
    case ModeCommandOutcome::InterfaceLost:
        return *FailIfInterfaceLost(run);
    case ModeCommandOutcome::Refused:
        break;
    }
    return run.Fail(EXIT_BUS, device + " was refused as the target of " + command);
}

}  // namespace

int DiscoverCommand(Run& run)
{
    BusSession session(run);
    if (!session.Open() || !DiscoverSomeOrFail(run, session, run.line.Has("--all"), run.line.Has("--resolve")))
        return EXIT_BUS;
    const std::vector<const DeviceRecord*> records = ByAddress(session.Registry());
    std::ostream& out = run.terminal.out;
    if (run.line.Has("--json")) {
        Json list = Json::array();
        for (const DeviceRecord* record : records) {
            Json device = DeviceJson(*record);
            device["shared"] = record->sharedAddress;
            list.push_back(std::move(device));
        }
        out << JsonText(list);
    } else {
        for (const DeviceRecord* record : records)
            out << DeviceLine(*record) << '\n';
    }
    std::map<int, int> shared;
    for (const DeviceRecord* record : records)
        if (record->sharedAddress)
            ++shared[record->address];
    for (const auto& [address, count] : shared)
        run.Warn(StrF("address %d is shared by %d devices; not resolved (--resolve gives each its own address)",
                      address, count));
    return EXIT_OK;
}

int ReadConfigCommand(Run& run)
{
    const std::optional<uint8_t> address = AddressOperand(run, 0, "ADDR", 0);
    if (!address)
        return EXIT_USAGE;
    if (!run.line.output)
        return run.Fail(EXIT_USAGE, "-o FILE is missing: where the configuration goes");
    BusSession session(run);
    const Target target = FindTarget(run, session, *address);
    if (!target.record)
        return target.status;
    const std::optional<ConfigKind> kind = ConfigurableKind(run, *target.record);
    if (!kind)
        return EXIT_USAGE;
    const int status = ReadConfigToFile(run, session, *target.record, *kind, *run.line.output);
    if (status == EXIT_OK)
        run.terminal.out << DescribeDevice(*target.record) << ": " << ConfigKindName(*kind)
                         << " configuration written to " << *run.line.output << '\n';
    return status;
}

int WriteConfigCommand(Run& run)
{
    const std::optional<uint8_t> address = AddressOperand(run, 0, "ADDR", 0);
    if (!address)
        return EXIT_USAGE;
    const std::string& path = run.line.operands[1];
    // The file is checked before anything goes to the bus.
    const AnyConfigFile file = LoadAnyConfigFile(path);
    if (!file.kind)
        return run.Fail(EXIT_FILE, AnyConfigFileProblem(path, file));

    BusSession session(run);
    const Target target = FindTarget(run, session, *address);
    if (!target.record)
        return target.status;
    const std::optional<ConfigKind> kind = ConfigurableKind(run, *target.record);
    if (!kind)
        return EXIT_USAGE;
    const ConfigFile& image = file.As(*kind);
    if (image.status != ConfigFileStatus::Ok)
        return run.Fail(EXIT_FILE, path + " holds an " + ConfigKindName(*file.kind) + " configuration, not one for " +
                                       DescribeDevice(*target.record));
    const int status = WriteConfigFromFile(run, session, *target.record, *kind, image.image,
                                           OrvctlOnThisInterface(run) + "write-config " +
                                               std::to_string(*address) + " " + path);
    if (status == EXIT_OK)
        run.terminal.out << DescribeDevice(*target.record) << ": " << path << " written and read back\n";
    return status;
}

int SetAddressCommand(Run& run)
{
    const std::optional<uint8_t> address = AddressOperand(run, 0, "ADDR", 0);
    const std::optional<uint8_t> newAddress = AddressOperand(run, 1, "NEW", FIRST_DEVICE_ADDRESS);
    if (!address || !newAddress)
        return EXIT_USAGE;
    BusSession session(run);
    if (!session.Open() || !DiscoverSomeOrFail(run, session, false, false))
        return EXIT_BUS;
    const DeviceRegistry& registry = session.Registry();
    const auto countAt = [&](uint8_t at) {
        size_t count = 0;
        for (size_t i = 0; i < registry.Count(); ++i)
            count += registry.Record(i).address == at;
        return count;
    };
    // A move that was cut off may have happened: run again with its links,
    // the command finds the device at its new address and finishes them.
    const bool finishing = run.line.Has("--update-links") && *address != *newAddress && countAt(*address) == 0 &&
                           countAt(*newAddress) == 1;
    const DeviceRecord* found = session.SelectDeviceAt(finishing ? *newAddress : *address);
    if (!found)
        return EXIT_BUS;
    // The registry may be refilled below; the record is kept as it was found.
    const DeviceRecord device = *found;
    if (!finishing) {
        if (device.address == *newAddress) {
            run.terminal.out << DescribeDevice(device) << ": already at address " << int(*newAddress) << '\n';
            return EXIT_OK;
        }
        for (size_t i = 0; i < registry.Count(); ++i)
            if (registry.Record(i).address == *newAddress)
                return run.Fail(EXIT_USAGE, StrF("address %d is taken by ", *newAddress) +
                                                DescribeDevice(registry.Record(i)));
    }
    LinkScan links;
    if (const std::optional<int> refused = CheckLinksBeforeMove(run, session, device, *address, *newAddress, links))
        return *refused;
    const LinkedMove move = MoveWithLinks(session.Seams(), device, *address, *newAddress,
                                          run.line.Has("--update-links") ? links : LinkScan{});
    return ReportLinkedMove(run, move, links);
}

int FirmwareCommand(Run& run)
{
    const bool emergency = run.line.Has("--emergency");
    if (run.line.operands.size() != (emergency ? 1u : 2u))
        return run.Fail(EXIT_USAGE, emergency ? "--emergency takes FILE only" : "ADDR and FILE are needed");
    std::optional<uint8_t> address;
    if (!emergency && !(address = AddressOperand(run, 0, "ADDR", 0)))
        return EXIT_USAGE;
    const std::string& path = run.line.operands.back();
    FirmwareImage image;
    const FirmwareFileStatus fileStatus = LoadFirmwareImage(path, image);
    if (fileStatus != FirmwareFileStatus::Ok)
        return run.Fail(EXIT_FILE, FirmwareFileProblem(path, fileStatus));

    BusSession session(run);
    std::string device = "the device at the broadcast address";
    if (emergency) {
        if (!session.Open())
            return EXIT_BUS;
    } else {
        const Target target = FindTarget(run, session, *address);
        if (!target.record)
            return target.status;
        device = DescribeDevice(*target.record);
    }
    run.prompts.AnswerFilesWith(path);
    bool inBootLoader = false;
    const FirmwareUpdateOutcome outcome = UpdateFirmware(session.Context(), emergency, &inBootLoader);
    const std::string left = inBootLoader ? "; " + LeftInBootLoader(run, address, path) : std::string();
    if (outcome == FirmwareUpdateOutcome::InterfaceLost)
        return run.Fail(EXIT_BUS, InterfaceLostText(run) + left);
    if (outcome == FirmwareUpdateOutcome::Stopped)
        return run.Stopped("nothing was sent to " + device);
    if (outcome == FirmwareUpdateOutcome::Abandoned)
        return run.Stopped("the update of " + device + " was abandoned" + left);
    if (outcome == FirmwareUpdateOutcome::TooManyDevices || outcome == FirmwareUpdateOutcome::NoDeviceAnswered)
        return run.Fail(EXIT_BUS, FirmwareFailure(outcome));
    if (outcome == FirmwareUpdateOutcome::FileRefused)
        return run.Fail(EXIT_FILE, "cannot read " + path);
    if (outcome != FirmwareUpdateOutcome::Updated)
        return run.Fail(EXIT_BUS, device + ": " + FirmwareFailure(outcome) + left);
    run.terminal.out << device << ": firmware from " << path << " sent in " << image.Counts().total
                     << " blocks and started\n";
    return EXIT_OK;
}

int BootCommand(Run& run)
{
    return ModeCommand(run, EnterBootMode, "RUN_BOOT", "boot loader started");
}

int RunFirmwareCommand(Run& run)
{
    return ModeCommand(run, EnterConfigMode, "RUN_FIRMWARE", "firmware started");
}

int TestStringCommand(Run& run)
{
    const std::optional<uint8_t> address = AddressOperand(run, 0, "ADDR", 0);
    if (!address)
        return EXIT_USAGE;
    const std::optional<int> row = ParseNumber(run.line.operands[1], 1, TESTABLE_ROWS);
    if (!row)
        return run.Fail(EXIT_USAGE, "ROW must be a row from 1 to 10, not '" + run.line.operands[1] + "'");
    BusSession session(run);
    const Target target = FindTarget(run, session, *address);
    if (!target.record)
        return target.status;
    const std::string device = DescribeDevice(*target.record);
    if (target.record->typeCode != TYPE_RS232)
        return run.Fail(EXIT_USAGE, device + " is no ORV-RS232; only an ORV-RS232 sends test strings");
    if (!SendTestString(target.record->address, size_t(*row - 1), session.Seams())) {
        if (const std::optional<int> lost = FailIfInterfaceLost(run))
            return *lost;
        return run.Fail(EXIT_BUS, device + " did not acknowledge OUTPUT_STRING");
    }
    run.terminal.out << device << ": string of row " << *row << " sent\n";
    return EXIT_OK;
}

}  // namespace orv
