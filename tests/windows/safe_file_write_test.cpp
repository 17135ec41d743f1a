// Configuration files on Windows: a new file replaces the old one only once it
// is written whole; a failed write leaves the old file as it was.
#include <gtest/gtest.h>

#include <windows.h>

#include <filesystem>
#include <fstream>

#include "config/safe_file_write.h"
#include "tests/orvctl/orvctl_rig.h"

namespace orv::test {
namespace {

namespace fs = std::filesystem;

void WriteText(const std::string& path, const std::string& text)
{
    std::ofstream(path, std::ios::binary) << text;
}

std::string ReadText(const std::string& path)
{
    const std::vector<uint8_t> bytes = ReadBytes(path);
    return std::string(bytes.begin(), bytes.end());
}

FileWriteResult WriteSafely(const std::string& path, const std::string& text)
{
    return WriteFileSafely(path, reinterpret_cast<const uint8_t*>(text.data()), text.size());
}

TEST(SafeFileWrite, WritesNewFilesAndReplacesOldOnesLeavingNothingBeside)
{
    TempFolder folder;
    EXPECT_TRUE(WriteSafely(folder / "new.bin", "first").written);
    EXPECT_EQ(ReadText(folder / "new.bin"), "first");

    WriteText(folder / "old.bin", "a longer old content");
    const FileWriteResult replaced = WriteSafely(folder / "old.bin", "short");
    EXPECT_TRUE(replaced.written) << replaced.reason;
    EXPECT_EQ(ReadText(folder / "old.bin"), "short");
    EXPECT_EQ(std::distance(fs::directory_iterator(folder.Path()), {}), 2);
}

TEST(SafeFileWrite, AFailedReplacementKeepsTheOldFileAndSaysWhy)
{
    TempFolder folder;
    const std::string path = folder / "held.bin";
    WriteText(path, "old");
    // Another program holds the file open without sharing it.
    HANDLE held = CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    const FileWriteResult result = WriteSafely(path, "new");
    CloseHandle(held);
    EXPECT_FALSE(result.written);
    EXPECT_FALSE(result.reason.empty());
    EXPECT_EQ(ReadText(path), "old");
    EXPECT_EQ(std::distance(fs::directory_iterator(folder.Path()), {}), 1);

    const FileWriteResult noFolder = WriteSafely(folder / "missing\\x.bin", "new");
    EXPECT_FALSE(noFolder.written);
    EXPECT_FALSE(noFolder.reason.empty());
}

}  // namespace
}  // namespace orv::test
