// The system's own words for a failed call, the same way on every platform:
// strerror's text for an errno on POSIX, FormatMessage's for a GetLastError or
// WSAGetLastError code on Windows.
#pragma once

#include <string>

namespace orv {

// "Permission denied"; the number itself when the system has no words for it.
std::string SystemErrorText(int error);

// "open: Permission denied": the call that failed and why.
std::string FailedCall(const std::string& call, int error);

}  // namespace orv
