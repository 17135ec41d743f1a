#include "wholebus/folder_set_write.h"

#ifndef _WIN32
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <optional>

namespace orv {

namespace {

struct Placed {
    std::string target;
    std::optional<std::string> kept;  // where what held the name before waits
};

FolderSetResult Failure(const std::string& name, int error)
{
    return FolderSetResult{false, name, std::strerror(error), {}};
}

bool WriteAll(int fd, const std::vector<uint8_t>& bytes)
{
    const uint8_t* data = bytes.data();
    size_t size = bytes.size();
    while (size > 0) {
        const ssize_t count = write(fd, data, size);
        if (count < 0 && errno == EINTR)
            continue;
        if (count < 0)
            return false;
        data += count;
        size -= size_t(count);
    }
    return true;
}

// A new, empty file with a name of its own beside target (never a link:
// mkostemp creates it exclusively); its name, or nothing with errno set.
std::optional<std::string> NewFileBeside(const std::string& folder, const std::string& name, int& fd)
{
    std::string path = folder + "/." + name + ".XXXXXX";
    fd = mkostemp(path.data(), O_CLOEXEC);
    if (fd < 0)
        return std::nullopt;
    return path;
}

// The permissions a new file gets: those of the regular file it replaces,
// or those any new file gets. A link in the way lends none.
mode_t PermissionsFor(const std::string& target)
{
    struct stat status {};
    if (lstat(target.c_str(), &status) == 0 && S_ISREG(status.st_mode))
        return status.st_mode & 07777;
    const mode_t mask = umask(0);
    umask(mask);
    return 0666 & ~mask;
}

void RemoveAll(const std::vector<std::string>& paths)
{
    for (const std::string& path : paths)
        unlink(path.c_str());
}

// Undoes the names already taken, last first.
void PutBack(const std::vector<Placed>& placed)
{
    for (auto item = placed.rbegin(); item != placed.rend(); ++item) {
        if (item->kept)
            rename(item->kept->c_str(), item->target.c_str());
        else
            unlink(item->target.c_str());
    }
}

}  // namespace

FolderSetResult WriteFolderSet(const std::string& folder, const std::vector<FolderFile>& files, FolderFlush flushFolder)
{
    // A name held by a folder or anything else but a file or a link cannot
    // be replaced: the set is refused before anything is written.
    for (const FolderFile& file : files) {
        struct stat status {};
        const std::string target = folder + "/" + file.name;
        if (lstat(target.c_str(), &status) == 0 && !S_ISREG(status.st_mode) && !S_ISLNK(status.st_mode))
            return FolderSetResult{false, file.name, S_ISDIR(status.st_mode) ? "a folder has its name" : "something that is no file has its name", {}};
    }

    std::vector<std::string> temporaries;
    for (const FolderFile& file : files) {
        int fd = -1;
        const std::optional<std::string> temporary = NewFileBeside(folder, file.name, fd);
        if (!temporary) {
            const int error = errno;
            RemoveAll(temporaries);
            return Failure(file.name, error);
        }
        temporaries.push_back(*temporary);
        const bool good = fchmod(fd, PermissionsFor(folder + "/" + file.name)) == 0 && WriteAll(fd, file.bytes) &&
                          fsync(fd) == 0;
        const int error = errno;
        if (close(fd) != 0 || !good) {
            RemoveAll(temporaries);
            return Failure(file.name, good ? errno : error);
        }
    }

    std::vector<Placed> placed;
    std::vector<std::string> keptAside;
    for (size_t i = 0; i < files.size(); ++i) {
        Placed item{folder + "/" + files[i].name, std::nullopt};
        struct stat status {};
        int error = 0;
        if (lstat(item.target.c_str(), &status) == 0) {
            // A name of its own for what is in the way: made as an empty file, then taken by the rename.
            int fd = -1;
            const std::optional<std::string> kept = NewFileBeside(folder, files[i].name, fd);
            if (kept)
                close(fd);
            if (!kept || rename(item.target.c_str(), kept->c_str()) != 0) {
                error = errno;
                if (kept)
                    unlink(kept->c_str());
            } else {
                item.kept = kept;
            }
        }
        if (error == 0 && rename(temporaries[i].c_str(), item.target.c_str()) != 0) {
            error = errno;
            if (item.kept)
                rename(item.kept->c_str(), item.target.c_str());
        }
        if (error != 0) {
            PutBack(placed);
            RemoveAll(std::vector<std::string>(temporaries.begin() + long(i), temporaries.end()));
            return Failure(files[i].name, error);
        }
        if (item.kept)
            keptAside.push_back(*item.kept);
        placed.push_back(item);
    }
    RemoveAll(keptAside);

    FolderSetResult result{true, {}, {}, {}};
    if (const int flushError = flushFolder(folder); flushError != 0)
        result.warning = folder + " holds the new files, but could not be flushed (" + std::strerror(flushError) +
                         "): a power cut now may lose them";
    return result;
}

}  // namespace orv
#endif
