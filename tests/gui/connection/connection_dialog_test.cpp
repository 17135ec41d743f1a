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
