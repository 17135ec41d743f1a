// Writing a configuration file safely on Windows: the bytes go to a new file
// in the target's folder, flushed to the disk, which then replaces the target
// in one move; where no file can be made there, the target is written in place.
// Names go to the system in UTF-16, so that every letter of them is kept.
#include "config/safe_file_write.h"

#include <windows.h>

#include <string>

#include "config/windows_file_write.h"
#include "port/system_error.h"
#include "services/file_path.h"

namespace orv {

namespace {

constexpr wchar_t TEMPORARY_PREFIX[] = L"orv";

FileWriteResult Failure(DWORD error)
{
    return FileWriteResult{false, SystemErrorText(int(error)), {}};
}

std::wstring DirectoryOf(const std::wstring& path)
{
    const size_t separator = path.find_last_of(L"/\\");
    return separator == std::wstring::npos ? L"." : path.substr(0, separator + 1);
}

FileWriteResult WriteInPlace(const std::wstring& target, const uint8_t* data, size_t size)
{
    HANDLE file = CreateFileW(target.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return Failure(GetLastError());
    const DWORD error = WriteAndClose(file, data, size, true);
    return error == 0 ? FileWriteResult{true, {}, {}} : Failure(error);
}

}  // namespace

DWORD WriteAndClose(HANDLE file, const uint8_t* data, size_t size, bool cutToSize)
{
    DWORD error = 0;
    while (size > 0 && error == 0) {
        DWORD written = 0;
        if (!WriteFile(file, data, DWORD(size), &written, nullptr))
            error = GetLastError();
        data += written;
        size -= written;
    }
    if (error == 0 && cutToSize && !SetEndOfFile(file))
        error = GetLastError();
    if (error == 0 && !FlushFileBuffers(file))
        error = GetLastError();
    if (!CloseHandle(file) && error == 0)
        error = GetLastError();
    return error;
}

// MOVEFILE_WRITE_THROUGH returns only once the move is on the disk: there is
// no folder left to flush.
int FlushFolder(const std::string&)
{
    return 0;
}

FileWriteResult WriteFileSafely(const std::string& path, const uint8_t* data, size_t size, FolderFlush)
{
    const std::wstring target = WideOf(path);
    wchar_t temporary[MAX_PATH + 1] = {};
    if (GetTempFileNameW(DirectoryOf(target).c_str(), TEMPORARY_PREFIX, 0, temporary) == 0)
        return WriteInPlace(target, data, size);
    HANDLE file = CreateFileW(temporary, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD error = file == INVALID_HANDLE_VALUE ? GetLastError() : WriteAndClose(file, data, size, false);
    if (error == 0 && !MoveFileExW(temporary, target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        error = GetLastError();
    if (error != 0) {
        DeleteFileW(temporary);
        return Failure(error);
    }
    return FileWriteResult{true, {}, {}};
}

}  // namespace orv
