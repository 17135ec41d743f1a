// The steps the Input8 and RS232 export and import share: the file dialog,
// the safe write with its messages, and the corrupt-file message.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "config/config_kind.h"
#include "config/safe_file_write.h"
#include "services/log.h"
#include "services/prompts.h"

namespace orv {

// The .bin file dialog of an export (save, asking before overwriting) or an
// import (open, the file must exist); nothing when not confirmed.
std::optional<std::string> AskConfigFile(Prompts& prompts, bool save, const std::string& message,
                                         const std::string& defaultFile);

// Writes bytes over path only once all of them are written, then shows
// " Config Saved " with successText; what the saved file may still lack (a
// folder that would not flush) goes to the log as a warning. A failed write
// shows "Error Saving Data " instead and leaves an existing file as it was.
bool WriteConfigFile(Prompts& prompts, LogSink& log, const std::string& path, std::span<const uint8_t> bytes,
                     const std::string& successText, FolderFlush flushFolder = FlushFolder);

// The image of a file that passes the import checks of kind; nothing, after
// the "Error Loading Data " box, for any other file.
std::optional<std::vector<uint8_t>> LoadConfigFileOrWarn(Prompts& prompts, const std::string& path, ConfigKind kind);

void ShowCorruptConfigFile(Prompts& prompts);

}  // namespace orv
