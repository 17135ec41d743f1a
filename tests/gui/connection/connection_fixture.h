// The program's frame on a line of real ports, with a settings file of the
// test's own, started and stopped as the program is; and the connection
// dialog driven while it is shown modally.
#pragma once

#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <wx/button.h>
#include <wx/config.h>
#include <wx/listctrl.h>
#include <wx/log.h>
#include <wx/stattext.h>
#include <wx/statusbr.h>
#include <wx/textctrl.h>
#include <wx/weakref.h>

#include "app/main_frame.h"
#include "port/port_address.h"
#include "sim/demo_bus.h"
#include "tests/gui/main_dialog/main_dialog_fixture.h"
#include "tests/support/pty_bus.h"
#include "ui/connection_dialog.h"
#include "ui/main_dialog.h"
#include "ui/settings.h"

namespace orv::test {

namespace fs = std::filesystem;

// The dialog the frame's command opened, once it is up.
inline ConnectionDialog* OpenConnectionDialog()
{
    for (wxWindow* window : wxTopLevelWindows)
        if (auto* dialog = dynamic_cast<ConnectionDialog*>(window); dialog && dialog->IsModal())
            return dialog;
    return nullptr;
}

// The result as one line, as the dialog wraps it to its width.
inline std::string Result(const ConnectionDialog& dialog)
{
    wxString text = dialog.ResultText()->GetLabel();
    text.Replace("\n", " ");
    return text.ToStdString();
}

inline void Click(wxWindow* button)
{
    wxCommandEvent event(wxEVT_BUTTON, button->GetId());
    event.SetEventObject(button);
    button->ProcessWindowEvent(event);
}

// Runs act on the dialog the command opens, while it is shown modally.
inline void WithDialog(wxWindow& frame, const std::function<void()>& open, const std::function<void(ConnectionDialog&)>& act)
{
    bool acted = false;
    frame.CallAfter([&] {
        ConnectionDialog* dialog = OpenConnectionDialog();
        ASSERT_NE(dialog, nullptr);
        acted = true;
        act(*dialog);
        // Whatever act left open is cancelled.
        if (dialog->IsModal())
            dialog->EndModal(wxID_CANCEL);
    });
    open();
    EXPECT_TRUE(acted);
}

class ConnectionDialogTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(demoPty.Ready());
        ASSERT_TRUE(relayPty.Ready());
        settingsFolder = fs::temp_directory_path() / ("orv-connection-" + std::to_string(::getpid()));
        fs::remove_all(settingsFolder);
    }
    void TearDown() override
    {
        Stop();
        delete wxConfigBase::Set(nullptr);
        fs::remove_all(settingsFolder);
    }

    // The program's start: the settings read, the line the saved interface
    // (or port when given, as --port), the frame opened on it.
    void Start(const std::string& commandLinePort = "")
    {
        OpenedSettings settings = OpenSettingsFile((settingsFolder / "orvtool.conf").string());
        wxConfigBase::Set(settings.config.release());
        const std::string port = commandLinePort.empty() ? SavedInterface().value_or("") : commandLinePort;
        line = std::make_unique<BusLine>([](const std::string& p) { return MakePortInterface(p); }, port);
        frame = NewMainFrame(services, *line);
        logWindow = frame->logWindow;
        frame->OpenInterfaceAndDialog();
    }

    void Stop()
    {
        CloseFrame(frame, logWindow);
        line.reset();
        delete wxConfigBase::Set(nullptr);
    }

    void Choose(const std::function<void(ConnectionDialog&)>& act)
    {
        WithDialog(*frame, [&] { SendMenuCommand(*frame, ID_CONNECTION); }, act);
    }

    std::vector<int> QuickDiscovery()
    {
        SendMenuCommand(*frame, ID_QUICK_DISCOVERY);
        const DeviceRegistry& registry = frame->mainDialog->Registry();
        std::vector<int> addresses;
        for (size_t i = 0; i < registry.Count(); ++i)
            addresses.push_back(registry.Record(i).address);
        return addresses;
    }

    std::string InterfaceStatus() const
    {
        return frame->GetStatusBar()->GetStatusText(INTERFACE_STATUS_FIELD).ToStdString();
    }

    SteadyClock clock;
    CollectingLog log;
    ScriptedPrompts prompts;
    Services services{clock, log, prompts};

    DemoBus demo{clock};
    PtyBus demoPty{demo.Bus()};
    SimBus relayBus{clock};
    SimDevice relay{SimDeviceKind::Relay, 9, {0x34, 0xAB, 0x12, 0x00}};
    bool attached = (relayBus.Attach(relay), true);
    PtyBus relayPty{relayBus};

    fs::path settingsFolder;
    std::unique_ptr<BusLine> line;
    wxWeakRef<MainFrame> frame;
    wxLogWindow* logWindow = nullptr;
};

}  // namespace orv::test
