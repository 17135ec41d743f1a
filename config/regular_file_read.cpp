#include "config/regular_file_read.h"

#ifndef _WIN32
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <system_error>

#include "services/file_path.h"

namespace orv {

namespace {

RegularFileRead Refusal(FileReadOutcome outcome, std::string problem, uint64_t size = 0)
{
    RegularFileRead result;
    result.outcome = outcome;
    result.problem = std::move(problem);
    result.size = size;
    return result;
}

RegularFileRead TooLarge(const std::string& path, uint64_t size, size_t maxSize)
{
    return Refusal(FileReadOutcome::TooLarge,
                   path + " is " + std::to_string(size) + " bytes long, more than the " + std::to_string(maxSize) +
                       " bytes such a file can have",
                   size);
}

#ifndef _WIN32
std::string KindOf(mode_t mode)
{
    if (S_ISDIR(mode))
        return "a folder";
    if (S_ISFIFO(mode))
        return "a pipe";
    if (S_ISSOCK(mode))
        return "a socket";
    return "a device";
}
#endif

}  // namespace

#ifndef _WIN32
RegularFileRead ReadRegularFile(const std::string& path, size_t maxSize)
{
    // The type is checked before the open, which could block on a pipe or
    // wake a device, and again on what was opened, which may have been
    // swapped in between.
    struct stat status {};
    if (stat(path.c_str(), &status) != 0)
        return errno == ENOENT ? Refusal(FileReadOutcome::Missing, path + " does not exist")
                               : Refusal(FileReadOutcome::Unreadable, "cannot read " + path + ": " + std::strerror(errno));
    if (!S_ISREG(status.st_mode))
        return Refusal(FileReadOutcome::NotAFile, path + " is " + KindOf(status.st_mode) + ", not a file");
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0)
        return Refusal(FileReadOutcome::Unreadable, "cannot read " + path + ": " + std::strerror(errno));
    RegularFileRead result;
    if (fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
        close(fd);
        return Refusal(FileReadOutcome::NotAFile, path + " is no longer a file");
    }
    if (uint64_t(status.st_size) > maxSize) {
        close(fd);
        return TooLarge(path, uint64_t(status.st_size), maxSize);
    }
    // A file that grows while it is read stops at one byte past the bound.
    result.bytes.resize(maxSize + 1);
    size_t total = 0;
    while (total < result.bytes.size()) {
        const ssize_t count = read(fd, result.bytes.data() + total, result.bytes.size() - total);
        if (count < 0 && errno == EINTR)
            continue;
        if (count < 0) {
            const int error = errno;
            close(fd);
            return Refusal(FileReadOutcome::Unreadable, "cannot read " + path + ": " + std::strerror(error));
        }
        if (count == 0)
            break;
        total += size_t(count);
    }
    close(fd);
    if (total > maxSize)
        return TooLarge(path, total, maxSize);
    result.bytes.resize(total);
    result.size = total;
    result.outcome = FileReadOutcome::Read;
    return result;
}
#else
RegularFileRead ReadRegularFile(const std::string& path, size_t maxSize)
{
    std::error_code error;
    const std::filesystem::path filePath = PathOf(path);
    const std::filesystem::file_status status = std::filesystem::status(filePath, error);
    if (status.type() == std::filesystem::file_type::not_found)
        return Refusal(FileReadOutcome::Missing, path + " does not exist");
    if (error)
        return Refusal(FileReadOutcome::Unreadable, "cannot read " + path + ": " + error.message());
    if (status.type() == std::filesystem::file_type::directory)
        return Refusal(FileReadOutcome::NotAFile, path + " is a folder, not a file");
    if (status.type() != std::filesystem::file_type::regular)
        return Refusal(FileReadOutcome::NotAFile, path + " is a device, not a file");
    std::ifstream file(filePath, std::ios::binary);
    if (!file)
        return Refusal(FileReadOutcome::Unreadable, "cannot read " + path);
    RegularFileRead result;
    result.bytes.resize(maxSize + 1);
    file.read(reinterpret_cast<char*>(result.bytes.data()), std::streamsize(result.bytes.size()));
    if (file.bad())
        return Refusal(FileReadOutcome::Unreadable, "cannot read " + path);
    const size_t total = size_t(file.gcount());
    if (total > maxSize)
        return TooLarge(path, std::filesystem::file_size(filePath, error), maxSize);
    result.bytes.resize(total);
    result.size = total;
    result.outcome = FileReadOutcome::Read;
    return result;
}
#endif

}  // namespace orv
