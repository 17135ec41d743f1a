// Moving an RS232 configuration to and from the device: the block transfer
// with the RS232 values (128 blocks read, the image length found by walking
// the image), the save with its read-back, and the test of one row's string.
#pragma once

#include <cstdint>
#include <optional>

#include "config/block_transfer.h"
#include "model/rs232_config.h"
#include "services/services.h"

namespace orv {

// 128 read requests of which 127 fill the 4064-byte buffer, a progress dialog
// for reads and writes, neither with an abort button.
ConfigKindProfile RS232TransferProfile();

enum class RS232ReadResult {
    Failed,         // not answered, or (read-back) the image was damaged: the panel stays as it is
    InterfaceLost,  // the interface went away; its box has been shown and the panel stays as it is
    Shown,    // intact: the panel shows config
    Cleared,  // damaged first read, after the warning: the panel shows config, the empty configuration
};

struct RS232ReadOutcome {
    RS232ReadResult result = RS232ReadResult::Failed;
    RS232Config config;
};

// Reads the configuration of the RS232 at address. readBack marks the read
// after a save, which keeps the panel as it is when the image is damaged.
RS232ReadOutcome ReadRS232Config(uint8_t address, bool readBack, Services& services);

enum class RS232SaveResult {
    NotSent,      // the image could not be built; its message box has said why
    Failed,       // the read-back was not answered or damaged; the panel stays as it is
    NotVerified,  // the read-back is intact but not what was sent, or a block went unacknowledged
    Saved,        // every block acknowledged and read back as it was sent
    InterfaceLost,  // the interface went away; its box has been shown and the panel stays as it is
};

struct RS232SaveOutcome {
    RS232SaveResult result = RS232SaveResult::NotSent;
    // What the device holds now, when its read-back was intact: the panel shows it.
    std::optional<RS232Config> shown;
};

// Builds config (with the empty-rows warning), sends it to the RS232 at
// address and reads it back. Every result but Saved, NotSent and
// InterfaceLost ends with one box: for a damaged read-back the read's
// warning, which then says that the panel keeps the edits; else " Config Not
// Saved ".
RS232SaveOutcome SaveRS232Config(const RS232Config& config, uint8_t address, Services& services);

// Makes the RS232 at address send the string of the row at rowIndex (the
// first ten rows only; for the others a message box says so). True when
// the device acknowledged; a lost interface has its box.
bool SendTestString(uint8_t address, size_t rowIndex, Services& services);

}  // namespace orv
