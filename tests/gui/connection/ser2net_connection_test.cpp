// The connection dialog with a real ser2net in front of the relay's bus: its
// rfc2217 accepter takes one connection at a time, so Test on the server in
// use works only when the line in use lets go of it first. Chosen, it is the
// line of the next start.
#include "tests/gui/connection/connection_fixture.h"
#include "tests/support/ser2net_server.h"

namespace orv::test {
namespace {

class Ser2netConnectionTest : public ConnectionDialogTest {
protected:
    void SetUp() override
    {
        ConnectionDialogTest::SetUp();
        fs::create_directories(settingsFolder);
        ASSERT_TRUE(server.Start(settingsFolder.string(), relayPty.SlavePath()));
    }

    void TearDown() override
    {
        Stop();
        server.Stop();
        ConnectionDialogTest::TearDown();
    }

    std::string Url() const { return server.Url("rfc2217"); }

    Ser2netServer server{{"rfc2217"}};
};

TEST_F(Ser2netConnectionTest, TheServerInUseIsTestedChosenAndUsedAtTheNextStart)
{
    Start(Url());
    EXPECT_EQ(InterfaceStatus(), "Interface: " + Url());
    EXPECT_EQ(QuickDiscovery(), std::vector<int>{9});

    Choose([&](ConnectionDialog& dialog) {
        EXPECT_EQ(dialog.ChosenPort(), Url());
        Click(dialog.TestButton());
        EXPECT_EQ(Result(dialog), Url() + " opened; 1 device answered a broadcast: ORV-Relay (00 12 AB 34) at address 9.");
        dialog.AddressField()->SetValue(demoPty.SlavePath());
        Click(dialog.FindWindow(wxID_OK));
    });
    EXPECT_EQ(QuickDiscovery(), (std::vector<int>{3, 5, 7, 9, 12}));

    Choose([&](ConnectionDialog& dialog) {
        dialog.AddressField()->SetValue(Url());
        Click(dialog.FindWindow(wxID_OK));
    });
    EXPECT_EQ(QuickDiscovery(), std::vector<int>{9});
    EXPECT_TRUE(prompts.boxes.empty());

    Stop();
    Start();
    EXPECT_EQ(line->Port(), Url());
    EXPECT_EQ(QuickDiscovery(), std::vector<int>{9});
}

}  // namespace
}  // namespace orv::test
