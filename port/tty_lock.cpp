#include "port/tty_lock.h"

#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <termios.h>

#include <cerrno>
#include <cstdio>
#include <fstream>
#include <sstream>

#include "port/system_error.h"

namespace orv {

namespace {

// The process holding a lock on the node at path, from /proc/locks, whose
// lines read "1: FLOCK  ADVISORY  WRITE 4711 00:05:12 0 EOF" (major and minor
// of the file system in hex, then the inode).
std::optional<long> LockHolder(const std::string& path)
{
    struct stat node {};
    if (stat(path.c_str(), &node) != 0)
        return std::nullopt;
    std::ifstream locks("/proc/locks");
    std::string line;
    while (std::getline(locks, line)) {
        std::istringstream fields(line);
        std::string number, kind, mode, access, where;
        long pid = 0;
        if (!(fields >> number >> kind) || kind == "->")
            continue;
        if (!(fields >> mode >> access >> pid >> where))
            continue;
        unsigned major = 0, minor = 0;
        unsigned long inode = 0;
        if (std::sscanf(where.c_str(), "%x:%x:%lu", &major, &minor, &inode) != 3)
            continue;
        if (major == ::major(node.st_dev) && minor == ::minor(node.st_dev) && inode == node.st_ino)
            return pid;
    }
    return std::nullopt;
}

std::string ProcessName(long pid)
{
    std::ifstream comm("/proc/" + std::to_string(pid) + "/comm");
    std::string name;
    std::getline(comm, name);
    return name;
}

}  // namespace

std::string InUseText(const std::string& path)
{
    std::string text = "in use by another program";
    if (const std::optional<long> pid = LockHolder(path)) {
        const std::string name = ProcessName(*pid);
        text += " (" + (name.empty() ? std::string() : name + ", ") + "process " + std::to_string(*pid) + ")";
    }
    return text;
}

std::optional<std::string> LockTty(int fd, const std::string& path)
{
    if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int error = errno;
        if (error == EWOULDBLOCK)
            return InUseText(path);
        // A file system without locks still gets the kernel's exclusive mode.
        if (error != ENOLCK && error != EINVAL && error != ENOTSUP)
            return FailedCall("flock", error);
    }
    // A tty without an exclusive mode is kept by the lock alone.
    ioctl(fd, TIOCEXCL);
    return std::nullopt;
}

}  // namespace orv
