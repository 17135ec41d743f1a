// The seams that core operations take as arguments: time, the log, the user.
#pragma once

#include "services/clock.h"
#include "services/log.h"
#include "services/prompts.h"

namespace orv {

struct Services {
    Clock& clock;
    LogSink& log;
    Prompts& prompts;
};

}  // namespace orv
