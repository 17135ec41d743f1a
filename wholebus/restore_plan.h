// Restoring a backup to the bus, for orvctl restore and the Restore window
// alike: from the comparison of a backup folder with the bus, the rows chosen
// and the replacements, what is written and in which order; then the writes,
// each read back, and what each came to.
#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "config/block_transfer.h"
#include "wholebus/bus_comparison.h"
#include "wholebus/device_replacement.h"

namespace orv {

// A spare (now) put in the place of the backup's device (old), missing on the bus.
struct RestoreReplacement {
    SerialNumber old{};
    SerialNumber now{};
};

// One configuration of the backup that goes to a device.
struct RestoreWrite {
    size_t row = 0;           // the comparison's row whose backup file is written
    DeviceRecord target;      // the device written, where the plan found it
    bool replacement = false; // target takes the address of the row's backup device first
};

enum class RestoreRefusal {
    MissingOnBus,   // no device of its kind and serial number answers, and none replaces it
    SharedAddress,  // another device shares the address of the one on the bus
};

struct RestorePlan {
    // The chosen rows in the comparison's order, then the replacements; each
    // replacement is moved to its address before anything is written.
    std::vector<RestoreWrite> writes;
    // Chosen rows that cannot be written, and why.
    std::vector<std::pair<size_t, RestoreRefusal>> refused;
    // Rows of the backup present and as in it, not chosen.
    size_t unchanged = 0;

    size_t Total() const { return writes.size() + refused.size(); }
};

// orvctl's choice: every row with a backup file, but those already as in the
// backup, unless force.
std::vector<size_t> RowsToRestore(const BusComparison& comparison, bool force);

// What is written of rows (the comparison's) and the replacements (each
// accepted by ReplacementRefusal against registry). A replaced row is written
// to its replacement, not refused as missing.
RestorePlan PlanRestore(const BusComparison& comparison, const std::vector<size_t>& rows,
                        const std::vector<RestoreReplacement>& replacements, const DeviceRegistry& registry);

enum class RestoreStatus {
    Written,         // written, and the read-back equals the backup
    WriteFailed,     // the write or its read-back went wrong: outcome says how
    Abandoned,       // a second stop request ended the write part-way
    MoveFailed,      // the replacement did not take its address: move says how
    NoLongerThere,   // the device list no longer shows the device alone where the plan found it
    NotAttempted,    // the restore stopped before it
};

struct RestoreStepResult {
    RestoreStatus status = RestoreStatus::NotAttempted;
    DeviceRecord target;                // where it was written (a replacement: at its new address)
    std::optional<MoveResult> move;     // a replacement's move, when tried
    std::optional<WriteOutcome> outcome;  // the write, when tried
};

struct RestoreResult {
    std::vector<RestoreStepResult> steps;  // one for each of the plan's writes, in its order
    bool interfaceLost = false;  // the restore stopped there
    bool stopRequested = false;  // a stop request came between devices: the restore stopped there
    bool abandoned = false;      // a second stop request ended a write part-way: the restore stopped there

    size_t Restored() const;
};

// Told as each move and each write ends: the index into the plan's writes and
// its step so far (after a replacement's move, its write is still NotAttempted).
using RestoreStepDone = std::function<void(size_t write, const RestoreStepResult& step)>;

// Moves the replacements first (stopping at the first that fails), then
// writes each configuration with its read-back, stopping on a lost interface
// or a stop request between devices. A device is written only while the
// registry shows it alone at the address where the plan found it.
RestoreResult RunRestore(const RestorePlan& plan, const BusComparison& comparison, NetworkContext& context,
                         const RestoreStepDone& done = {});

// What a step came to, in words, for a line that names the device already:
// "written and read back", "not written", or what went wrong.
std::string RestoreStepText(const RestoreStepResult& step);

// A replacement's move to address in words: "ORV-Input8 (21 00 10 34): address 14 → 3", or why it did not move.
std::string MoveText(MoveResult result, const DeviceRecord& device, uint8_t address);

}  // namespace orv
