#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "model/catalogue.h"
#include "panel_rules/input8_panel_rules.h"
#include "panel_rules/unsaved_edits.h"
#include "tests/support/scripted_prompts.h"

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
const Event READ = [](Input8PanelRules& rules) { rules.DeviceRead(HELD, HELD, HELD); };
const Event NOT_LOADED = [](Input8PanelRules& rules) { rules.ReadNotLoaded(); };
const Event IMPORT = [](Input8PanelRules& rules) { rules.Imported(FILE_CONFIG, FILE_CONFIG); };
// A file that holds what the device holds.
const Event IMPORT_HELD = [](Input8PanelRules& rules) { rules.Imported(HELD, HELD); };
const Event START_EMPTY = [](Input8PanelRules& rules) { rules.StartedEmpty(EMPTY); };
// A save's intact read-back is read as the device holds it.
const Event SAVED_EDITS = [](Input8PanelRules& rules) { rules.DeviceRead(EDITED, EDITED, EDITED); };
const Event SAVE_LOST = [](Input8PanelRules& rules) { rules.SaveNotReadBack(); };

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
        // An import is an edit until it is saved.
        {"imported after not loaded", {NOT_LOADED, IMPORT}, &FILE_CONFIG, Input8Shown::Imported, true, true, nullptr},
        {"imported over a read", {READ, IMPORT}, &FILE_CONFIG, Input8Shown::Imported, true, true, &HELD},
        {"imported, edited", {READ, IMPORT}, &EDITED, Input8Shown::Imported, true, true, &HELD},
        {"imported what the device holds", {READ, IMPORT_HELD}, &HELD, Input8Shown::Imported, true, false, &HELD},
        {"imported, saved, read back", {READ, IMPORT, SAVED_EDITS}, &EDITED, Input8Shown::Device, true, false,
         &EDITED},
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

// Stored values the panel cannot show as they are: right after the read
// nothing is an edit and Save stores them unchanged; an edit elsewhere in
// the row keeps them; an edit of the field itself stores what the user chose.
TEST(Input8PanelRules, StoredValuesThePanelCannotShowAreKeptUntilTheUserChangesThem)
{
    using Field = std::function<void(InputRow&)>;
    const struct {
        const char* name;
        Field stored;  // the device's value
        Field shown;   // what the controls code for it
        Field chosen;  // the user's own choice for the same field
        Field other;   // the user's choice for another field of the row
    } cases[] = {
        {"input beyond 8", [](InputRow& r) { r.input = 9; }, [](InputRow& r) { r.input = 255; },
         [](InputRow& r) { r.input = 2; }, [](InputRow& r) { r.change = ChangeType::Close; }},
        {"change beyond Close", [](InputRow& r) { r.change = ChangeType(5); },
         [](InputRow& r) { r.change = ChangeType(255); }, [](InputRow& r) { r.change = ChangeType::Close; },
         [](InputRow& r) { r.input = 2; }},
        {"unused row to a destination not on the list", [](InputRow& r) { r.destination = 9; },
         [](InputRow& r) { r.destination = 0; }, [](InputRow& r) { r.destination = 4; },
         [](InputRow& r) { r.change = ChangeType::Close; }},
        {"free text with bytes past its end", [](InputRow& r) { r.parameters = {'A', 0, 'B', 0, 0, 0, 0, 0}; },
         [](InputRow& r) { r.parameters = {'A', 0, 0, 0, 0, 0, 0, 0}; },
         [](InputRow& r) { r.parameters = {'C', 0, 0, 0, 0, 0, 0, 0}; },
         [](InputRow& r) { r.change = ChangeType::Close; }},
        {"relay number that is no number",
         [](InputRow& r) {
             r.destination = 4;
             r.action = ACTION_RELAY_ENERGIZE;
             r.parameters = {'x', 0, 0, 0, 0, 0, 0, 0};
         },
         [](InputRow& r) {
             r.destination = 4;
             r.action = ACTION_RELAY_ENERGIZE;
             r.parameters = {'0', 0, 0, 0, 0, 0, 0, 0};
         },
         [](InputRow& r) { r.parameters = {'1', 0, 0, 0, 0, 0, 0, 0}; },
         [](InputRow& r) { r.change = ChangeType::Close; }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Input8Config held = Named("held");
        c.stored(held.rows[4]);
        Input8Config shown = held;
        c.shown(shown.rows[4]);

        for (bool imported : {false, true}) {
            Input8PanelRules rules;
            rules.DeviceRead(held, held, shown);
            // A file that holds what the device holds is no edit.
            if (imported)
                rules.Imported(held, shown);
            EXPECT_FALSE(rules.HasUnsavedEdits(shown));
            EXPECT_EQ(rules.ToStore(shown), held);

            Input8Config edited = shown;
            edited.rows[0].input = 3;
            EXPECT_TRUE(rules.HasUnsavedEdits(edited));
            EXPECT_EQ(rules.ToStore(edited).rows[4], held.rows[4]);

            for (const Field& edit : {c.other, c.chosen}) {
                Input8Config changed = shown;
                edit(changed.rows[4]);
                InputRow expected = held.rows[4];
                edit(expected);
                EXPECT_TRUE(rules.HasUnsavedEdits(changed));
                EXPECT_EQ(rules.ToStore(changed).rows[4], expected);
            }
        }
    }
}

// Yes at the link question: the rows left without their action are edits
// the device lacks; everything else read stays as stored.
TEST(Input8PanelRules, LinksRemovedAtLoadingAreTheOnlyEdits)
{
    Input8Config held = Named("held");
    held.rows[2] = InputRow{1, ChangeType::Open, 9, ACTION_RELAY_ENERGIZE, {'3', 0, 0, 0, 0, 0, 0, 0}};
    held.rows[3].input = 12;
    Input8Config intended = held;
    intended.rows[2].action = ACTION_UNUSED;
    intended.rows[2].parameters = {};
    Input8Config shown = intended;
    shown.rows[2].destination = 0;
    shown.rows[3].input = 255;

    Input8PanelRules rules;
    rules.DeviceRead(held, intended, shown);
    EXPECT_TRUE(rules.HasUnsavedEdits(shown));
    EXPECT_EQ(rules.ToStore(shown), intended);
}

// A panel as the rules see it: what its controls show, and a save that
// reads back what it stored.
class RulesPanel : public UnsavedEdits {
public:
    Input8PanelRules rules;
    Input8Config shown;
    bool saveSucceeds = true;
    std::vector<Input8Config> saved;

    bool HasUnsavedEdits() const override { return rules.HasUnsavedEdits(shown); }
    std::string EditedDeviceLabel() const override { return "ORV-Input8 @ 3"; }
    bool SaveUnsavedEdits() override
    {
        if (!saveSucceeds)
            return false;
        saved.push_back(rules.ToStore(shown));
        rules.DeviceRead(saved.back(), saved.back(), shown);
        return true;
    }
};

// Before a read configuration is dropped the question comes only for the
// user's own edits, never for stored values the controls show otherwise.
TEST(Input8PanelRules, TheUnsavedEditsQuestionComesOnlyForTheUsersEdits)
{
    Input8Config held = Named("held");
    held.rows[1].input = 9;
    held.rows[2].destination = 40;
    Input8Config shownAtRead = held;
    shownAtRead.rows[1].input = 255;
    shownAtRead.rows[2].destination = 0;
    Input8Config edited = shownAtRead;
    edited.rows[3].change = ChangeType::Close;
    Input8Config expectedSave = held;
    expectedSave.rows[3].change = ChangeType::Close;

    const struct {
        const char* name;
        const Input8Config* shown;
        std::vector<Answer> answers;
        bool saveSucceeds;
        bool mayDrop;
        size_t asked;
        size_t saves;
    } cases[] = {
        {"as read", &shownAtRead, {}, true, true, 0, 0},
        {"edited, Cancel", &edited, {Answer::Cancel}, true, false, 1, 0},
        {"edited, Discard", &edited, {Answer::Discard}, true, true, 1, 0},
        {"edited, Save", &edited, {Answer::Save}, true, true, 1, 1},
        {"edited, Save fails", &edited, {Answer::Save}, false, false, 1, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        RulesPanel panel;
        panel.rules.DeviceRead(held, held, shownAtRead);
        panel.shown = *c.shown;
        panel.saveSucceeds = c.saveSucceeds;
        test::ScriptedPrompts prompts;
        prompts.boxAnswers.assign(c.answers.begin(), c.answers.end());
        EXPECT_EQ(MayDropEdits(panel, prompts), c.mayDrop);
        ASSERT_EQ(prompts.boxes.size(), c.asked);
        if (c.asked) {
            EXPECT_EQ(prompts.boxes[0].text, "ORV-Input8 @ 3 has changes that are not saved");
        }
        ASSERT_EQ(panel.saved.size(), c.saves);
        if (c.saves) {
            EXPECT_EQ(panel.saved[0], expectedSave);
            EXPECT_FALSE(panel.HasUnsavedEdits());
        }
    }
}

// An import over edits: the file is chosen and read first, then the edits
// it would replace are asked about; whatever is answered, nothing is lost.
TEST(Input8PanelRules, AnImportOverEditsAsksFirstAndIsAnEditItself)
{
    Input8Config edited = HELD;
    edited.rows[3].change = ChangeType::Close;
    const struct {
        const char* name;
        bool fileTaken;
        const Input8Config* shown;
        std::vector<Answer> answers;
        bool saveSucceeds;
        bool imported;
        size_t asked;
        size_t saves;
    } cases[] = {
        {"file cancelled or refused", false, &edited, {}, true, false, 0, 0},
        {"no edits", true, &HELD, {}, true, true, 0, 0},
        {"edits, Cancel", true, &edited, {Answer::Cancel}, true, false, 1, 0},
        {"edits, Discard", true, &edited, {Answer::Discard}, true, true, 1, 0},
        {"edits, Save", true, &edited, {Answer::Save}, true, true, 1, 1},
        {"edits, Save fails", true, &edited, {Answer::Save}, false, false, 1, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        RulesPanel panel;
        panel.rules.DeviceRead(HELD, HELD, HELD);
        panel.shown = *c.shown;
        panel.saveSucceeds = c.saveSucceeds;
        test::ScriptedPrompts prompts;
        prompts.boxAnswers.assign(c.answers.begin(), c.answers.end());
        int reads = 0;
        const std::optional<Input8Config> file =
            ImportOverEdits<Input8Config>(panel, prompts, [&](Prompts&) -> std::optional<Input8Config> {
                ++reads;
                EXPECT_TRUE(prompts.boxes.empty()) << "asked before the file was read";
                return c.fileTaken ? std::optional(FILE_CONFIG) : std::nullopt;
            });
        EXPECT_EQ(reads, 1);
        EXPECT_EQ(file.has_value(), c.imported);
        ASSERT_EQ(prompts.boxes.size(), c.asked);
        if (c.asked) {
            EXPECT_EQ(prompts.boxes[0].text, "ORV-Input8 @ 3 has changes that are not saved");
            EXPECT_EQ(prompts.boxes[0].buttons, Buttons::SaveDiscardCancel);
        }
        ASSERT_EQ(panel.saved.size(), c.saves);
        if (c.saves) {
            EXPECT_EQ(panel.saved[0], edited);
        }
        if (!file)
            continue;
        // Shown, the import is an edit of its own until it is saved.
        panel.rules.Imported(*file, *file);
        panel.shown = *file;
        EXPECT_TRUE(panel.HasUnsavedEdits());
        prompts.boxAnswers = {Answer::Cancel};
        EXPECT_FALSE(MayDropEdits(panel, prompts));
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
