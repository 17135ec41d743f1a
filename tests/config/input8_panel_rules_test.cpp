#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "config/input8_panel_rules.h"

namespace orv {
namespace {

Input8Config Named(const std::string& name)
{
    Input8Config config;
    config.name = name;
    return config;
}

const Input8Config HELD = Named("held");
const Input8Config FILE_CONFIG = Named("file");
const Input8Config EDITED = Named("edited");
const Input8Config EMPTY{};

using Event = std::function<void(Input8PanelRules&)>;
const Event READ = [](Input8PanelRules& rules) { rules.DeviceRead(HELD); };
const Event NOT_LOADED = [](Input8PanelRules& rules) { rules.ReadNotLoaded(); };
const Event IMPORT = [](Input8PanelRules& rules) { rules.Imported(FILE_CONFIG); };
const Event START_EMPTY = [](Input8PanelRules& rules) { rules.StartedEmpty(); };
const Event SAVED_EDITS = [](Input8PanelRules& rules) { rules.SaveEnded(Input8SaveEnd::ReadBackIntact, &EDITED); };
const Event SAVE_LOST = [](Input8PanelRules& rules) { rules.SaveEnded(Input8SaveEnd::ReadBackLost); };

TEST(Input8PanelRules, EventsDecideWhatIsShownSaveAndUnsavedEdits)
{
    const struct {
        const char* name;
        std::vector<Event> events;
        const Input8Config* shownConfig;  // what the panel shows at the end
        Input8Shown shown;
        bool saveEnabled;
        bool unsaved;
        const Input8Config* device;  // null when not known
    } cases[] = {
        {"built", {}, &EMPTY, Input8Shown::NotLoaded, false, false, nullptr},
        {"read as held", {READ}, &HELD, Input8Shown::Device, true, false, &HELD},
        {"read, edited", {READ}, &EDITED, Input8Shown::Device, true, true, &HELD},
        {"read, edited back", {READ}, &HELD, Input8Shown::Device, true, false, &HELD},
        {"damaged or unanswered read, or No", {READ, NOT_LOADED}, &EMPTY, Input8Shown::NotLoaded, false, false,
         nullptr},
        {"imported after not loaded", {NOT_LOADED, IMPORT}, &FILE_CONFIG, Input8Shown::Imported, true, false, nullptr},
        {"imported, edited", {READ, IMPORT}, &EDITED, Input8Shown::Imported, true, true, &HELD},
        {"started empty", {NOT_LOADED, START_EMPTY}, &EMPTY, Input8Shown::EmptyByChoice, true, false, nullptr},
        {"started empty, edited", {NOT_LOADED, START_EMPTY}, &EDITED, Input8Shown::EmptyByChoice, true, true,
         nullptr},
        {"saved, read back", {READ, SAVED_EDITS}, &EDITED, Input8Shown::Device, true, false, &EDITED},
        {"saved from empty, read back", {NOT_LOADED, START_EMPTY, SAVED_EDITS}, &EDITED, Input8Shown::Device, true,
         false, &EDITED},
        {"save not read back", {READ, SAVE_LOST}, &EDITED, Input8Shown::Device, true, true, nullptr},
        {"save not read back, as held before", {READ, SAVE_LOST}, &HELD, Input8Shown::Device, true, true, nullptr},
        {"import not read back", {NOT_LOADED, IMPORT, SAVE_LOST}, &FILE_CONFIG, Input8Shown::Imported, true, true,
         nullptr},
        {"read again after a lost save", {READ, SAVE_LOST, READ}, &HELD, Input8Shown::Device, true, false, &HELD},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Input8PanelRules rules;
        for (const Event& event : c.events)
            event(rules);
        EXPECT_EQ(rules.Shown(), c.shown);
        EXPECT_EQ(rules.SaveEnabled(), c.saveEnabled);
        EXPECT_EQ(rules.ExportEnabled(), c.saveEnabled);
        EXPECT_EQ(rules.RowsShown(), c.saveEnabled);
        EXPECT_EQ(rules.HasUnsavedEdits(*c.shownConfig), c.unsaved);
        if (c.device) {
            ASSERT_NE(rules.DeviceConfig(), nullptr);
            EXPECT_EQ(*rules.DeviceConfig(), *c.device);
        } else {
            EXPECT_EQ(rules.DeviceConfig(), nullptr);
        }
        EXPECT_EQ(rules.Notice("ORV-Input8 @ 1").empty(), c.shown != Input8Shown::NotLoaded);
    }
}

TEST(Input8PanelRules, TextsNameTheDevice)
{
    Input8PanelRules rules;
    EXPECT_EQ(rules.Notice("ORV-Input8 @ 1"),
              "The configuration of ORV-Input8 @ 1 was not loaded.\nImport a file, or start from an empty "
              "configuration, to edit and save one.");
    const MessageBoxOptions question = StartEmptyQuestion("ORV-Input8 @ 1");
    EXPECT_EQ(question.text, "Replace the configuration of ORV-Input8 @ 1 with an empty one?");
    EXPECT_EQ(question.buttons, Buttons::YesNo);
    EXPECT_TRUE(question.defaultNo);
}

}  // namespace
}  // namespace orv
