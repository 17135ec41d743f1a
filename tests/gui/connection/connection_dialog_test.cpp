// The connection dialog as a technician uses it, in real time against two
// simulated buses served on pseudo-terminals: the demonstration bus, on which
// the program starts, and a bus with one relay. Choose, Test, OK, restart: the
// same interface is used. In orvtool-sim the dialog names its simulated bus.
#include <gtest/gtest.h>

#include <filesystem>

#include <wx/button.h>
#include <wx/config.h>
#include <wx/listctrl.h>
#include <wx/log.h>
#include <wx/stattext.h>
#include <wx/statusbr.h>
#include <wx/textctrl.h>
#include <wx/weakref.h>

#include "app/main_frame.h"
#include "bench/pty_bus.h"
#include "link/port_address.h"
#include "sim/demo_bus.h"
#include "tests/gui/frame_fixture.h"
#include "tests/gui/main_dialog/main_dialog_fixture.h"
#include "ui/connection_dialog.h"
#include "ui/main_dialog.h"
#include "ui/settings.h"

namespace orv::test {
namespace {

namespace fs = std::filesystem;

// The dialog the frame's command opened, once it is up.
ConnectionDialog* OpenConnectionDialog()
{
    for (wxWindow* window : wxTopLevelWindows)
        if (auto* dialog = dynamic_cast<ConnectionDialog*>(window); dialog && dialog->IsModal())
            return dialog;
    return nullptr;
}

// The result as one line, as the dialog wraps it to its width.
std::string Result(const ConnectionDialog& dialog)
{
    wxString text = dialog.ResultText()->GetLabel();
    text.Replace("\n", " ");
    return text.ToStdString();
}

void Click(wxWindow* button)
{
    wxCommandEvent event(wxEVT_BUTTON, button->GetId());
    event.SetEventObject(button);
    button->ProcessWindowEvent(event);
}

// Runs act on the dialog the command opens, while it is shown modally.
void WithDialog(wxWindow& frame, const std::function<void()>& open, const std::function<void(ConnectionDialog&)>& act)
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
        ShowInterfaceInUse(*frame, line.get());
    }

    void Stop()
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
        line.reset();
        delete wxConfigBase::Set(nullptr);
    }

    void Choose(const std::function<void(ConnectionDialog&)>& act)
    {
        WithDialog(*frame, [&] { ChooseConnection(*frame, line.get(), *frame->mainDialog); }, act);
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

TEST_F(ConnectionDialogTest, ChooseTestOkAndRestartOnTheSameInterface)
{
    Start(demoPty.SlavePath());
    EXPECT_EQ(InterfaceStatus(), "Interface: " + demoPty.SlavePath());
    EXPECT_EQ(QuickDiscovery(), (std::vector<int>{3, 5, 7, 9, 12}));

    Choose([&](ConnectionDialog& dialog) {
        // The line in use is offered as it is.
        EXPECT_EQ(dialog.ChosenPort(), demoPty.SlavePath());
        dialog.AddressField()->SetValue("tcp://nowhere");
        Click(dialog.TestButton());
        EXPECT_NE(Result(dialog).find("is no HOST:PORT"), std::string::npos);

        dialog.AddressField()->SetValue(relayPty.SlavePath());
        Click(dialog.TestButton());
        EXPECT_EQ(Result(dialog),
                  relayPty.SlavePath() +
                      " opened; 1 device answered a broadcast: ORV-Relay (00 12 AB 34) at address 9.");
        // A test changes nothing: the line in use is still the demonstration bus.
        EXPECT_EQ(line->Port(), demoPty.SlavePath());
        Click(dialog.FindWindow(wxID_OK));
        EXPECT_FALSE(dialog.IsModal());
    });
    EXPECT_EQ(line->Port(), relayPty.SlavePath());
    EXPECT_EQ(InterfaceStatus(), "Interface: " + relayPty.SlavePath());
    // The devices of the line before are gone from the list.
    EXPECT_EQ(frame->mainDialog->DeviceList()->GetItemCount(), 0);
    EXPECT_EQ(QuickDiscovery(), std::vector<int>{9});
    EXPECT_TRUE(prompts.boxes.empty()) << prompts.Captions().front();

    Stop();
    Start();
    EXPECT_EQ(line->Port(), relayPty.SlavePath());
    EXPECT_EQ(InterfaceStatus(), "Interface: " + relayPty.SlavePath());
    EXPECT_EQ(QuickDiscovery(), std::vector<int>{9});

    // --port overrides the saved choice for its run only.
    Stop();
    Start(demoPty.SlavePath());
    EXPECT_EQ(QuickDiscovery(), (std::vector<int>{3, 5, 7, 9, 12}));
    Stop();
    Start();
    EXPECT_EQ(line->Port(), relayPty.SlavePath());
}

TEST_F(ConnectionDialogTest, APortThatDoesNotOpenKeepsTheDialogAndTheLineInUse)
{
    Start(demoPty.SlavePath());
    const std::string missing = (settingsFolder / "no-such-tty").string();
    Choose([&](ConnectionDialog& dialog) {
        dialog.AddressField()->SetValue(missing);
        Click(dialog.FindWindow(wxID_OK));
        EXPECT_TRUE(dialog.IsModal());
        EXPECT_EQ(Result(dialog),
                  missing + " cannot be opened as the bus interface: check the name or address, that the interface "
                            "is connected or the server running, and that no other program holds it.");
    });
    EXPECT_EQ(line->Port(), demoPty.SlavePath());
    EXPECT_EQ(QuickDiscovery(), (std::vector<int>{3, 5, 7, 9, 12}));
    EXPECT_FALSE(SavedInterface());
    EXPECT_TRUE(prompts.boxes.empty());
}

class SimulatedConnectionTest : public MainDialogTest {};

TEST_F(SimulatedConnectionTest, TheSimulatedBusIsNamedAndTested)
{
    AddDevice(SimDeviceKind::Relay, 9, {0x34, 0xAB, 0x12, 0x00});
    ShowInterfaceInUse(*frame, nullptr);
    EXPECT_EQ(frame->GetStatusBar()->GetStatusText(INTERFACE_STATUS_FIELD), "Interface: simulated bus");
    WithDialog(*frame, [&] { ChooseConnection(*frame, nullptr, *dialog); }, [&](ConnectionDialog& connection) {
        EXPECT_EQ(connection.InterfaceList()->GetItemCount(), 1);
        EXPECT_EQ(connection.InterfaceList()->GetItemText(0), "simulated bus");
        EXPECT_FALSE(connection.AddressField()->IsEnabled());
        Click(connection.TestButton());
        EXPECT_EQ(Result(connection),
                  "simulated bus opened; 1 device answered a broadcast: ORV-Relay (00 12 AB 34) at address 9.");
    });
}

}  // namespace
}  // namespace orv::test
