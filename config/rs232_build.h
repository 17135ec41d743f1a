// Building an RS232 image where a user is told why it cannot be built: the
// refusal and the empty-rows warning as message boxes.
#pragma once

#include <cstddef>
#include <optional>

#include "model/rs232_image.h"
#include "services/services.h"

namespace orv {

// The exclamation box with Ok that tells the user of refusal.
void ShowRS232Refusal(Prompts& prompts, const RS232Refusal& refusal);

// The image of config (BuildRS232ImageOrRefusal); nothing after the box of
// its refusal. With warnEmpty, the empty-rows box when rows were left out.
std::optional<RS232BuiltImage> BuildRS232Image(const RS232Config& config, std::optional<size_t> skipRow,
                                               bool warnEmpty, Services& services);

// config without the row at rowIndex and without its empty rows, as the panel
// shows it after a deletion; nothing, after the Hex message box, when another
// row is invalid.
std::optional<RS232Config> DeleteRS232Row(const RS232Config& config, size_t rowIndex, Services& services);

}  // namespace orv
