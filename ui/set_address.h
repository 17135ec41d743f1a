// Set Address with the links to the device: the dialog offers the free
// addresses and a tick box, "Update the links that point to this device",
// ticked when rows read so far point to it or a configuration that could is
// not known. Ticked, the other ORV-Input8 and
// ORV-RS232 devices are read once the address is confirmed (under a progress
// window with Cancel), the device is moved and confirmed at its new address,
// the rows that pointed to it are rewritten and read back, and only then is
// the bus discovered again; the first box tells the move and the links
// together. Unticked, the question about rows left pointing at no device
// comes first. Nothing is written before the dialog is confirmed.
#pragma once

#include "network/network_view.h"
#include "wholebus/known_links.h"

class wxWindow;

namespace orv {

// The tick box's label.
inline constexpr const char* UPDATE_LINKS_LABEL = "Update the links that point to this device";

// read: the links of the configurations read so far, which stand for the
// devices whose configuration cannot be read now. parent is the window the
// bus work blocks.
void SetAddressWithLinks(wxWindow* parent, NetworkContext& context, const KnownLinks& read);

}  // namespace orv
