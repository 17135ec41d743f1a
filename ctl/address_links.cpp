// set-address and the links to the device it moves: the rows of the other
// devices that point to its address are listed, and rewritten with
// --update-links.
#include <ostream>

#include "ctl/device_list.h"
#include "ctl/interface_lost.h"
#include "ctl/whole_bus.h"
#include "link/bus_link.h"

namespace orv {

namespace {

std::string RowsText(const DeviceLinks& links)
{
    std::string text;
    for (size_t row : links.rows)
        text += (text.empty() ? "" : ", ") + LinkRowText(links.kind, row);
    return text;
}

std::string DeviceRows(const DeviceLinks& links)
{
    return DescribeDevice(links.device) + ": " + RowsText(links);
}

}  // namespace

std::optional<int> CheckLinksBeforeMove(Run& run, BusSession& session, const DeviceRecord& device, uint8_t newAddress,
                                        LinkScan& links)
{
    links = FindLinksTo(device.address, device.serialNumber, session.Registry(), session.Seams());
    if (const std::optional<int> lost = FailIfInterfaceLost(run))
        return lost;
    for (const auto& [record, why] : links.unread)
        run.Warn(DescribeDevice(record) + " " + why + "; its links to address " + std::to_string(device.address) +
                 " are not known");
    if (links.devices.empty() || run.line.Has("--update-links") || run.line.Has("--force"))
        return std::nullopt;
    for (const DeviceLinks& device_links : links.devices)
        run.terminal.out << DeviceRows(device_links) << " point to address " << int(device.address) << '\n';
    return run.Fail(EXIT_USAGE, StrF("these rows would point at nothing after the move: orvctl set-address %d %d "
                                     "--update-links points them to %d, --force moves the device without them",
                                     device.address, newAddress, newAddress));
}

int UpdateLinksAfterMove(Run& run, BusSession& session, const LinkScan& links, uint8_t from, uint8_t to)
{
    std::ostream& out = run.terminal.out;
    if (!run.line.Has("--update-links")) {
        for (const DeviceLinks& device : links.devices)
            run.Warn(DeviceRows(device) + StrF(" still point to address %d, where no device answers now", from));
        return EXIT_OK;
    }
    int status = EXIT_OK;
    for (size_t d = 0; d < links.devices.size(); ++d) {
        const DeviceLinks& device = links.devices[d];
        const WriteOutcome outcome = UpdateLinks(device, from, to, session.Seams());
        if (outcome.result == WriteResult::Saved) {
            out << DeviceRows(device) << StrF(" now point to address %d (written and read back)\n", to);
            continue;
        }
        status = EXIT_BUS;
        if (FailIfInterfaceLost(run)) {
            run.Warn(DescribeDevice(device.device) + " may now hold an incomplete configuration: write it again from a "
                     "backup (orvctl write-config " + std::to_string(device.device.address) + " FILE), with " +
                     RowsText(device) + StrF(" pointing to address %d", to));
            for (size_t rest = d + 1; rest < links.devices.size(); ++rest)
                run.Warn(DeviceRows(links.devices[rest]) + StrF(" not rewritten: still pointing to address %d", from));
            return status;
        }
        run.Warn(DescribeDevice(device.device) + ": " + RowsText(device) +
                 StrF(" not rewritten to address %d: the write was not confirmed by its read-back", to));
    }
    return status;
}

}  // namespace orv
