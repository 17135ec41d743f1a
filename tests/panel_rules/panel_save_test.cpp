#include <gtest/gtest.h>

#include "panel_rules/panel_save.h"
#include "tests/support/scripted_prompts.h"

namespace orv::test {
namespace {

const char* const INPUT8_SAVED = " Save SUCCESS \n Input8 configuration has been saved Succesfully";
const char* const RS232_SAVED = " Save SUCCESS \n RS232 configuration has been saved Succesfully";

TEST(PanelSaveTest, BothPanelsWordTheOutcomeOneWay)
{
    enum class Record { Configured, NotConfigured, Stale };
    struct Case {
        SavedKind kind;
        PanelSaveResult result;
        Record record;
        bool rediscover;
        const char* statusBar;
        const char* box;  // null: none
        bool discoverAgain;
    };
    const Case cases[] = {
        {SavedKind::Input8, PanelSaveResult::Saved, Record::Configured, true, "Hall @ 3: configuration saved",
         INPUT8_SAVED, false},
        {SavedKind::RS232, PanelSaveResult::Saved, Record::Configured, true, "Hall @ 3: configuration saved",
         RS232_SAVED, false},
        {SavedKind::Input8, PanelSaveResult::Saved, Record::NotConfigured, true, "Hall @ 3: configuration saved",
         "Save SUCCESS \nClick OK to set address correctly & re-discover the device ", true},
        {SavedKind::RS232, PanelSaveResult::Saved, Record::Stale, true, "Hall @ 3: configuration saved",
         " Save SUCCESS \n Click OK to re-discover the device to set it correctly", true},
        // Leaving the panel: no discovery under the user's next step, the box says when the list catches up.
        {SavedKind::RS232, PanelSaveResult::Saved, Record::NotConfigured, false, "Hall @ 3: configuration saved",
         " Save SUCCESS \n RS232 configuration has been saved Succesfully\n\n The device list shows it as configured "
         "after the next discovery.",
         false},
        {SavedKind::Input8, PanelSaveResult::NotSaved, Record::NotConfigured, true,
         "Hall @ 3: configuration not saved", nullptr, false},
        {SavedKind::RS232, PanelSaveResult::NotSaved, Record::Configured, true, "Hall @ 3: configuration not saved",
         nullptr, false},
        // Nothing was written: the box of the refusal has said why, an earlier outcome stays.
        {SavedKind::RS232, PanelSaveResult::NotSent, Record::NotConfigured, true, nullptr, nullptr, false},
    };
    for (const Case& c : cases) {
        DeviceRecord record;
        record.configured = c.record == Record::Configured;
        ScriptedPrompts prompts;
        const PanelSaveWords words = PanelSaveOutcome(c.kind, c.result, "Hall @ 3",
                                                      c.record == Record::Stale ? nullptr : &record, c.rediscover);
        const std::string trace = (c.box ? c.box : "") + std::string(" / ") + (c.statusBar ? c.statusBar : "");

        EXPECT_EQ(ReportPanelSave(words, prompts), c.discoverAgain) << trace;
        if (c.statusBar) {
            ASSERT_EQ(prompts.statusTexts.size(), 1u) << trace;
            EXPECT_EQ(prompts.statusTexts[0].second, c.statusBar);
        } else {
            EXPECT_TRUE(prompts.statusTexts.empty()) << trace;
        }
        if (c.box) {
            ASSERT_EQ(prompts.boxes.size(), 1u) << trace;
            EXPECT_EQ(prompts.boxes[0].caption, " Config Saved ");
            EXPECT_EQ(prompts.boxes[0].text, c.box);
            EXPECT_EQ(prompts.boxes[0].icon, Icon::Information);
            EXPECT_EQ(prompts.boxes[0].buttons, Buttons::Ok);
        } else {
            EXPECT_TRUE(prompts.boxes.empty()) << trace;
        }
        const char* line = c.result == PanelSaveResult::Saved      ? "Configuration saved"
                           : c.result == PanelSaveResult::NotSaved ? "Configuration not saved"
                                                                   : "";
        EXPECT_EQ(words.statusLine, line) << trace;
    }
}

TEST(PanelSaveTest, OnlyAWriteReadBackAsSentIsSaved)
{
    EXPECT_EQ(PanelSaveResultOf(WriteResult::Saved), PanelSaveResult::Saved);
    for (WriteResult result : {WriteResult::Failed, WriteResult::NotVerified, WriteResult::InterfaceLost})
        EXPECT_EQ(PanelSaveResultOf(result), PanelSaveResult::NotSaved);
    EXPECT_EQ(PanelSaveResultOf(RS232SaveResult::Saved), PanelSaveResult::Saved);
    EXPECT_EQ(PanelSaveResultOf(RS232SaveResult::NotSent), PanelSaveResult::NotSent);
    for (RS232SaveResult result :
         {RS232SaveResult::Failed, RS232SaveResult::NotVerified, RS232SaveResult::InterfaceLost})
        EXPECT_EQ(PanelSaveResultOf(result), PanelSaveResult::NotSaved);
}

}  // namespace
}  // namespace orv::test
