// Writing a configuration file so that a failure never destroys the file it
// was meant to replace: the bytes go to a temporary file beside the target,
// which replaces it only once everything is written and flushed.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "services/prompts.h"

namespace orv {

struct FileWriteResult {
    bool written = false;
    std::string reason;  // why not, when not written
    // When written, what still went wrong: the file is saved, but it may not
    // survive a power cut. Callers log it as a warning.
    std::string warning;
};

// Flushes a folder so that a rename in it lasts: 0, or the errno of the failure.
int FlushFolder(const std::string& folder);
using FolderFlush = int (*)(const std::string& folder);

// Writes size bytes to path. A symbolic link is followed, so that its target
// file is replaced and the link stays. The new file gets the permissions of
// the file it replaces; the folder is flushed after the rename. Where no
// temporary file can be made in the target's folder, the target is written
// in place, and put back as it was when that write fails. A folder that cannot
// be flushed after a good rename leaves the file saved, with a warning.
FileWriteResult WriteFileSafely(const std::string& path, const uint8_t* data, size_t size,
                                FolderFlush flushFolder = FlushFolder);

// "Error Saving Data ": the file named could not be written, and why.
void ShowFileWriteError(Prompts& prompts, const std::string& path, const std::string& reason);

}  // namespace orv
