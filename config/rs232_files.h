// RS232 configurations as .bin files on the PC: the whole 4064-byte image
// buffer, the image with its CRC low byte first followed by zero bytes.
#pragma once

#include <optional>

#include "model/rs232_config.h"
#include "services/services.h"

namespace orv {

// Asks for a file, builds config (with the empty-rows warning) and writes the
// buffer over the file only once all of it is written. True when written and
// the success box shown; false when cancelled, not built or not written
// (the "Error Saving Data " box has said why).
bool ExportRS232Config(const RS232Config& config, Services& services);

// Asks for a file and gives the configuration it holds, as the panel shows
// it; the caller shows it, then ShowRS232Loaded. Nothing when cancelled, or,
// after the corrupt-file box, for a file that is empty, whose length is not a
// multiple of 4, that cannot be read, or whose first 4064 bytes (zero after
// its end) do not hold an image within the buffer. The CRC is not tested.
std::optional<RS232Config> ImportRS232Config(Prompts& prompts);

// " Config Loaded ", after an import has been shown.
void ShowRS232Loaded(Prompts& prompts);

}  // namespace orv
