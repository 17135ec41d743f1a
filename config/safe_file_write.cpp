#include "config/safe_file_write.h"

#ifndef _WIN32
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <optional>
#include <vector>

#include "services/log.h"

namespace orv {

#ifndef _WIN32
namespace {

constexpr int MAX_LINK_HOPS = 40;

FileWriteResult Failure(int error)
{
    return FileWriteResult{false, std::strerror(error), {}};
}

std::string DirectoryOf(const std::string& path)
{
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string BaseNameOf(const std::string& path)
{
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The file path names once symbolic links are followed; it need not exist yet.
std::optional<std::string> FollowLinks(const std::string& path, int& error)
{
    std::string current = path;
    for (int hop = 0; hop < MAX_LINK_HOPS; ++hop) {
        struct stat status {};
        if (lstat(current.c_str(), &status) != 0 || !S_ISLNK(status.st_mode))
            return current;
        std::string target(PATH_MAX, '\0');
        const ssize_t length = readlink(current.c_str(), target.data(), target.size());
        if (length < 0) {
            error = errno;
            return std::nullopt;
        }
        target.resize(size_t(length));
        current = target.front() == '/' ? target : DirectoryOf(current) + "/" + target;
    }
    error = ELOOP;
    return std::nullopt;
}

bool WriteAll(int fd, const uint8_t* data, size_t size)
{
    while (size > 0) {
        const ssize_t count = write(fd, data, size);
        if (count < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        data += count;
        size -= size_t(count);
    }
    return true;
}

// The permissions a replacement gets: those of the file it replaces, or
// those a new file gets.
mode_t PermissionsFor(const std::string& target)
{
    struct stat status {};
    if (stat(target.c_str(), &status) == 0)
        return status.st_mode & 07777;
    const mode_t mask = umask(0);
    umask(mask);
    return 0666 & ~mask;
}

// The whole content of the file at path; nothing when it cannot be read.
std::optional<std::vector<uint8_t>> ReadWhole(const std::string& path)
{
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return std::nullopt;
    std::vector<uint8_t> content;
    uint8_t chunk[4096];
    ssize_t count = 0;
    while ((count = read(fd, chunk, sizeof chunk)) != 0) {
        if (count < 0 && errno == EINTR)
            continue;
        if (count < 0) {
            close(fd);
            return std::nullopt;
        }
        content.insert(content.end(), chunk, chunk + count);
    }
    close(fd);
    return content;
}

bool WriteWhole(int fd, const uint8_t* data, size_t size)
{
    return lseek(fd, 0, SEEK_SET) == 0 && WriteAll(fd, data, size) && ftruncate(fd, off_t(size)) == 0 &&
           fsync(fd) == 0;
}

// Without a temporary file the target itself is overwritten. A copy of what
// it held is kept and written back when the new bytes do not all arrive, so
// that the file ends up new or as it was, never mixed; a file that did not
// exist before is removed again.
FileWriteResult WriteInPlace(const std::string& target, const uint8_t* data, size_t size)
{
    struct stat status {};
    const bool existed = stat(target.c_str(), &status) == 0;
    const std::optional<std::vector<uint8_t>> copy = existed ? ReadWhole(target) : std::vector<uint8_t>{};
    if (!copy)
        return Failure(errno);
    const int fd = open(target.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0666);
    if (fd < 0)
        return Failure(errno);
    if (!WriteWhole(fd, data, size)) {
        const int error = errno;
        if (existed)
            WriteWhole(fd, copy->data(), copy->size());
        close(fd);
        if (!existed)
            unlink(target.c_str());
        return Failure(error);
    }
    if (close(fd) != 0)
        return Failure(errno);
    return FileWriteResult{true, {}, {}};
}

}  // namespace

// A rename is lasting only once the folder that holds the name is flushed.
// File systems that cannot flush a folder say EINVAL; that is no failure.
int FlushFolder(const std::string& folder)
{
    const int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return errno;
    const int error = fsync(fd) == 0 || errno == EINVAL ? 0 : errno;
    close(fd);
    return error;
}

FileWriteResult WriteFileSafely(const std::string& path, const uint8_t* data, size_t size, FolderFlush flushFolder)
{
    int error = 0;
    const std::optional<std::string> target = FollowLinks(path, error);
    if (!target)
        return Failure(error);

    std::string temporary = DirectoryOf(*target) + "/." + BaseNameOf(*target) + ".XXXXXX";
    const int fd = mkostemp(temporary.data(), O_CLOEXEC);
    if (fd < 0)
        return WriteInPlace(*target, data, size);

    if (fchmod(fd, PermissionsFor(*target)) != 0 || !WriteAll(fd, data, size) || fsync(fd) != 0) {
        error = errno;
        close(fd);
        unlink(temporary.c_str());
        return Failure(error);
    }
    if (close(fd) != 0 || rename(temporary.c_str(), target->c_str()) != 0) {
        error = errno;
        unlink(temporary.c_str());
        return Failure(error);
    }
    // The new file is in place: a folder that will not flush does not undo that.
    FileWriteResult result{true, {}, {}};
    if (const int flushError = flushFolder(DirectoryOf(*target)); flushError != 0)
        result.warning = *target + " is saved, but its folder could not be flushed (" +
                         std::strerror(flushError) + "): a power cut now may lose it";
    return result;
}
#endif

void ShowFileWriteError(Prompts& prompts, const std::string& path, const std::string& reason)
{
    prompts.Message("Error Saving Data ", StrF("The configuration could not be saved to\n%s\n\n%s", path.c_str(), reason.c_str()),
                    Buttons::Ok, Icon::Exclamation);
}

}  // namespace orv
