#include "port/os_checks.h"

#include <windows.h>

#include "services/file_path.h"

namespace orv {

bool ComPortExists(const std::string& devicePath)
{
    const HANDLE port = CreateFileW(WideOf(devicePath).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                    OPEN_EXISTING, 0, nullptr);
    if (port == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        return error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND;
    }
    CloseHandle(port);
    return true;
}

}  // namespace orv
