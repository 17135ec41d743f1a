// Imported configurations and edits are never dropped without a question,
// tried with the X server's own clicks and keys: an import is an unsaved edit
// until it is saved, and an import over edits asks first. And a Save at the
// question that discovers the bus again never shows, or writes, a device
// through the list position it had before.
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <wx/button.h>
#include <wx/textctrl.h>

#include "config/rs232_build.h"
#include "link/commands.h"
#include "model/input8_image.h"
#include "panel_rules/unsaved_edits.h"
#include "tests/gui/main_dialog/main_dialog_fixture.h"
#include "tests/gui/on_screen.h"
#include "tests/gui/x_input.h"

namespace orv::test {
namespace {

namespace fs = std::filesystem;

std::vector<uint8_t> Input8Memory(const SimDevice& device)
{
    return {device.Memory().begin(), device.Memory().begin() + long(INPUT8_IMAGE_SIZE)};
}

// An Input8 at 3, an RS232 at 5 and a relay at 9, listed in that order, the frame on screen.
class ImportsKeptTest : public MainDialogTest {
protected:
    void SetUp() override
    {
        MainDialogTest::SetUp();
        input8 = &AddDevice(SimDeviceKind::Input8, 3, {0x03, 0, 0, 0});
        rs232 = &AddDevice(SimDeviceKind::RS232, 5, {0x05, 0, 0, 0});
        AddDevice(SimDeviceKind::Relay, 9, {0x09, 0, 0, 0});
        dialog->DiscoverDevices(BROADCAST_ADDRESS);
        ASSERT_EQ(list->GetItemCount(), 3);
        ASSERT_TRUE(ShowOnScreen(frame));
        file = fs::temp_directory_path() / ("orv-imports-kept-" + std::to_string(getpid()) + ".bin");
    }
    void TearDown() override
    {
        fs::remove(file);
        MainDialogTest::TearDown();
    }

    // A real click on row's name, at x pixels into it (another x than the
    // last click on the row, or the two make a double click).
    bool ClickRow(long row, int x = 20)
    {
        wxRect rect;
        return list->GetItemRect(row, rect) &&
               ClickAt(list->ClientToScreen(rect.GetPosition() + wxPoint(x, rect.height / 2)));
    }

    void WriteFile(const std::vector<uint8_t>& bytes)
    {
        std::ofstream(file, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), long(bytes.size()));
    }

    bool Asked(const std::string& device) const
    {
        for (const MessageBoxOptions& box : prompts.boxes)
            if (box.text == device + " has changes that are not saved" && box.buttons == Buttons::SaveDiscardCancel)
                return true;
        return false;
    }

    SimDevice* input8 = nullptr;
    SimDevice* rs232 = nullptr;
    fs::path file;
};

TEST_F(ImportsKeptTest, AnImportedInput8ConfigurationIsAskedAboutBeforeAnotherDeviceIsShown)
{
    ASSERT_TRUE(ClickRow(0));
    ASSERT_TRUE(YieldUntil([&] { return dialog->InputPanel()->IsShown(); }));
    const std::vector<uint8_t> heldBefore = Input8Memory(*input8);
    Input8Config fromFile;
    fromFile.name = "From File";
    fromFile.rows[2].input = 4;
    WriteFile(EncodeInput8Image(fromFile, ImageForm::File));
    prompts.fileAnswers = {file.string()};
    ASSERT_TRUE(ClickOn(dialog->InputPanel()->FindWindow(ID_INPUT8_IMPORT)));
    ASSERT_TRUE(YieldUntil([&] { return !prompts.boxes.empty(); }));
    ASSERT_EQ(prompts.Captions(), std::vector<std::string>{" Config Loaded "});

    // Cancel: the imported configuration stays on screen, the device keeps its own.
    prompts.boxes.clear();
    prompts.boxAnswers = {Answer::Cancel};
    ASSERT_TRUE(ClickRow(2));
    ASSERT_TRUE(YieldUntil([&] { return !prompts.boxes.empty(); }));
    Settle();
    EXPECT_TRUE(Asked("ORV-Input8 @ 3"));
    EXPECT_EQ(ShownPanels(), std::vector<wxWindow*>{dialog->InputPanel()});
    EXPECT_EQ(dialog->InputPanel()->BuildInput8Config(), fromFile);
    EXPECT_EQ(Input8Memory(*input8), heldBefore);

    // Save: the device holds the file's configuration before the relay is shown.
    prompts.boxes.clear();
    prompts.boxAnswers = {Answer::Save};
    ASSERT_TRUE(ClickRow(2, 60));
    ASSERT_TRUE(YieldUntil([&] { return dialog->InfoPanel()->IsShown(); }));
    EXPECT_TRUE(Asked("ORV-Input8 @ 3"));
    EXPECT_EQ(Input8Memory(*input8), EncodeInput8Image(fromFile, ImageForm::Device));
}

TEST_F(ImportsKeptTest, AnRS232ImportOverTypedEditsAsksFirst)
{
    ASSERT_TRUE(ClickRow(1));
    ASSERT_TRUE(YieldUntil([&] { return dialog->RS232Panel()->IsShown(); }));
    auto* name = wxDynamicCast(dialog->RS232Panel()->FindWindow(ID_RS232_NAME), wxTextCtrl);
    ASSERT_NE(name, nullptr);
    ASSERT_TRUE(ClickOn(name));
    ASSERT_TRUE(PressKey("H a l l"));
    ASSERT_TRUE(YieldUntil([&] { return name->GetValue() == "Hall"; }));
    const std::vector<uint8_t> heldBefore = rs232->Memory();

    RS232Config fromFile;
    fromFile.name = "From File";
    fromFile.rows = {RS232Row{}};
    fromFile.rows[0].text = "LAMP";
    const auto built = BuildRS232Image(fromFile, std::nullopt, false, services);
    ASSERT_TRUE(built);
    WriteFile(std::vector<uint8_t>(built->buffer.begin(), built->buffer.end()));
    wxWindow* import = dialog->RS232Panel()->FindWindow(ID_RS232_IMPORT);

    // Cancel keeps what was typed and takes nothing of the file.
    prompts.fileAnswers = {file.string()};
    prompts.boxAnswers = {Answer::Cancel};
    ASSERT_TRUE(ClickOn(import));
    ASSERT_TRUE(YieldUntil([&] { return !prompts.boxes.empty(); }));
    Settle();
    EXPECT_TRUE(Asked("ORV-RS232 @ 5"));
    EXPECT_EQ(prompts.boxes.size(), 1u);
    EXPECT_EQ(name->GetValue(), "Hall");
    EXPECT_EQ(rs232->Memory(), heldBefore);

    // Discard takes the file, which is then an edit of its own.
    prompts.boxes.clear();
    prompts.fileAnswers = {file.string()};
    prompts.boxAnswers = {Answer::Discard};
    ASSERT_TRUE(ClickOn(import));
    ASSERT_TRUE(YieldUntil([&] { return name->GetValue() == "From File"; }));
    EXPECT_TRUE(dialog->RS232Panel()->HasUnsavedEdits());
    EXPECT_EQ(rs232->Memory(), heldBefore);

    // Selecting another device asks about the import; Save writes it.
    prompts.boxes.clear();
    prompts.boxAnswers = {Answer::Save};
    ASSERT_TRUE(ClickRow(2));
    ASSERT_TRUE(YieldUntil([&] { return dialog->InfoPanel()->IsShown(); }));
    EXPECT_TRUE(Asked("ORV-RS232 @ 5"));
    const std::optional<RS232Config> held = ParseRS232Image(rs232->Memory());
    ASSERT_TRUE(held);
    EXPECT_EQ(held->name, "From File");
    ASSERT_EQ(held->rows.size(), 1u);
    EXPECT_EQ(held->rows[0].text, "LAMP");
}

// A Save at the question saves an Input8 that held no configuration, and the
// discovery after it lists the devices in another order, or without the one
// clicked. The clicked device is found again by its serial number; where it
// is gone nothing is shown, and the device now at its old position is neither
// read nor written.
class StaleSelectionTest : public MainDialogTest {
protected:
    void SetUp() override
    {
        MainDialogTest::SetUp();
        edited = &AddDevice(SimDeviceKind::Input8, 3, {0x03, 0, 0, 0}, false);
        clicked = &AddDevice(SimDeviceKind::Input8, 4, {0x04, 0, 0, 0});
        relay = &AddDevice(SimDeviceKind::Relay, 9, {0x09, 0, 0, 0});
        dialog->DiscoverDevices(BROADCAST_ADDRESS);
        SelectRow(0);
        ASSERT_EQ(ShownPanels(), std::vector<wxWindow*>{dialog->InputPanel()});
        name = wxDynamicCast(dialog->InputPanel()->FindWindow(ID_INPUT8_NAME), wxTextCtrl);
        name->ChangeValue("Edited");
        prompts.boxes.clear();
        prompts.boxAnswers = {Answer::Save};
    }

    Input8Config Named(const std::string& text) const
    {
        Input8Config config;
        config.name = text;
        return config;
    }

    SimDevice* edited = nullptr;
    SimDevice* clicked = nullptr;
    SimDevice* relay = nullptr;
    wxTextCtrl* name = nullptr;
};

TEST_F(StaleSelectionTest, TheClickedDeviceIsFoundAgainByItsSerialNumber)
{
    // The next discovery hears the clicked Input8 last.
    bus.Detach(*clicked);
    bus.Attach(*clicked);

    SelectRow(1);

    ASSERT_EQ(Column(1), (std::vector<std::string>{"3", "9", "4"}));
    EXPECT_EQ(Input8Memory(*edited), EncodeInput8Image(Named("Edited"), ImageForm::Device));
    EXPECT_EQ(ShownPanels(), std::vector<wxWindow*>{dialog->InputPanel()});
    EXPECT_EQ(dialog->InputPanel()->EditedDeviceLabel(), "ORV-Input8 @ 4");
    EXPECT_EQ(dialog->Registry().selectedIndex(), 2);
    EXPECT_EQ(list->GetItemState(2, wxLIST_STATE_SELECTED), wxLIST_STATE_SELECTED);
    EXPECT_EQ(list->GetItemState(1, wxLIST_STATE_SELECTED), 0);

    // A save now goes to the device shown.
    name->ChangeValue("Clicked");
    wxCommandEvent save(wxEVT_BUTTON, ID_INPUT8_SAVE);
    dialog->InputPanel()->FindWindow(ID_INPUT8_SAVE)->ProcessWindowEvent(save);
    EXPECT_EQ(Input8Memory(*clicked), EncodeInput8Image(Named("Clicked"), ImageForm::Device));
    EXPECT_EQ(Input8Memory(*edited), EncodeInput8Image(Named("Edited"), ImageForm::Device));
}

TEST_F(StaleSelectionTest, AClickedDeviceThatIsGoneIsNotShownNorIsTheOneNowInItsPlace)
{
    bus.Detach(*clicked);
    const std::vector<uint8_t> clickedHeld = Input8Memory(*clicked);

    SelectRow(1);

    ASSERT_EQ(Column(1), (std::vector<std::string>{"3", "9"}));
    EXPECT_EQ(Input8Memory(*edited), EncodeInput8Image(Named("Edited"), ImageForm::Device));
    EXPECT_EQ(ShownPanels(), std::vector<wxWindow*>{dialog->IntroPanel()});
    for (long row = 0; row < list->GetItemCount(); ++row)
        EXPECT_EQ(list->GetItemState(row, wxLIST_STATE_SELECTED), 0) << row;
    EXPECT_EQ(Input8Memory(*clicked), clickedHeld);
    // After the discovery nothing went to the relay at the clicked row's old place.
    for (uint16_t command : {CONFIG_BLOCK_READ, CONFIG_BLOCK_WRITE})
        for (const HeardFrame& frame : Sent(command))
            EXPECT_EQ(frame.destination, 3) << command;
}

}  // namespace
}  // namespace orv::test
