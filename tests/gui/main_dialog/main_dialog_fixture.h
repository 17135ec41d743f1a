// A main frame with its main dialog on a simulated bus, in virtual time, with
// scripted prompts; devices are added to the bus per test.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include <wx/listctrl.h>

#include "tests/gui/frame_fixture.h"
#include "ui/input_type_dialog.h"
#include "ui/intro_dialog.h"
#include "ui/led4_type_dialog.h"
#include "ui/main_dialog.h"
#include "ui/rs232_type_dialog.h"

namespace orv::test {

// A menu command, as the frame's menu bar sends it.
inline void SendMenuCommand(MainFrame& frame, int id)
{
    wxCommandEvent event(wxEVT_MENU, id);
    event.SetEventObject(&frame);
    frame.ProcessWindowEvent(event);
}

class MainDialogTest : public FrameFixture {
protected:
    void SetUp() override { OpenDialog(services); }

    // The frame as the program starts it, on frameServices, and its main dialog.
    void OpenDialog(Services& frameServices)
    {
        BuildFrame(frameServices);
        frame->OpenInterfaceAndDialog();
        dialog = frame->mainDialog;
        list = dialog->DeviceList();
    }

    SimDevice& AddDevice(SimDeviceKind kind, uint8_t address, const SerialNumber& serial, bool configured = true)
    {
        SimDevice& device = FrameFixture::AddDevice(kind, address, serial);
        device.Info().configured = configured ? 1 : 0;
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

    MainDialog* dialog = nullptr;
    wxListCtrl* list = nullptr;
};

}  // namespace orv::test
