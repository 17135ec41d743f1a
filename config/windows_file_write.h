// The write of a whole file on Windows, shared by the safe write and the
// folder set's write.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>

namespace orv {

// Writes, flushes and closes file (cut to size when asked); the error of the
// first failing step, or 0.
DWORD WriteAndClose(HANDLE file, const uint8_t* data, size_t size, bool cutToSize);

}  // namespace orv
