// The seams that core operations take as arguments: time, the log, the user
// and the user's requests to stop.
#pragma once

#include "services/clock.h"
#include "services/log.h"
#include "services/prompts.h"
#include "services/stop_requests.h"

namespace orv {

struct Services {
    Clock& clock;
    LogSink& log;
    Prompts& prompts;
    // Ctrl+C in orvctl; the windowed program's dialogs have their own Cancel.
    StopRequests& stop = NoStopRequestsAtAll();
};

}  // namespace orv
