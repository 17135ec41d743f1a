// diff: a backup folder against the bus, or one .bin file against one device,
// in words.
#include <filesystem>
#include <nlohmann/json.hpp>
#include <ostream>

#include "ctl/commands.h"
#include "ctl/config_transfer.h"
#include "ctl/device_list.h"
#include "ctl/interface_lost.h"
#include "ctl/whole_bus.h"
#include "model/latin1.h"

namespace orv {

namespace {

using Json = nlohmann::ordered_json;

Json SideJson(const DeviceRecord& record, const std::optional<std::string>& file, bool withFile)
{
    Json side{{"address", record.address},
              {"name", Latin1ToUtf8(record.name)},
              {"firmware", FirmwareText(record)},
              {"configured", record.configured}};
    if (withFile)
        side["file"] = file ? Json(*file) : Json(nullptr);
    return side;
}

// diff FILE ADDR.
int DiffFileCommand(Run& run)
{
    const std::string& path = run.line.operands[0];
    const std::optional<int> address = ParseNumber(run.line.operands[1], 0, LAST_DEVICE_ADDRESS);
    if (!address)
        return run.Fail(EXIT_USAGE, "ADDR must be a bus address from 0 to 254, not '" + run.line.operands[1] + "'");
    const AnyConfigFile file = LoadAnyConfigFile(path);
    if (!file.kind)
        return run.Fail(EXIT_FILE, AnyConfigFileProblem(path, file));

    BusSession session(run);
    if (!session.Open() || !DiscoverSomeOrFail(run, session, false, false))
        return EXIT_BUS;
    const DeviceRecord* record = session.SelectDeviceAt(uint8_t(*address));
    if (!record)
        return EXIT_BUS;
    const std::optional<ConfigKind> kind = ConfigKindOfType(record->typeCode);
    if (!kind)
        return run.Fail(EXIT_USAGE, DescribeDevice(*record) +
                                        " holds no configuration (only ORV-Input8 and ORV-RS232 devices do)");
    if (file.As(*kind).status != ConfigFileStatus::Ok)
        return run.Fail(EXIT_USAGE, path + " holds an " + ConfigKindName(*file.kind) + " configuration, not one for " +
                                        DescribeDevice(*record));
    BackupDevice backup{*record, path, file.As(*kind).image};
    const DeviceComparison entry = CompareDeviceWithImage(backup, *record, session.Registry(), session.Seams());
    if (const std::optional<int> lost = FailIfInterfaceLost(run))
        return *lost;
    if (run.line.Has("--json")) {
        BusComparison comparison;
        comparison.devices = {entry};
        PrintComparisonJson(run.terminal.out, comparison);
    } else {
        PrintComparison(run.terminal.out, {entry});
    }
    return entry.Matches() ? EXIT_OK : EXIT_BUS;
}

}  // namespace

void PrintComparison(std::ostream& out, const std::vector<DeviceComparison>& devices)
{
    for (const DeviceComparison& device : devices) {
        const uint8_t address = device.bus ? device.bus->address : device.backup->record.address;
        out << TerminalText(device.DeviceText()) << " at address " << int(address) << ": "
            << TerminalText(StatusText(device)) << '\n';
        for (const std::string& line : device.differences)
            out << "    " << TerminalText(line) << '\n';
    }
}

void PrintComparisonJson(std::ostream& out, const BusComparison& comparison)
{
    Json devices = Json::array();
    for (const DeviceComparison& device : comparison.devices) {
        const DeviceRecord& record = device.bus ? *device.bus : device.backup->record;
        devices.push_back(Json{{"device", device.DeviceText()},
                               {"serial", SerialText(record.serialNumber)},
                               {"backup", device.backup ? SideJson(device.backup->record, device.backup->file, true)
                                                        : Json(nullptr)},
                               {"bus", device.bus ? SideJson(*device.bus, std::nullopt, false) : Json(nullptr)},
                               {"matches", device.Matches()},
                               {"status", StatusText(device)},
                               {"differences", device.differences}});
    }
    const Json document{{"matches", comparison.Matches()}, {"devices", devices}};
    out << document.dump(2, ' ', false, Json::error_handler_t::replace) << '\n';
}

std::string IncompleteWriteAdvice(const DeviceRecord& record, const std::string& file)
{
    return DescribeDevice(record) + " may now hold an incomplete configuration: write it again with orvctl write-config " +
           std::to_string(record.address) + " " + file;
}

int DiffCommand(Run& run)
{
    if (run.line.operands.size() == 2)
        return DiffFileCommand(run);
    const std::string& folder = run.line.operands[0];
    const BackupFolder backup = ReadBackupFolder(folder);
    if (!backup.Readable()) {
        for (size_t i = 0; i + 1 < backup.problems.size(); ++i)
            run.Warn(backup.problems[i]);
        return run.Fail(EXIT_FILE, backup.problems.back());
    }
    BusSession session(run);
    if (!session.Open() || !DiscoverSomeOrFail(run, session, run.line.Has("--all"), false))
        return EXIT_BUS;
    const BusComparison comparison = CompareWithBus(backup.devices, session.Registry(), session.Seams());
    if (run.line.Has("--json"))
        PrintComparisonJson(run.terminal.out, comparison);
    else
        PrintComparison(run.terminal.out, comparison.devices);
    if (const std::optional<int> lost = FailIfInterfaceLost(run))
        return *lost;
    if (!run.line.Has("--json"))
        run.terminal.out << (comparison.Matches() ? "the bus matches the backup\n"
                                                  : "the bus differs from the backup\n");
    return comparison.Matches() ? EXIT_OK : EXIT_BUS;
}

}  // namespace orv
