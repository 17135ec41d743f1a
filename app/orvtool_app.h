// The application object: owns the clock, the log, the prompts and the bus
// backend, and starts the main frame behind the splash picture.
#pragma once

#include <memory>

#include <wx/app.h>

#include "app/bus_backend.h"
#include "services/services.h"
#include "ui/wx_log_sink.h"
#include "ui/wx_prompts.h"

namespace orv {

class OrvToolApp : public wxApp {
public:
    bool OnInit() override;

private:
    SteadyClock clock_;
    WxLogSink log_;
    WxPrompts prompts_;
    Services services_{clock_, log_, prompts_};
    std::unique_ptr<BusBackend> backend_;
};

}  // namespace orv
