// A move with its links: the device is given its new address, confirmed
// there by one MODULE_INFO_REQUEST, and only then are the rows of the other
// devices that point to its old address rewritten, each read back. The links
// never wait for a discovery, so nothing the user does to a later scan can
// touch them. Both orvctl set-address and the Set Address window run it and
// tell what it did in its words.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "wholebus/link_update.h"

namespace orv {

enum class MoveStatus {
    Moved,            // the device answered at its new address
    AlreadyThere,     // found at the new address already: an earlier move went through
    NotAcknowledged,  // SET_ADDRESS_BY_SN went unacknowledged: the device stays where it was
    NotAtNewAddress,  // acknowledged, but the device did not answer at its new address
    MayHaveMoved,     // the interface was lost at or after SET_ADDRESS_BY_SN, before the answer there
};

enum class RowsStatus {
    Rewritten,            // written and read back
    NotConfirmed,         // written, but the read-back did not confirm it
    WrittenNotReadBack,   // every block acknowledged, the interface lost during the read-back
    CutDuringWrite,       // the interface was lost while the blocks were written
    NotWritten,           // nothing was sent to this device: its rows still point to the old address
};

struct RowsOutcome {
    DeviceLinks links;
    RowsStatus status = RowsStatus::NotWritten;
};

struct LinkedMove {
    DeviceRecord device;  // as it was found, at from
    uint8_t from = 0;
    uint8_t to = 0;
    MoveStatus status = MoveStatus::NotAcknowledged;
    std::vector<RowsOutcome> rows;  // one per device of the links, in their order
    bool interfaceLost = false;

    bool MovedForSure() const { return status == MoveStatus::Moved || status == MoveStatus::AlreadyThere; }
    // The move may have happened and some rows are not known to point to the new address.
    bool Unfinished() const;
};

// Gives device (at from, its address in the record) the address to unless it
// answers there already, confirms the move with one MODULE_INFO_REQUEST to
// to, and then rewrites the rows of links from from to to. No row is written
// before the device has answered at to; nothing more goes to the bus once the
// interface is lost.
LinkedMove MoveWithLinks(Services& services, const DeviceRecord& device, uint8_t from, uint8_t to,
                         const LinkScan& links);

// "ORV-Input8 @ 1".
std::string LinkedDeviceText(const DeviceRecord& record);

// What happened in one sentence: "ORV-Relay (00 12 AB 34) moved from 4 to 9;
// 2 rows of ORV-Input8 @ 1 now point to 9, read back".
std::string LinkedMoveSummary(const LinkedMove& move);

// One line per device whose rows were not rewritten, naming the rows and
// where they point now (as far as is known).
std::vector<std::string> LinkedMoveProblems(const LinkedMove& move);

}  // namespace orv
