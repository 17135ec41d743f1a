// A main frame with its main dialog on a simulated bus, in virtual time, with
// scripted prompts; devices are added to the bus per test.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include <wx/app.h>
#include <wx/listctrl.h>
#include <wx/log.h>
#include <wx/weakref.h>

#include "app/main_frame.h"
#include "link/clock.h"
#include "link/log.h"
#include "sim/sim_bus.h"
#include "sim/sim_device.h"
#include "tests/support/scripted_prompts.h"
#include "ui/input_type_dialog.h"
#include "ui/intro_dialog.h"
#include "ui/led4_type_dialog.h"
#include "ui/main_dialog.h"
#include "ui/rs232_type_dialog.h"

namespace orv::test {

class MainDialogTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        frame = NewMainFrame(services, bus);
        logWindow = frame->logWindow;
        frame->OpenInterfaceAndDialog();
        dialog = frame->mainDialog;
        list = dialog->DeviceList();
    }

    void TearDown() override
    {
        if (frame)
            frame->Destroy();
        wxTheApp->ProcessPendingEvents();
        // The frame's log window made itself the log target; give it back.
        if (logWindow && wxLog::GetActiveTarget() == logWindow) {
            wxLog::SetActiveTarget(logWindow->GetOldLog());
            logWindow->DetachOldLog();
            delete logWindow;
        }
    }

    SimDevice& AddDevice(SimDeviceKind kind, uint8_t address, const SerialNumber& serial, bool configured = true)
    {
        devices.push_back(std::make_unique<SimDevice>(kind, address, serial));
        SimDevice& device = *devices.back();
        device.Info().configured = configured ? 1 : 0;
        bus.Attach(device);
        return device;
    }

    // A selection in the list, as the list control reports it.
    void SelectRow(long row)
    {
        wxListEvent event(wxEVT_LIST_ITEM_SELECTED, ID_DEVICE_LIST);
        event.SetEventObject(list);
        event.SetIndex(row);
        list->ProcessWindowEvent(event);
    }

    void ClickColumn(int column)
    {
        wxListEvent event(wxEVT_LIST_COL_CLICK, ID_DEVICE_LIST);
        event.SetEventObject(list);
        event.m_col = column;
        list->ProcessWindowEvent(event);
    }

    std::vector<std::string> Column(int column) const
    {
        std::vector<std::string> texts;
        for (long row = 0; row < list->GetItemCount(); ++row)
            texts.push_back(list->GetItemText(row, column).ToStdString());
        return texts;
    }

    // The panels of the panel area that are shown, in the order the dialog holds them.
    std::vector<wxWindow*> ShownPanels() const
    {
        std::vector<wxWindow*> shown;
        for (wxWindow* panel : std::vector<wxWindow*>{dialog->IntroPanel(), dialog->InputPanel(),
                                                      dialog->RS232Panel(), dialog->InfoPanel()})
            if (panel->IsShown())
                shown.push_back(panel);
        return shown;
    }

    VirtualClock clock;
    CollectingLog log;
    ScriptedPrompts prompts;
    Services services{clock, log, prompts};
    SimBus bus{clock};
    std::vector<std::unique_ptr<SimDevice>> devices;
    wxWeakRef<MainFrame> frame;
    wxLogWindow* logWindow = nullptr;
    MainDialog* dialog = nullptr;
    wxListCtrl* list = nullptr;
};

}  // namespace orv::test
