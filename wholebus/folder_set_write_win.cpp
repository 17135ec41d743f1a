// Replacing a set of files of one folder together on Windows: the same steps
// as elsewhere, with new files made by GetTempFileName in the folder and
// names taken by MoveFileEx moves that return once they are on the disk.
#include "wholebus/folder_set_write.h"

#include <windows.h>

#include <optional>

#include "config/windows_file_write.h"
#include "port/system_error.h"
#include "services/file_path.h"

namespace orv {

namespace {

constexpr wchar_t TEMPORARY_PREFIX[] = L"orv";
constexpr DWORD MOVE_FLAGS = MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH;

FolderSetResult Failure(const std::string& name, DWORD error)
{
    return FolderSetResult{false, name, SystemErrorText(int(error)), {}};
}

std::optional<std::wstring> NewFileIn(const std::wstring& folder)
{
    wchar_t path[MAX_PATH + 1] = {};
    if (GetTempFileNameW(folder.c_str(), TEMPORARY_PREFIX, 0, path) == 0)
        return std::nullopt;
    return std::wstring(path);
}

DWORD WriteWhole(const std::wstring& path, const std::vector<uint8_t>& bytes)
{
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return GetLastError();
    return WriteAndClose(file, bytes.data(), bytes.size(), false);
}

void RemoveAll(const std::vector<std::wstring>& paths)
{
    for (const std::wstring& path : paths)
        DeleteFileW(path.c_str());
}

struct Placed {
    std::wstring target;
    std::optional<std::wstring> kept;
};

}  // namespace

FolderSetResult WriteFolderSet(const std::string& folder, const std::vector<FolderFile>& files, FolderFlush)
{
    const std::wstring wideFolder = WideOf(folder);
    for (const FolderFile& file : files) {
        const DWORD attributes = GetFileAttributesW((wideFolder + L"\\" + WideOf(file.name)).c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY))
            return FolderSetResult{false, file.name, "a folder has its name", {}};
    }
    std::vector<std::wstring> temporaries;
    for (const FolderFile& file : files) {
        const std::optional<std::wstring> temporary = NewFileIn(wideFolder);
        const DWORD error = temporary ? WriteWhole(*temporary, file.bytes) : GetLastError();
        if (temporary)
            temporaries.push_back(*temporary);
        if (error != 0) {
            RemoveAll(temporaries);
            return Failure(file.name, error);
        }
    }
    std::vector<Placed> placed;
    for (size_t i = 0; i < files.size(); ++i) {
        Placed item{wideFolder + L"\\" + WideOf(files[i].name), std::nullopt};
        DWORD error = 0;
        if (GetFileAttributesW(item.target.c_str()) != INVALID_FILE_ATTRIBUTES) {
            item.kept = NewFileIn(wideFolder);
            if (!item.kept || !MoveFileExW(item.target.c_str(), item.kept->c_str(), MOVE_FLAGS)) {
                error = GetLastError();
                if (item.kept)
                    DeleteFileW(item.kept->c_str());
                item.kept.reset();
            }
        }
        if (error == 0 && !MoveFileExW(temporaries[i].c_str(), item.target.c_str(), MOVE_FLAGS)) {
            error = GetLastError();
            if (item.kept)
                MoveFileExW(item.kept->c_str(), item.target.c_str(), MOVE_FLAGS);
        }
        if (error != 0) {
            for (auto done = placed.rbegin(); done != placed.rend(); ++done) {
                if (done->kept)
                    MoveFileExW(done->kept->c_str(), done->target.c_str(), MOVE_FLAGS);
                else
                    DeleteFileW(done->target.c_str());
            }
            RemoveAll(std::vector<std::wstring>(temporaries.begin() + long(i), temporaries.end()));
            return Failure(files[i].name, error);
        }
        placed.push_back(item);
    }
    for (const Placed& item : placed)
        if (item.kept)
            DeleteFileW(item.kept->c_str());
    return FolderSetResult{true, {}, {}, {}};
}

}  // namespace orv
