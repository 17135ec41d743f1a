// What a panel shows after "Save to Device", for both panels: its status
// line, the frame's status bar, the box and whether the bus is discovered
// again. The panel runs the transfer and shows these words.
#pragma once

#include <optional>
#include <string>

#include "config/block_transfer.h"
#include "config/rs232_transfer.h"
#include "network/device_registry.h"
#include "services/prompts.h"

namespace orv {

// The kinds whose configuration a panel saves.
enum class SavedKind { Input8, RS232 };

enum class PanelSaveResult {
    NotSent,   // nothing was written: a box has said why
    NotSaved,  // written, but not read back as it was sent (or the interface went away)
    Saved,
};

PanelSaveResult PanelSaveResultOf(WriteResult result);
PanelSaveResult PanelSaveResultOf(RS232SaveResult result);

struct PanelSaveWords {
    std::string statusLine;  // the panel's own line; empty when nothing was sent
    std::string statusBar;   // the frame's, naming the device; empty when nothing was sent
    std::optional<MessageBoxOptions> box;
    // A device that held no configuration reports itself configured from now
    // on (and the selection may be stale): the list says so after a discovery.
    bool discoverAgain = false;
};

// The words for a save of kind to the device deviceLabel names; selected is
// the registry's selected record (nothing when it is stale). A device not
// listed as configured is discovered again only when rediscover is asked
// (not while the user is leaving the panel); otherwise the box says when the
// list shows it configured.
PanelSaveWords PanelSaveOutcome(SavedKind kind, PanelSaveResult result, const std::string& deviceLabel,
                                const DeviceRecord* selected, bool rediscover);

// Puts the status bar text and shows the box of words; whether to discover again.
bool ReportPanelSave(const PanelSaveWords& words, Prompts& prompts);

}  // namespace orv
