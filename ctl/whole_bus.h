// What backup, restore, diff and set-address share: the comparison of a
// backup with the bus as lines or JSON, and what to say about a write that
// stopped part-way.
#pragma once

#include <iosfwd>
#include <string>

#include "ctl/run.h"
#include "wholebus/bus_comparison.h"

namespace orv {

// One line per device ("ORV-Input8 (21 00 10 31) at address 3: configuration
// differs"), its differences indented under it.
void PrintComparison(std::ostream& out, const std::vector<DeviceComparison>& devices);

// The comparison as JSON: whether the bus matches, and per device its backup
// and bus sides, its status in words and its differences.
void PrintComparisonJson(std::ostream& out, const BusComparison& comparison);

// A write to record's device stopped part-way: that it may hold an incomplete
// configuration, and the command that writes file to it again.
std::string IncompleteWriteAdvice(const DeviceRecord& record, const std::string& file);

}  // namespace orv

#include "wholebus/linked_move.h"

namespace orv {

// Before set-address moves device from from to newAddress: reads the other
// Input8 and RS232 devices and keeps in links their rows that point to from.
// Without --update-links or --force, lists those rows and refuses. The status
// to end with now, or nothing to go on.
std::optional<int> CheckLinksBeforeMove(Run& run, BusSession& session, const DeviceRecord& device, uint8_t from,
                                        uint8_t newAddress, LinkScan& links);

// What became of a move and its links: with --update-links the rows
// rewritten, with --force the rows left pointing at nothing; when the move
// may have happened but is not finished, the rows that still point to the
// old address and the command that finishes it. The status.
int ReportLinkedMove(Run& run, const LinkedMove& move, const LinkScan& links);

}  // namespace orv
