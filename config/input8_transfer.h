// The values with which the block transfer moves an Input8 image.
#pragma once

#include "config/block_transfer.h"

namespace orv {

// 15 blocks of the 453-byte image; reads without a progress dialog (the caller
// shows a busy indicator), writes under "Updating Input8 Configuration".
ConfigKindProfile Input8TransferProfile();

}  // namespace orv
