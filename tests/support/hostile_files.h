// A backup folder as someone else may have left it: where a file should be,
// something that is no file. Each case says what it makes and the words the
// folder's reading has for it.
#pragma once

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace orv::test {

struct FolderCase {
    std::string what;
    std::function<void()> make;
    std::string problem;
};

// In place of the file at path: a folder, a link to /dev/zero, a pipe.
inline std::vector<FolderCase> NoFileAt(const std::filesystem::path& path)
{
    namespace fs = std::filesystem;
    const std::string name = path.filename().string();
    return {
        {name + " a folder", [path] { fs::remove(path); fs::create_directory(path); }, name + " is a folder, not a file"},
        {name + " linked to /dev/zero", [path] { fs::remove(path); fs::create_symlink("/dev/zero", path); },
         name + " is a device, not a file"},
        {name + " a pipe", [path] { fs::remove(path); ASSERT_EQ(mkfifo(path.c_str(), 0600), 0); },
         name + " is a pipe, not a file"},
    };
}

}  // namespace orv::test
