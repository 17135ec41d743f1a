#include "ui/set_address.h"

#include <memory>
#include <string>
#include <vector>

#include "config/config_kind.h"
#include "link/bus_link.h"
#include "model/latin1.h"
#include "network/address_management.h"
#include "network/discovery.h"
#include "services/log.h"
#include "ui/bus_work.h"
#include "wholebus/linked_move.h"

namespace orv {

namespace {

constexpr const char* SET_ADDRESS_CAPTION = " Set Address ";

std::string DeviceText(const DeviceRecord& record)
{
    return Latin1ToUtf8(DeviceRowText(record)) + StrF(" at address %d", record.address);
}

// The rows known from the configurations read so far; the bus is read only
// once the user has asked for the links to be updated.
std::string KnownLinksNote(const KnownLinks& known, uint8_t address)
{
    const std::vector<LinkingRows> linking = known.LinksTo(address);
    if (linking.empty())
        return "";
    return StrF("\n\n Rows read so far that point to address %d:\n", address) + LinkingRowsText(linking);
}

// Reads the other devices' configurations under a progress window whose
// Cancel stops between devices.
LinkScan ReadLinks(Services& services, const DeviceRegistry& registry, const DeviceRecord& record)
{
    ProgressOptions options;
    options.title = "Set Address";
    options.message = StrF("Reading the rows of the other devices that point to address %d ...", record.address);
    options.canAbort = true;
    options.autoHide = false;
    std::unique_ptr<ProgressDialog> progress = services.prompts.StartProgress(options);
    LinkScan scan = FindLinksTo(record.address, record.serialNumber, registry, services,
                                [&](size_t done, size_t total, const DeviceRecord& device) {
                                    const bool goOn = progress->Update(
                                        total == 0 ? 0 : int(done * 100 / total),
                                        "Reading the configuration of " + DeviceText(device) + " ...");
                                    services.prompts.PumpEvents();
                                    return goOn;
                                });
    progress->Hide();
    return scan;
}

// The lines that follow the summary: devices not read, rows not rewritten,
// and how to finish a move that may have happened.
std::string MoveDetails(const LinkedMove& move, const LinkScan& scan)
{
    std::string text;
    for (const std::string& problem : LinkedMoveProblems(move))
        text += "\n " + problem;
    for (const auto& [device, why] : scan.unread)
        text += "\n " + DeviceText(device) + " " + why + StrF(": its rows that point to %d are not known", move.from);
    if (move.Unfinished())
        text += StrF("\n\n To finish the move and its links, discover the devices and run orvctl set-address %d %d "
                     "--update-links (it finds the device at %d or %d).",
                     move.from, move.to, move.from, move.to);
    return text;
}

void MoveWithItsLinks(wxWindow* parent, NetworkContext& context, const DeviceRecord& record, uint8_t to)
{
    Services& services = context.services;
    LinkScan scan;
    {
        BusWork work(parent);
        scan = ReadLinks(services, context.registry, record);
    }
    if (scan.interfaceLost) {
        ReportBusInterfaceLost();
        services.prompts.SetStatusText(StrF("Set Address: %s not moved", DeviceText(record).c_str()), 0);
        return;
    }
    if (scan.cancelled) {
        services.prompts.SetStatusText(StrF("Set Address cancelled: %s not moved", DeviceText(record).c_str()), 0);
        return;
    }
    LinkedMove move;
    {
        BusWork work(parent);
        move = MoveWithLinks(services, record, record.address, to, scan);
    }
    ReportBusInterfaceLost();
    const std::string summary = LinkedMoveSummary(move);
    services.log.Message(" Set Address: " + summary);
    services.prompts.SetStatusText("Set Address: " + summary, 0);
    const std::string details = MoveDetails(move, scan);
    if (move.status != MoveStatus::Moved || move.interfaceLost) {
        services.prompts.Message(SET_ADDRESS_CAPTION, "\n " + summary + "." + details,
                                 Buttons::Ok, move.Unfinished() ? Icon::Exclamation : Icon::Information);
        return;
    }
    // The links are written: the scan that follows only shows the bus, and
    // its Cancel leaves them as they are.
    services.prompts.Message(" Re-discover Devices  ",
                             "\n Address changed successfully. ORV-Tool needs to re-discover devices. \n\n " +
                                 summary + "." + details + "\n\n Press OK to start Discovery  ",
                             Buttons::Ok, Icon::Information);
    BusWork work(parent);
    DiscoverDevices(context, 0);
}

}  // namespace

void SetAddressWithLinks(wxWindow* parent, NetworkContext& context, const KnownLinks& read)
{
    Services& services = context.services;
    const DeviceRecord* selected = RequireSelectedDevice(services, context.registry);
    if (!selected)
        return;
    const DeviceRecord record = *selected;
    // Ticked unless every configuration that could point to the device is
    // known and none does: Enter keeps the links whole.
    bool update = !read.LinksTo(record.address).empty();
    for (size_t i = 0; i < context.registry.Count() && !update; ++i) {
        const DeviceRecord& other = context.registry.Record(i);
        update = other.serialNumber != record.serialNumber && other.configured &&
                 ConfigKindOfType(other.typeCode) && !read.Knows(other);
    }
    const SetAddressExtras extras{KnownLinksNote(read, record.address), UPDATE_LINKS_LABEL, &update};
    const std::optional<uint8_t> newAddress = ChooseNewAddress(context, record, extras);
    if (!newAddress)
        return;
    if (update) {
        MoveWithItsLinks(parent, context, record, *newAddress);
        return;
    }
    if (!ConfirmMoveOfLinkedDevice(services.prompts, read, record, *newAddress))
        return;
    bool moved = false;
    {
        BusWork work(parent);
        moved = ChangeDeviceAddress(context, *newAddress);
    }
    const std::string device = StrF("%s (%s)", record.name.c_str(), SerialText(record.serialNumber).c_str());
    services.prompts.SetStatusText(
        moved ? StrF("Set Address: %s moved from address %d to %d", device.c_str(), record.address, *newAddress)
              : StrF("Set Address: %s at address %d did not answer; its address is unchanged", device.c_str(),
                     record.address),
        0);
}

}  // namespace orv
