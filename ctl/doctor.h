// orvctl doctor: the checks a technician runs first on a new PC, one line each
// with its verdict and the fix.
#pragma once

#include <string>

#include "ctl/run.h"

namespace orv {

enum class Verdict { Ok, Warn, Fail };

struct DoctorCheck {
    explicit DoctorCheck(std::string checkName, Verdict checkVerdict = Verdict::Ok, std::string checkDetail = {},
                         std::string checkFix = {})
        : name(std::move(checkName)), verdict(checkVerdict), detail(std::move(checkDetail)), fix(std::move(checkFix))
    {
    }

    std::string name;
    Verdict verdict = Verdict::Ok;
    std::string detail;
    std::string fix;  // empty when there is nothing to do
    // The interface went away during the check: no check runs after it.
    bool interfaceLost = false;
};

// "ok    echo         a frame of 12 bytes came back byte for byte in 2 ms".
std::string DoctorLine(const DoctorCheck& check);

// The command that lowers the latency timer of the tty at path to 1 ms; a
// udev link (/dev/serial/by-id/...) is followed to the tty it names.
std::string LatencyFix(const std::string& path);

int DoctorCommand(Run& run);

}  // namespace orv
