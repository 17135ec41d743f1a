// Ctrl+C in the program: a handler that only counts the requests (on Linux a
// SIGINT handler, on Windows a console control handler); the running command
// asks for the count where it can stop safely.
#pragma once

#include "ctl/orvctl.h"

namespace orv {

class CtrlC final : public StopSource {
public:
    void Arm() override;
    int Count() override;
};

}  // namespace orv
