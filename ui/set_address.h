// Set Address with the links to the device: before the addresses are offered,
// the rows of the other ORV-Input8 and ORV-RS232 devices on the bus that point
// to the selected device are read. The dialog lists them under a tick box,
// "Update the links that point to this device", ticked when there are any:
// ticked, those rows are rewritten to the new address after the move, each
// write read back, and a window lists the result; unticked, the question
// about rows left pointing at no device comes first. Nothing is written
// before the dialog is confirmed.
#pragma once

#include "config/known_links.h"
#include "network/network_view.h"

class wxWindow;

namespace orv {

// The tick box's label.
inline constexpr const char* UPDATE_LINKS_LABEL = "Update the links that point to this device";

// read: the links of the configurations read so far, which stand for the
// devices whose configuration cannot be read now. parent is the window the
// bus work blocks.
void SetAddressWithLinks(wxWindow* parent, NetworkContext& context, const KnownLinks& read);

}  // namespace orv
