// What backup, restore, diff and set-address share: the comparison of a
// backup with the bus as lines or JSON, and what to say about a write that
// stopped part-way.
#pragma once

#include <iosfwd>
#include <string>

#include "config/bus_comparison.h"
#include "ctl/run.h"

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

#include "config/link_update.h"

namespace orv {

// Before set-address moves device to newAddress: reads the other Input8 and
// RS232 devices and keeps in links their rows that point to the device.
// Without --update-links or --force, lists those rows and refuses. The status
// to end with now, or nothing to go on.
std::optional<int> CheckLinksBeforeMove(Run& run, BusSession& session, const DeviceRecord& device, uint8_t newAddress,
                                        LinkScan& links);

// After the move from from to to: with --update-links rewrites the rows of
// links, each device read back, and lists them; with --force lists the rows
// left pointing at nothing. The status.
int UpdateLinksAfterMove(Run& run, BusSession& session, const LinkScan& links, uint8_t from, uint8_t to);

}  // namespace orv
