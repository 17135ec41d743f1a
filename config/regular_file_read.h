// Reading a file that someone else may have put in place: only a regular
// file is read, and only up to a bound, so that a folder, a pipe, a device
// such as /dev/zero or a file of gigabytes under an expected name is refused
// with the reason instead of hanging, failing with an exception or filling
// the memory.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace orv {

enum class FileReadOutcome {
    Read,
    Missing,
    NotAFile,  // a folder, a pipe, a device or a socket
    TooLarge,
    Unreadable,
};

struct RegularFileRead {
    FileReadOutcome outcome = FileReadOutcome::Unreadable;
    std::vector<uint8_t> bytes;  // when Read: the whole file
    uint64_t size = 0;           // when Read or TooLarge
    // When not Read: why, naming the path ("... is a folder, not a file").
    std::string problem;
};

// The content of the regular file at path (a link to one is followed) when
// it is at most maxSize bytes long.
RegularFileRead ReadRegularFile(const std::string& path, size_t maxSize);

}  // namespace orv
