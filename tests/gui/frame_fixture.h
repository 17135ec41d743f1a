// The program's main frame in a test, on virtual time, scripted prompts and a
// simulated bus. After the test the frame is destroyed and the log target its
// log window took is given back.
#pragma once

#include <gtest/gtest.h>

#include <wx/app.h>
#include <wx/log.h>
#include <wx/weakref.h>

#include "app/main_frame.h"
#include "tests/support/sim_bus_rig.h"

namespace orv::test {

// Destroys the frame, if there is one, and gives back the log target its log
// window took.
inline void CloseFrame(wxWeakRef<MainFrame>& frame, wxLogWindow*& logWindow)
{
    if (frame)
        frame->Destroy();
    wxTheApp->ProcessPendingEvents();
    if (logWindow && wxLog::GetActiveTarget() == logWindow) {
        wxLog::SetActiveTarget(logWindow->GetOldLog());
        logWindow->DetachOldLog();
        delete logWindow;
    }
    logWindow = nullptr;
}

class FrameFixture : public ::testing::Test, public SimBusRig {
protected:
    void TearDown() override { CloseFrame(frame, logWindow); }

    // The frame on frameServices, its interface not opened yet.
    MainFrame* BuildFrame(Services& frameServices)
    {
        frame = NewMainFrame(frameServices, bus);
        logWindow = frame->logWindow;
        return frame;
    }
    MainFrame* BuildFrame() { return BuildFrame(services); }

    // The frame as the program starts it: the interface opened, the main dialog made.
    void OpenFrame()
    {
        BuildFrame();
        frame->OpenInterfaceAndDialog();
    }

    wxWeakRef<MainFrame> frame;
    wxLogWindow* logWindow = nullptr;
};

}  // namespace orv::test
