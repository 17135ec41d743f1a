#include "ui/until_painted.h"

#include <memory>

#include <wx/app.h>
#include <wx/stopwatch.h>
#include <wx/utils.h>
#include <wx/window.h>

namespace orv {

bool WaitUntilPainted(wxWindow* window, long maxMillis)
{
    // Shared with the handler, which stays bound after this returns.
    auto painted = std::make_shared<bool>(false);
    window->Bind(wxEVT_PAINT, [painted](wxPaintEvent& event) {
        *painted = true;
        event.Skip();
    });
    wxStopWatch waited;
    while (!*painted && waited.Time() < maxMillis) {
        wxTheApp->Yield(true);
        if (!*painted)
            wxMilliSleep(5);
    }
    return *painted;
}

}  // namespace orv
