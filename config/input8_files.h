// Input8 configurations in .bin files on the PC: the 453-byte image in its
// file form (CRC bytes 00 00).
#pragma once

#include <optional>

#include "model/input8_config.h"
#include "services/log.h"
#include "services/prompts.h"

namespace orv {

// Asks for a file and writes config to it. On success shows " Config Saved "
// and gives true; a failed write shows "Error Saving Data " and leaves an
// existing file as it was. False too when the user cancels.
bool ExportInput8Config(const Input8Config& config, Prompts& prompts, LogSink& log);

// Asks for a file and reads the configuration in it: the first 453 bytes of a
// file whose length is a whole, non-zero multiple of 453. Any other file is
// refused with "Error Loading Data ". Nothing when cancelled or refused. The
// caller shows the result with the link check, then ShowInput8Loaded.
std::optional<Input8Config> ImportInput8Config(Prompts& prompts);

// " Config Loaded ", after an import has been shown.
void ShowInput8Loaded(Prompts& prompts);

}  // namespace orv
