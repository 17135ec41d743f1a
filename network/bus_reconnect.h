// A command given while the interface is lost asks to look for it again
// instead of running into time-outs that read as "no device".
#pragma once

#include <functional>

#include "services/prompts.h"

namespace orv {

inline constexpr const char* RECONNECT_QUESTION =
    " The ORV-NET is disconnected. \n\n Please connect it to the PC and press Yes to look for it again. ";
inline constexpr const char* RECONNECT_FAILED_TEXT =
    " The ORV-NET interface was not found. \n\n Please connect it to the PC; the next command from the menu "
    "asks again to look for it. ";

// The interface search; the GUI runs it under its busy window.
using InterfaceSearch = std::function<bool()>;

// True when the interface can be used: it was never lost, or the user said Yes
// and search found it again. A failed search is told in a box of its own.
bool OfferBusReconnect(Prompts& prompts, const InterfaceSearch& search);
bool OfferBusReconnect(Prompts& prompts);

}  // namespace orv
