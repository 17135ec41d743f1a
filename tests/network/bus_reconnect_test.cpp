#include <gtest/gtest.h>

#include "link/bus_link.h"
#include "link/commands.h"
#include "network/bus_reconnect.h"
#include "tests/link/link_rig.h"

namespace orv::test {

namespace {
// An opened link whose line went away at the next write.
struct LostLinkRig : LinkRig {
    LostLinkRig()
    {
        EXPECT_TRUE(Open());
        bus.LoseLineAtWrite(1);
        EXPECT_FALSE(Send(MODULE_INFO_REQUEST, 9, {0x00}));
        EXPECT_TRUE(ReportBusInterfaceLost());
        prompts.boxes.clear();
        usb.calls.clear();
    }
};
}  // namespace

TEST(BusReconnect, AnOpenInterfaceIsUsedWithoutAQuestion)
{
    LinkRig rig;
    ASSERT_TRUE(rig.Open());
    EXPECT_TRUE(OfferBusReconnect(rig.prompts));
    EXPECT_TRUE(rig.prompts.boxes.empty());
}

TEST(BusReconnect, NoLeavesTheInterfaceLostAndSearchesNothing)
{
    LostLinkRig rig;
    rig.prompts.boxAnswers = {Answer::No};
    EXPECT_FALSE(OfferBusReconnect(rig.prompts));
    EXPECT_EQ(rig.prompts.Captions(), (std::vector<std::string>{INTERFACE_LOST_CAPTION}));
    EXPECT_TRUE(rig.usb.calls.empty());
    EXPECT_TRUE(BusInterfaceLost());
}

TEST(BusReconnect, YesSearchesAgainAndTheLinkCarriesRequests)
{
    LostLinkRig rig;
    rig.prompts.boxAnswers = {Answer::Yes};
    EXPECT_TRUE(OfferBusReconnect(rig.prompts));
    EXPECT_FALSE(BusInterfaceLost());
    EXPECT_TRUE(rig.Send(MODULE_INFO_REQUEST, 9, {0x00}));
}

// The interface still missing: a box says so and that the next command asks
// again, which it does instead of sending into a dead handle.
TEST(BusReconnect, AFailedSearchKeepsTheInterfaceLost)
{
    LostLinkRig rig;
    rig.bus.SetInterfaces({});
    rig.prompts.boxAnswers = {Answer::Yes, Answer::Ok};
    EXPECT_FALSE(OfferBusReconnect(rig.prompts));
    EXPECT_EQ(rig.prompts.Captions(), (std::vector<std::string>{INTERFACE_LOST_CAPTION, INTERFACE_LOST_CAPTION}));
    EXPECT_EQ(rig.prompts.boxes.back().text, RECONNECT_FAILED_TEXT);
    EXPECT_TRUE(BusInterfaceLost());
    const size_t shown = rig.prompts.boxes.size();
    EXPECT_TRUE(ReportBusInterfaceLost());
    EXPECT_EQ(rig.prompts.boxes.size(), shown);  // the loss was told once already

    rig.prompts.boxAnswers = {Answer::No};
    EXPECT_FALSE(OfferBusReconnect(rig.prompts));
    EXPECT_EQ(rig.prompts.boxes.back().caption, INTERFACE_LOST_CAPTION);
}

}  // namespace orv::test
