// The connection dialog as a technician uses it, in real time against two
// simulated buses served on pseudo-terminals: the demonstration bus, on which
// the program starts, and a bus with one relay. Choose, Test, OK, restart: the
// same interface is used. In orvtool-sim the dialog names its simulated bus.
#include "tests/gui/connection/connection_fixture.h"

namespace orv::test {
namespace {

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

// Without an interface and without a port named, the not-found box is
// followed by the connection dialog: a line chosen there is used; only
// Cancel ends the program.
TEST_F(ConnectionDialogTest, WithoutAnInterfaceTheConnectionDialogFollowsTheNotFoundBox)
{
    for (bool choose : {true, false}) {
        SCOPED_TRACE(choose ? "a line chosen" : "cancelled");
        OpenedSettings settings = OpenSettingsFile((settingsFolder / "orvtool.conf").string());
        wxConfigBase::Set(settings.config.release());
        // No FTDI interface on the test machine: the first one is not found.
        line = std::make_unique<BusLine>([](const std::string& p) { return MakePortInterface(p); }, "");
        frame = NewMainFrame(services, *line);
        logWindow = frame->logWindow;
        frame->connectWhenNotFound = true;
        bool closeRequested = false;
        frame->Bind(wxEVT_CLOSE_WINDOW, [&](wxCloseEvent& event) {
            closeRequested = true;
            event.Skip();
        });
        prompts.boxes.clear();
        bool acted = false;
        wxTheApp->CallAfter([&] {
            ConnectionDialog* dialog = OpenConnectionDialog();
            ASSERT_NE(dialog, nullptr);
            acted = true;
            EXPECT_EQ(prompts.Captions(), std::vector<std::string>{"ORV-NET  not found Error"});
            if (choose) {
                dialog->AddressField()->SetValue(relayPty.SlavePath());
                Click(dialog->FindWindow(wxID_OK));
            } else {
                dialog->EndModal(wxID_CANCEL);
            }
        });

        frame->OpenInterfaceAndDialog();

        EXPECT_TRUE(acted);
        EXPECT_EQ(closeRequested, !choose);
        if (choose) {
            EXPECT_EQ(line->Port(), relayPty.SlavePath());
            EXPECT_EQ(InterfaceStatus(), "Interface: " + relayPty.SlavePath());
            EXPECT_EQ(QuickDiscovery(), std::vector<int>{9});
        }
        Stop();
    }
}

// A verdict speaks of the port it was given for: typing another address or
// choosing another row takes it away.
TEST_F(ConnectionDialogTest, ATestsVerdictGoesWhenAnotherPortIsChosen)
{
    Start(demoPty.SlavePath());
    Choose([&](ConnectionDialog& dialog) {
        const std::string opening = Result(dialog);
        dialog.AddressField()->SetValue(relayPty.SlavePath());
        Click(dialog.TestButton());
        ASSERT_NE(Result(dialog), opening);
        dialog.AddressField()->AppendText("x");
        EXPECT_EQ(Result(dialog), opening);

        Click(dialog.TestButton());
        ASSERT_NE(Result(dialog), opening);
        dialog.InterfaceList()->SetItemState(0, wxLIST_STATE_SELECTED, wxLIST_STATE_SELECTED);
        EXPECT_EQ(Result(dialog), opening);
    });
}

class SimulatedConnectionTest : public MainDialogTest {};

TEST_F(SimulatedConnectionTest, TheSimulatedBusIsNamedAndTested)
{
    AddDevice(SimDeviceKind::Relay, 9, {0x34, 0xAB, 0x12, 0x00});
    EXPECT_EQ(frame->GetStatusBar()->GetStatusText(INTERFACE_STATUS_FIELD), "Interface: simulated bus");
    WithDialog(*frame, [&] { SendMenuCommand(*frame, ID_CONNECTION); }, [&](ConnectionDialog& connection) {
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
