// The Input8 panel inside the real main frame, on a simulated bus in virtual
// time with an Input8 at 3, an RS232 at 5, an LED4PD at 7 and a Relay at 9,
// all four in the registry, the Input8 selected. Handlers are reached as the
// user reaches them: by command events from the panel's controls.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include <wx/button.h>
#include <wx/choice.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include "model/catalogue.h"
#include "tests/gui/frame_fixture.h"
#include "ui/input_type_dialog.h"
#include "ui/main_dialog.h"

namespace orv::test {

constexpr uint8_t INPUT8_ADDRESS = 3;
constexpr uint8_t RS232_ADDRESS = 5;
constexpr uint8_t LED4PD_ADDRESS = 7;
constexpr uint8_t RELAY_ADDRESS = 9;

// Every destination list once a configuration is shown.
inline const std::vector<std::string> ALL_DESTINATIONS = {"Unused", " ORV-LED4PD  @ 7 ", " ORV-Relay  @ 9 ",
                                                          " ORV-RS232  @ 5 "};

// The LED4PD's entry in the destination lists: the first device in registry order.
constexpr int LED4PD_ENTRY = 1;

class Input8PanelTest : public FrameFixture {
protected:
    void SetUp() override
    {
        OpenFrame();
        ASSERT_NE(frame->mainDialog, nullptr);
        panel = frame->mainDialog->InputPanel();
        ASSERT_NE(panel, nullptr);
        for (SimDevice* device : {&input8, &rs232, &leds, &relay})
            bus.Attach(*device);
        RegisterAll(true);
        panel->SetDeviceAddress(INPUT8_ADDRESS);
    }

    DeviceRegistry& Registry() { return frame->mainDialog->Registry(); }

    // The four devices in the registry, the Input8 first and selected.
    void RegisterAll(bool input8Configured)
    {
        Registry().ClearDevices();
        Register(input8, input8Configured);
        Register(leds, true);
        Register(relay, true);
        Register(rs232, true);
        Registry().Select(0);
    }

    void Register(const SimDevice& device, bool configured)
    {
        DeviceRecord record;
        record.name = device.Info().name;
        record.serialNumber = device.Info().serial;
        record.firmwareMajor = 1;
        record.firmwareMinor = 0x2A;
        record.address = device.Address();
        record.typeCode = TypeFromName(record.name);
        record.configured = configured;
        Registry().Append(record);
    }

    template <typename T>
    T* Control(int id) const
    {
        return wxDynamicCast(panel->FindWindow(id), T);
    }
    wxChoice* Choice(int id) const { return Control<wxChoice>(id); }

    static std::vector<std::string> Entries(const wxChoice* choice)
    {
        std::vector<std::string> entries;
        for (unsigned i = 0; i < choice->GetCount(); ++i)
            entries.push_back(choice->GetString(i).ToStdString());
        return entries;
    }

    // Selects an entry as the user does: the choice changes, then it tells its parents.
    void Choose(int id, int entry)
    {
        wxChoice* choice = Choice(id);
        ASSERT_NE(choice, nullptr) << id;
        choice->SetSelection(entry);
        wxCommandEvent event(wxEVT_CHOICE, id);
        event.SetEventObject(choice);
        event.SetInt(entry);
        choice->ProcessWindowEvent(event);
    }
    void Click(int id)
    {
        auto* button = Control<wxButton>(id);
        ASSERT_NE(button, nullptr) << id;
        wxCommandEvent event(wxEVT_BUTTON, id);
        event.SetEventObject(button);
        button->ProcessWindowEvent(event);
    }

    // Whether the panel offers rows, Save and Export, or says instead that
    // the configuration was not loaded.
    bool ShowsRows() const
    {
        const bool rows = wxWindow::FindWindowByName("InputConfig", panel)->IsShown();
        EXPECT_EQ(Control<wxButton>(ID_INPUT8_SAVE)->IsEnabled(), rows);
        EXPECT_EQ(Control<wxButton>(ID_INPUT8_EXPORT)->IsEnabled(), rows);
        EXPECT_EQ(wxWindow::FindWindowByName("notLoadedNotice", panel)->IsShown(), !rows);
        return rows;
    }

    std::string Status() const
    {
        return wxStaticCast(wxWindow::FindWindowByName("statusLine", panel), wxStaticText)->GetLabel().ToStdString();
    }

    // The fields of row's action parameters, its bounded values first.
    std::vector<wxTextCtrl*> ParameterTexts(size_t row) const
    {
        return Children<wxTextCtrl>(row, ID_INPUT8_FREE_TEXT_BASE + int(row));
    }

    // A name and five rows: one for each kind of destination and parameters, and an unused one with free text.
    static Input8Config SampleConfig()
    {
        Input8Config config;
        config.name = "Hall Switches";
        auto set = [&](size_t r, uint8_t input, ChangeType change, uint8_t destination, uint16_t action,
                       const ParameterValues& values) {
            config.rows[r] = {input, change, destination, action, EncodeParameters(action, values)};
        };
        set(0, 0, ChangeType::Open, LED4PD_ADDRESS, ACTION_SET_1_LED_LEVEL, {{2, 200}, {}, ""});
        set(1, 1, ChangeType::Close, RELAY_ADDRESS, ACTION_RELAY_ENERGIZE, {{3}, {}, ""});
        set(2, 2, ChangeType::Change, RS232_ADDRESS, ACTION_SEND_STRING, {{12}, {}, ""});
        set(3, 7, ChangeType::Open, LED4PD_ADDRESS, ACTION_SET_LED_AUTOMODE, {{2}, {"17", "250"}, ""});
        set(4, 4, ChangeType::Close, 0, ACTION_UNUSED, {{}, {}, "abc"});
        return config;
    }

    SimDevice input8{SimDeviceKind::Input8, INPUT8_ADDRESS, {0x31, 0x10, 0x00, 0x21}};
    SimDevice rs232{SimDeviceKind::RS232, RS232_ADDRESS, {0x52, 0x20, 0x00, 0x21}};
    SimDevice leds{SimDeviceKind::LED4PD, LED4PD_ADDRESS, {0x73, 0x30, 0x00, 0x21}};
    SimDevice relay{SimDeviceKind::Relay, RELAY_ADDRESS, {0x94, 0x40, 0x00, 0x21}};
    Input_Type_Dialog* panel = nullptr;

private:
    // The controls of type T beside row's choices, in order, but the one with identifier except.
    template <typename T>
    std::vector<T*> Children(size_t row, int except = wxID_NONE) const
    {
        std::vector<T*> found;
        wxWindow* box = Choice(ID_INPUT8_ACTION_BASE + int(row))->GetParent();
        for (wxWindow* child : box->GetChildren())
            if (auto* control = wxDynamicCast(child, T); control && control->GetId() != except)
                found.push_back(control);
        return found;
    }
};

}  // namespace orv::test
