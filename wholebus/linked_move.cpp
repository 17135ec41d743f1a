#include "wholebus/linked_move.h"

#include <algorithm>

#include "link/bus_link.h"
#include "model/latin1.h"
#include "network/address_management.h"
#include "services/log.h"

namespace orv {

namespace {

RowsStatus RowsStatusOf(const WriteOutcome& outcome)
{
    switch (outcome.result) {
    case WriteResult::Saved: return RowsStatus::Rewritten;
    case WriteResult::InterfaceLost:
        return outcome.allAcknowledged ? RowsStatus::WrittenNotReadBack : RowsStatus::CutDuringWrite;
    default: return RowsStatus::NotConfirmed;
    }
}

// "Row 3, Row 7".
std::string RowList(const DeviceLinks& links)
{
    std::string text;
    for (size_t row : links.rows)
        text += (text.empty() ? "" : ", ") + LinkRowText(links.kind, row);
    return text;
}

std::string RowCount(size_t count)
{
    return count == 1 ? std::string("1 row") : StrF("%zu rows", count);
}

}  // namespace

bool LinkedMove::Unfinished() const
{
    if (status == MoveStatus::MayHaveMoved || status == MoveStatus::NotAtNewAddress)
        return true;
    return MovedForSure() && std::any_of(rows.begin(), rows.end(),
                                         [](const RowsOutcome& r) { return r.status != RowsStatus::Rewritten; });
}

LinkedMove MoveWithLinks(Services& services, const DeviceRecord& device, uint8_t from, uint8_t to,
                         const LinkScan& links)
{
    LinkedMove move;
    move.device = device;
    move.device.address = from;
    move.from = from;
    move.to = to;
    for (const DeviceLinks& device_links : links.devices)
        move.rows.push_back(RowsOutcome{device_links});

    if (device.address == to) {
        move.status = MoveStatus::AlreadyThere;
    } else {
        const bool acknowledged = RequestAddressChange(services, move.device, to);
        // The request may have reached the device before the line went.
        if (BusInterfaceLost()) {
            move.status = MoveStatus::MayHaveMoved;
            move.interfaceLost = true;
            return move;
        }
        if (!acknowledged) {
            services.log.Message("Nothing Received");
            move.status = MoveStatus::NotAcknowledged;
            return move;
        }
        services.log.Message("SET Address ACK Received: Address Changed  ");
        // The acknowledgement says only that the request was heard.
        const std::vector<DeviceRecord> answers = AnswersAt(services, to);
        if (BusInterfaceLost()) {
            move.status = MoveStatus::MayHaveMoved;
            move.interfaceLost = true;
            return move;
        }
        const bool there = std::any_of(answers.begin(), answers.end(), [&](const DeviceRecord& answer) {
            return answer.serialNumber == device.serialNumber;
        });
        if (!there) {
            move.status = MoveStatus::NotAtNewAddress;
            return move;
        }
        move.status = MoveStatus::Moved;
    }

    for (RowsOutcome& rows : move.rows) {
        const WriteOutcome outcome = UpdateLinks(rows.links, from, to, services);
        rows.status = RowsStatusOf(outcome);
        if (BusInterfaceLost()) {
            move.interfaceLost = true;
            break;
        }
    }
    return move;
}

std::string LinkedDeviceText(const DeviceRecord& record)
{
    return Latin1ToUtf8(record.name) + StrF(" @ %d", record.address);
}

std::string LinkedMoveSummary(const LinkedMove& move)
{
    const std::string device = Latin1ToUtf8(DeviceRowText(move.device));
    const int from = move.from;
    const int to = move.to;
    switch (move.status) {
    case MoveStatus::NotAcknowledged:
        return device + StrF(" did not acknowledge address %d; it stays at %d and no row was written", to, from);
    case MoveStatus::NotAtNewAddress:
        return device + StrF(" acknowledged address %d but does not answer there; no row was written", to);
    case MoveStatus::MayHaveMoved:
        return device + StrF(" may have moved from %d to %d: the interface was lost as it was sent its new address, "
                             "before it answered there; no row was written",
                             from, to);
    case MoveStatus::Moved:
    case MoveStatus::AlreadyThere:
        break;
    }
    std::string text = device + (move.status == MoveStatus::Moved ? StrF(" moved from %d to %d", from, to)
                                                                  : StrF(" answers at %d, moved there from %d", to, from));
    for (const RowsOutcome& rows : move.rows)
        if (rows.status == RowsStatus::Rewritten)
            text += "; " + RowCount(rows.links.rows.size()) + " of " + LinkedDeviceText(rows.links.device) +
                    StrF(rows.links.rows.size() == 1 ? " now points to %d, read back" : " now point to %d, read back",
                         to);
    return text;
}

std::vector<std::string> LinkedMoveProblems(const LinkedMove& move)
{
    std::vector<std::string> lines;
    if (move.status == MoveStatus::NotAcknowledged)
        return lines;
    for (const RowsOutcome& rows : move.rows) {
        const std::string device = LinkedDeviceText(rows.links.device) + ": ";
        const std::string list = RowList(rows.links);
        const bool one = rows.links.rows.size() == 1;
        switch (rows.status) {
        case RowsStatus::Rewritten:
            break;
        case RowsStatus::NotWritten:
            lines.push_back(device + "no row was written; " + list + (one ? " still points" : " still point") +
                            StrF(" to %d", move.from));
            break;
        case RowsStatus::CutDuringWrite:
            lines.push_back(device + "the interface was lost while " + list + (one ? " was" : " were") +
                            StrF(" being rewritten to %d: the device may hold an incomplete configuration", move.to));
            break;
        case RowsStatus::WrittenNotReadBack:
            lines.push_back(device + list + (one ? " was" : " were") +
                            StrF(" written to point to %d, but the interface was lost before the read-back "
                                 "confirmed it",
                                 move.to));
            break;
        case RowsStatus::NotConfirmed:
            lines.push_back(device + list +
                            StrF(" not rewritten to %d: the write was not confirmed by its read-back", move.to));
            break;
        }
    }
    return lines;
}

}  // namespace orv
