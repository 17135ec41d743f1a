#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/link/link_rig.h"

namespace orv::test {
namespace {

const char* const NOT_FOUND_CAPTION = "ORV-NET  not found Error";
const char* const NOT_FOUND_TEXT =
    "ORVANTA TOOL: ORV-Net Interface not found! \n\nOrvTool cannot continue. \n\nPlease connect ORV-NET to PC & "
    "restart OrvTool";
const char* const WARNING_CAPTION = "ORV-NET Warning";
const char* const WARNING_TEXT =
    "ORVANTA TOOL: Multiple USB devices found! \n\nOrvTool will try to use the first one \n\n Please restart ORVTool "
    "with only ORV-NET USB connected";
const char* const MULTIPLE_LINE = "More than 1 USB device was found. Please connect ORV-NET USB only";

DeviceDetail Interface(const std::string& serial)
{
    DeviceDetail detail;
    detail.serialNumber = serial;
    detail.description = "ORV-NET";
    detail.id = 0x04036001;
    return detail;
}

// A port given by name that is no FTDI chip (a ttyS, a server) is not called one.
TEST(OpenBusInterface, OnlyAnFtdiChipIsLoggedAsAnFtdiDevice)
{
    LinkRig rig;
    DeviceDetail serial;
    serial.serialNumber = "ttyS0";
    serial.description = "tty";
    rig.bus.SetInterfaces({serial});
    OpenBusInterface();
    EXPECT_TRUE(rig.log.Contains(" Interface found ttyS0 - tty ")) << ::testing::PrintToString(rig.log.lines);
    EXPECT_FALSE(rig.log.Contains("FTDI Device Fond ttyS0 - tty "));
}

TEST(OpenBusInterface, FindsAndOpensTheInterface)
{
    struct Case {
        const char* name;
        int interfaces;
        int openFailures;
        bool opened;
        const char* boxCaption;  // nullptr: no box
        std::vector<uint64_t> listTimes;
        std::vector<std::string> opens;
        uint64_t elapsedMillis;
    };
    const Case cases[] = {
        {"no interface", 0, 0, false, NOT_FOUND_CAPTION, {0, 999, 1998, 2997, 3996}, {}, 4995},
        {"one interface", 1, 0, true, nullptr, {0}, {"Open 0"}, 2253},
        {"one interface, opens at the sixth attempt", 1, 5, true, nullptr, {0},
         {"Open 0", "Open 0", "Open 0", "Open 0", "Open 0", "Open 0"}, 999 + 6 * 999 + 255},
        {"one interface that never opens", 1, 6, false, NOT_FOUND_CAPTION, {0},
         {"Open 0", "Open 0", "Open 0", "Open 0", "Open 0", "Open 0"}, 999 + 6 * 999},
        {"two interfaces", 2, 0, true, WARNING_CAPTION, {0}, {"Open 0"}, 2253},
        {"two interfaces, the first never opens", 2, 6, true, WARNING_CAPTION, {0},
         {"Open 0", "Open 0", "Open 0", "Open 0", "Open 0", "Open 0", "Open 1"}, 999 + 7 * 999 + 255},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        LinkRig rig;
        std::vector<DeviceDetail> interfaces;
        for (int i = 0; i < c.interfaces; ++i)
            interfaces.push_back(Interface("ORV0000" + std::to_string(i + 1)));
        rig.bus.SetInterfaces(interfaces);
        rig.bus.SetOpenFailures(c.openFailures);

        EXPECT_EQ(OpenBusInterface(), c.opened);
        EXPECT_EQ(rig.Now(), c.elapsedMillis);
        EXPECT_EQ(rig.usb.TimesOf("List"), c.listTimes);
        std::vector<std::string> opens;
        for (const auto& call : rig.usb.Calls())
            if (call.rfind("Open", 0) == 0)
                opens.push_back(call);
        EXPECT_EQ(opens, c.opens);
        EXPECT_EQ(rig.bus.IsOpen(), c.opened);
        EXPECT_EQ(rig.log.Contains(MULTIPLE_LINE), c.interfaces > 1);
        for (int i = 0; i < c.interfaces; ++i)
            EXPECT_TRUE(rig.log.Contains(StrF("FTDI Device Fond ORV0000%d - ORV-NET ", i + 1)));

        if (!c.boxCaption) {
            EXPECT_TRUE(rig.prompts.boxes.empty());
            continue;
        }
        ASSERT_EQ(rig.prompts.boxes.size(), 1u);
        const MessageBoxOptions& box = rig.prompts.boxes[0];
        EXPECT_EQ(box.caption, c.boxCaption);
        EXPECT_EQ(box.text, c.opened ? WARNING_TEXT : NOT_FOUND_TEXT);
        EXPECT_EQ(box.buttons, Buttons::Ok);
        EXPECT_EQ(box.icon, Icon::Exclamation);
    }
}

TEST(OpenBusInterface, SetsTheLineAndLeavesTheOtherFlags)
{
    LinkRig rig;
    // The driver's record with every flag but binary set.
    FtHandle handle = 0;
    ASSERT_EQ(rig.bus.Open(0, handle), FT_OK);
    CommState before;
    ASSERT_TRUE(rig.bus.GetCommState(handle, before));
    before.flags = 0x7FFE;
    before.xonLimit = 2048;
    before.xonChar = 0x21;
    ASSERT_TRUE(rig.bus.SetCommState(handle, before));
    rig.bus.Close(handle);

    ASSERT_TRUE(OpenBusInterface());
    const CommState& after = rig.bus.LastCommState();
    EXPECT_EQ(after.baudRate, 125000u);
    EXPECT_EQ(after.byteSize, 8);
    EXPECT_EQ(after.parity, 0);
    EXPECT_EQ(after.stopBits, 2);
    EXPECT_EQ(after.flags, 0x08FFu);  // bits 8, 9, 10, 12, 13, 14 cleared, bit 0 set
    EXPECT_EQ(after.xonLimit, 2048);
    EXPECT_EQ(after.xonChar, 0x21);
    EXPECT_EQ(rig.bus.ReadTimeoutMillis(), 70u);
    EXPECT_EQ(rig.bus.WriteTimeoutMillis(), 50u);
    const std::vector<std::string> expected{"List", "Detail 0", "Open 0", "GetCommState", "SetCommState",
                                            "SetTimeouts 70 50"};
    EXPECT_EQ(rig.usb.Calls(), expected);
}

TEST(OpenBusInterface, BringsTheReceiverBackFromDiscard)
{
    LinkRig rig;
    ASSERT_TRUE(rig.Open());
    rig.bus.InjectBytes({0x87, 0x01, 0x87});
    EXPECT_FALSE(WaitForAck());
    ASSERT_EQ(CurrentRxState(), RxState::Discard);
    rig.usb.calls.clear();
    ASSERT_TRUE(OpenBusInterface());
    EXPECT_EQ(CurrentRxState(), RxState::Idle);
    EXPECT_EQ(rig.usb.Calls().front(), "Close");  // the held handle is closed before the new open
}

}  // namespace
}  // namespace orv::test
