#include "panel_rules/input8_link_question.h"

#include <vector>

namespace orv {

Answer AskLinkQuestion(Prompts& prompts)
{
    MessageBoxOptions question{
        "Warn Loading Data ",
        "Node configuration links to a node not currently connected.\n Click Yes to load the configuration and remove "
        "links to missing node(s) \n or No to cancel loading configuration",
        Buttons::YesNo, Icon::Exclamation};
    // Yes strips rows that a later save erases from the device: Enter must not.
    question.defaultNo = true;
    return prompts.MessageBox(question);
}

Input8Config CheckInput8Links(const Input8Config& config, const TypeAtAddressFn& typeAtAddress, Prompts& prompts)
{
    const std::vector<size_t> missing = FindMissingLinks(config, typeAtAddress);
    if (missing.empty())
        return config;
    const LinkChoice choice =
        AskLinkQuestion(prompts) == Answer::Yes ? LinkChoice::RemoveMissingLinks : LinkChoice::LoadNothing;
    return ApplyLinkChoice(config, missing, choice, typeAtAddress);
}

}  // namespace orv
