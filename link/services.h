// The seams that core operations take as arguments: time, the log, the user.
#pragma once

#include "link/clock.h"
#include "link/log.h"
#include "link/prompts.h"

namespace orv {

struct Services {
    Clock& clock;
    LogSink& log;
    Prompts& prompts;
};

}  // namespace orv
