// Addresses: resolving addresses that several devices share after a discovery,
// and giving the selected device another address by hand. A device changes its
// address only through SET_ADDRESS_BY_SN, sent to its current address with its
// serial number, so that devices sharing an address can be told apart.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "link/frame_codec.h"
#include "network/network_view.h"

namespace orv {

// The lowest address from 1 to 254 that no entry of table holds; nothing when
// all are taken (255 is the broadcast address and never handed out).
std::optional<uint8_t> FindFreeAddress(const std::vector<uint8_t>& table);

// The caption of the question about shared addresses.
inline constexpr const char* SAME_ADDRESS_CAPTION = " Same Address Warning ";

// The caption of the box about answers that carry one serial number at one address.
inline constexpr const char* SAME_SERIAL_CAPTION = " Same Serial Number ";

// Flags the records that share an address and, when the user agrees, gives
// each of them the lowest free address. Devices for which no address is left
// keep theirs; the user is told so once. Records with the same serial number
// at one address keep it too; when nothing else is left to move, a box names
// them. True when at least one device was sent a new address, so that the
// caller discovers again.
bool ResolveDuplicateAddresses(NetworkContext& context);

// The choices of the Set Address dialog: every address 1..254 that no record has, ascending, in decimal.
std::vector<std::string> SetAddressChoices(const DeviceRegistry& registry);

// Asked once the new address is chosen, before the device is sent it: false
// keeps the device where it is.
using MoveCheck = std::function<bool(const DeviceRecord& record, uint8_t newAddress)>;

// What the Set Address dialog shows besides the addresses: lines under its
// message, and a tick box when it has a label (see ChoiceOptions).
struct SetAddressExtras {
    std::string note = {};
    std::string tickLabel = {};
    bool* ticked = nullptr;
};

// The Set Address dialog for record's device: the free address the user
// confirmed, or nothing (Cancel, or no address left: the user is told).
std::optional<uint8_t> ChooseNewAddress(NetworkContext& context, const DeviceRecord& record,
                                        const SetAddressExtras& extras = {});

// The "Set Address ..." command: offers the free addresses for the selected
// device, naming it, and changes its address to the confirmed one when
// mayMove (if given) agrees. True when the device acknowledged the change (a
// discovery has then run).
bool OnSetAddress(NetworkContext& context, const MoveCheck& mayMove = {}, const SetAddressExtras& extras = {});

// Sends record's device SET_ADDRESS_BY_SN at its current address and waits for
// the acknowledgement; only the device with that serial number moves. Nothing
// else follows: the caller discovers again as it needs. True when acknowledged.
bool RequestAddressChange(Services& services, const DeviceRecord& record, uint8_t newAddress);

// The devices that answer one MODULE_INFO_REQUEST to address, each serial
// number once: how a move is confirmed at the new address without a scan.
std::vector<DeviceRecord> AnswersAt(Services& services, uint8_t address);

// Sends the selected device (checked, see RequireSelectedDevice) its new
// address at its current address; when it acknowledges, tells the user and
// runs a full start-0 discovery. True when acknowledged.
bool ChangeDeviceAddress(NetworkContext& context, uint8_t newAddress);

}  // namespace orv
