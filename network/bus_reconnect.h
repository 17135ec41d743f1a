// A command given while the interface is lost asks to look for it again
// instead of running into time-outs that read as "no device".
#pragma once

#include "services/prompts.h"

namespace orv {

inline constexpr const char* RECONNECT_QUESTION =
    " The ORV-NET is disconnected. \n\n Please connect it to the PC and press Yes to look for it again. ";

// True when the interface can be used: it was never lost, or the user said Yes
// and the start-up search found it again (else that search has shown its box).
bool OfferBusReconnect(Prompts& prompts);

}  // namespace orv
