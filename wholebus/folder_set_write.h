// Replacing a set of files of one folder together, so that the folder holds
// either all the new files or all it held before. Every new file is first
// written whole and flushed under a temporary name of its own in the folder;
// only then do they take their names, in order, the last one last (a backup's
// manifest, which switches the folder to the new set). A file that was in
// the way is kept aside until the whole set is in place, and put back when
// a later one fails. Nothing is written through a link planted in the folder:
// a name that is a link is replaced by the new file, never followed, and no
// file outside the folder is touched.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "config/safe_file_write.h"

namespace orv {

struct FolderFile {
    std::string name;  // a name in the folder, never a path
    std::vector<uint8_t> bytes;
};

struct FolderSetResult {
    bool written = false;
    // When not written: the file that failed ("" when it was the folder) and
    // why; the folder holds what it held before.
    std::string failedName;
    std::string reason;
    // When written, what still went wrong: the folder could not be flushed.
    std::string warning;
};

FolderSetResult WriteFolderSet(const std::string& folder, const std::vector<FolderFile>& files,
                               FolderFlush flushFolder = FlushFolder);

}  // namespace orv
