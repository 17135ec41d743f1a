#include "panel_rules/panel_save.h"

namespace orv {

namespace {

struct SavedKindTexts {
    const char* savedBox;
    const char* rediscoverBox;
    const char* savedListedLater;
};

SavedKindTexts TextsOf(SavedKind kind)
{
    if (kind == SavedKind::Input8)
        return {" Save SUCCESS \n Input8 configuration has been saved Succesfully",
                "Save SUCCESS \nClick OK to set address correctly & re-discover the device ",
                " Save SUCCESS \n Input8 configuration has been saved Succesfully\n\n The device list shows it as "
                "configured after the next discovery."};
    return {" Save SUCCESS \n RS232 configuration has been saved Succesfully",
            " Save SUCCESS \n Click OK to re-discover the device to set it correctly",
            " Save SUCCESS \n RS232 configuration has been saved Succesfully\n\n The device list shows it as "
            "configured after the next discovery."};
}

}  // namespace

PanelSaveResult PanelSaveResultOf(WriteResult result)
{
    return result == WriteResult::Saved ? PanelSaveResult::Saved : PanelSaveResult::NotSaved;
}

PanelSaveResult PanelSaveResultOf(RS232SaveResult result)
{
    switch (result) {
    case RS232SaveResult::NotSent:
        return PanelSaveResult::NotSent;
    case RS232SaveResult::Saved:
        return PanelSaveResult::Saved;
    case RS232SaveResult::Failed:
    case RS232SaveResult::NotVerified:
    case RS232SaveResult::InterfaceLost:
        break;
    }
    return PanelSaveResult::NotSaved;
}

PanelSaveWords PanelSaveOutcome(SavedKind kind, PanelSaveResult result, const std::string& deviceLabel,
                                const DeviceRecord* selected, bool rediscover)
{
    PanelSaveWords words;
    if (result == PanelSaveResult::NotSent)
        return words;
    // The outcome stays on the frame's status bar after the boxes are gone, in
    // place of an earlier test string's, which the save has made stale.
    if (result == PanelSaveResult::NotSaved) {
        words.statusLine = "Configuration not saved";
        words.statusBar = deviceLabel + ": configuration not saved";
        return words;
    }
    words.statusLine = "Configuration saved";
    words.statusBar = deviceLabel + ": configuration saved";
    const SavedKindTexts texts = TextsOf(kind);
    const char* text = texts.savedBox;
    if (!selected || !selected->configured) {
        words.discoverAgain = rediscover;
        text = rediscover ? texts.rediscoverBox : texts.savedListedLater;
    }
    words.box = MessageBoxOptions{" Config Saved ", text, Buttons::Ok, Icon::Information};
    return words;
}

bool ReportPanelSave(const PanelSaveWords& words, Prompts& prompts)
{
    if (!words.statusBar.empty())
        prompts.SetStatusText(words.statusBar);
    if (words.box)
        prompts.MessageBox(*words.box);
    return words.discoverAgain;
}

}  // namespace orv
