// Moving an Input8 configuration to and from the device: the block transfer
// with the Input8 values, and the panel's save with its read-back.
#pragma once

#include <cstdint>
#include <functional>

#include "config/block_transfer.h"
#include "model/input8_config.h"
#include "services/services.h"

namespace orv {

// 15 blocks of the 453-byte image; reads without a progress dialog (the caller
// shows a busy indicator), writes under "Updating Input8 Configuration".
ConfigKindProfile Input8TransferProfile();

// Takes an intact read-back to show (with the link check).
using ShowReadBackFn = std::function<void(const ReadOutcome& readBack)>;

// "Save to Device": writes config in the device form to the Input8 at address
// and hands the read-back to showReadBack when it is intact; after a damaged
// or unanswered one the panel keeps the edited configuration. Any
// result but Saved then shows " Config Not Saved ", except InterfaceLost,
// which has shown its own box and shows no read-back. The success message is
// the caller's: its text depends on the device's record.
WriteResult SaveInput8Config(const Input8Config& config, uint8_t address, Services& services,
                             const ShowReadBackFn& showReadBack);

}  // namespace orv
