// The question an Input8 configuration asks when its rows link to devices
// that are not connected now, and what the answer makes of it.
#pragma once

#include "model/input8_config.h"
#include "services/prompts.h"

namespace orv {

// Asks the link question about the missing rows: Yes to load the
// configuration without their links, No (the default) to load nothing.
Answer AskLinkQuestion(Prompts& prompts);

// The configuration to show for config: itself when every link is reachable,
// otherwise what the answer to the link question makes of it.
Input8Config CheckInput8Links(const Input8Config& config, const TypeAtAddressFn& typeAtAddress, Prompts& prompts);

}  // namespace orv
