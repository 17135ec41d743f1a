#include "ui/set_address.h"

#include <algorithm>
#include <string>
#include <vector>

#include <wx/intl.h>
#include <wx/toplevel.h>

#include "config/latin1.h"
#include "config/link_update.h"
#include "link/bus_link.h"
#include "network/address_management.h"
#include "services/log.h"
#include "ui/bus_report_window.h"
#include "ui/bus_work.h"

namespace orv {

namespace {

constexpr const char* SET_ADDRESS_CAPTION = "Set Address";

std::string DeviceText(const DeviceRecord& record)
{
    return Latin1ToUtf8(DeviceRowText(record)) + StrF(" at address %d", record.address);
}

// "ORV-Input8 (21 00 10 31) at address 1: Row 3, Row 7".
std::string RowsText(const DeviceLinks& links)
{
    std::string text = DeviceText(links.device) + ":";
    for (size_t r = 0; r < links.rows.size(); ++r)
        text += (r == 0 ? " " : ", ") + LinkRowText(links.kind, links.rows[r]);
    return text;
}

// The lines under the dialog's message: the rows found, and the devices whose rows are not known.
std::string LinksNote(const LinkScan& scan, uint8_t address)
{
    std::string note;
    if (!scan.devices.empty())
        note += StrF("\n\n Rows of other devices that point to address %d:", address);
    for (const DeviceLinks& links : scan.devices)
        note += "\n " + RowsText(links);
    if (!scan.unread.empty())
        note += "\n";
    for (const auto& [record, why] : scan.unread)
        note += "\n " + DeviceText(record) + " " + why + ": its rows are not known";
    return note;
}

// The rows found on the bus; for the devices that could not be read, what
// was read of them before.
KnownLinks LinksOnTheBus(const KnownLinks& read, const LinkScan& scan, const DeviceRegistry& registry,
                         uint8_t address)
{
    KnownLinks known = read;
    for (size_t i = 0; i < registry.Count(); ++i) {
        const DeviceRecord& record = registry.Record(i);
        const bool unread = std::any_of(scan.unread.begin(), scan.unread.end(), [&](const auto& entry) {
            return entry.first.serialNumber == record.serialNumber && entry.first.address == record.address;
        });
        if (!unread)
            known.Forget(record.address);
    }
    for (const DeviceLinks& links : scan.devices) {
        std::vector<RowLink> rows;
        for (size_t row : links.rows)
            rows.push_back(RowLink{int(row) + 1, address});
        known.Learn(links.device, rows);
    }
    return known;
}

// Rewrites the rows found to point to the device's new address, one device
// after the other, and lists what became of each.
void UpdateLinksAfterMove(wxWindow* parent, const LinkScan& scan, const DeviceRecord& moved, uint8_t to,
                          Services& services)
{
    const uint8_t from = moved.address;
    std::vector<std::string> lines;
    size_t updated = 0;
    {
        BusWork work(parent);
        bool lost = false;
        for (const DeviceLinks& links : scan.devices) {
            const std::string rows = RowsText(links);
            if (lost) {
                lines.push_back(rows + StrF(" not rewritten: still pointing to address %d", from));
                continue;
            }
            switch (UpdateLinks(links, from, to, services).result) {
            case WriteResult::Saved:
                ++updated;
                lines.push_back(rows + StrF(" now %s to address %d (written and read back)",
                                            links.rows.size() == 1 ? "points" : "point", to));
                break;
            case WriteResult::InterfaceLost:
                lost = true;
                lines.push_back(rows + ": the interface was lost during the write: the device may hold an "
                                       "incomplete configuration");
                break;
            default:
                lines.push_back(rows + StrF(" not rewritten to address %d: the write was not confirmed by its "
                                            "read-back", to));
                break;
            }
        }
    }
    ReportBusInterfaceLost();
    const std::string heading = Latin1ToUtf8(DeviceRowText(moved)) +
                                StrF(" moved from address %d to %d; the rows of %zu of %zu device(s) point to %d now.",
                                     from, to, updated, scan.devices.size(), to);
    auto* report = new BusReportWindow(wxGetTopLevelParent(parent), SET_ADDRESS_CAPTION, heading, lines);
    report->Show();
}

}  // namespace

void SetAddressWithLinks(wxWindow* parent, NetworkContext& context, const KnownLinks& read)
{
    Services& services = context.services;
    const DeviceRecord* selected = RequireSelectedDevice(services, context.registry);
    if (!selected)
        return;
    const DeviceRecord record = *selected;
    LinkScan scan;
    {
        BusWork work(parent, wxString::Format(_("Reading the rows of the other devices that point to address %d ..."),
                                              record.address));
        scan = FindLinksTo(record.address, record.serialNumber, context.registry, services);
    }
    if (scan.interfaceLost) {
        ReportBusInterfaceLost();
        return;
    }
    const KnownLinks known = LinksOnTheBus(read, scan, context.registry, record.address);
    bool update = !scan.devices.empty();
    const SetAddressExtras extras{LinksNote(scan, record.address), update ? UPDATE_LINKS_LABEL : "", &update};
    int newAddress = 0;
    bool moved = false;
    {
        BusWork work(parent);
        moved = OnSetAddress(
            context,
            [&](const DeviceRecord& device, uint8_t to) {
                if (!update && !ConfirmMoveOfLinkedDevice(services.prompts, known, device, to))
                    return false;
                newAddress = to;
                return true;
            },
            extras);
    }
    if (newAddress == 0)
        return;
    const std::string device = StrF("%s (%s)", record.name.c_str(), SerialText(record.serialNumber).c_str());
    services.prompts.SetStatusText(
        moved ? StrF("Set Address: %s moved from address %d to %d", device.c_str(), record.address, newAddress)
              : StrF("Set Address: %s at address %d did not answer; its address is unchanged", device.c_str(),
                     record.address),
        0);
    if (moved && update)
        UpdateLinksAfterMove(parent, scan, record, uint8_t(newAddress), services);
}

}  // namespace orv
