// A tty for this program alone. Two programs on one bus interface eat each
// other's acknowledgements, so the port is locked as it is opened: an
// advisory lock (flock) on the device node, which every program that takes
// it sees, root included, and the kernel's exclusive mode (TIOCEXCL), which
// refuses other programs' opens.
#pragma once

#include <optional>
#include <string>

namespace orv {

// Locks the open tty fd (the node at path). Nothing when it is ours now;
// otherwise why not: "in use by another program (orvtool, process 4711)".
std::optional<std::string> LockTty(int fd, const std::string& path);

// The words for a port that another program holds, naming the program when
// the system tells which one holds its lock.
std::string InUseText(const std::string& path);

}  // namespace orv
