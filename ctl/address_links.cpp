// set-address and the links to the device it moves: the rows of the other
// devices that point to its address are listed, and rewritten with
// --update-links once the device answers at its new address.
#include <ostream>

#include "ctl/device_list.h"
#include "ctl/interface_lost.h"
#include "ctl/whole_bus.h"
#include "link/bus_link.h"
#include "model/latin1.h"

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

std::optional<int> CheckLinksBeforeMove(Run& run, BusSession& session, const DeviceRecord& device, uint8_t from,
                                        uint8_t newAddress, LinkScan& links)
{
    links = FindLinksTo(from, device.serialNumber, session.Registry(), session.Seams());
    if (const std::optional<int> lost = FailIfInterfaceLost(run))
        return lost;
    for (const auto& [record, why] : links.unread)
        run.Warn(DescribeDevice(record) + " " + why + "; its links to address " + std::to_string(from) +
                 " are not known");
    if (links.devices.empty() || run.line.Has("--update-links") || run.line.Has("--force"))
        return std::nullopt;
    for (const DeviceLinks& device_links : links.devices)
        run.terminal.out << DeviceRows(device_links) << " point to address " << int(from) << '\n';
    return run.Fail(EXIT_USAGE, StrF("these rows would point at nothing after the move: orvctl set-address %d %d "
                                     "--update-links points them to %d, --force moves the device without them",
                                     from, newAddress, newAddress));
}

int ReportLinkedMove(Run& run, const LinkedMove& move, const LinkScan& links)
{
    std::ostream& out = run.terminal.out;
    const std::string device = TerminalText(Latin1ToUtf8(DeviceRowText(move.device)));
    const int from = move.from;
    const int to = move.to;
    if (move.status == MoveStatus::NotAcknowledged)
        return run.Fail(EXIT_BUS, DescribeDevice(move.device) + " did not acknowledge SET_ADDRESS_BY_SN");

    if (move.MovedForSure()) {
        out << device
            << (move.status == MoveStatus::Moved ? StrF(": address %d -> %d\n", from, to)
                                                 : StrF(": answers at address %d already (moved from %d)\n", to, from));
        for (const RowsOutcome& rows : move.rows)
            if (rows.status == RowsStatus::Rewritten)
                out << DeviceRows(rows.links) << StrF(" now point to address %d (written and read back)\n", to);
    } else {
        out << TerminalText(LinkedMoveSummary(move)) << '\n';
    }
    if (!run.line.Has("--update-links"))
        for (const DeviceLinks& device_links : links.devices)
            run.Warn(DeviceRows(device_links) + StrF(" still point to address %d, where no device answers now", from));

    for (const std::string& problem : LinkedMoveProblems(move))
        out << TerminalText(problem) << '\n';
    if (move.Unfinished())
        out << "to finish the move and its links, run " << OrvctlOnThisInterface(run)
            << StrF("set-address %d %d --update-links (it finds the device at %d or %d)\n", from, to, from, to);
    if (const std::optional<int> lost = FailIfInterfaceLost(run))
        return *lost;
    if (move.status == MoveStatus::NotAtNewAddress)
        return run.Fail(EXIT_BUS, DescribeDevice(move.device) + StrF(" acknowledged, but does not answer at address %d",
                                                                     to));
    return move.Unfinished() ? EXIT_BUS : EXIT_OK;
}

}  // namespace orv
