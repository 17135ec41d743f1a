#include "network/bus_reconnect.h"

#include "link/bus_link.h"

namespace orv {

bool OfferBusReconnect(Prompts& prompts, const InterfaceSearch& search)
{
    if (!BusInterfaceLost())
        return true;
    if (prompts.Message(INTERFACE_LOST_CAPTION, RECONNECT_QUESTION, Buttons::YesNo, Icon::Question) != Answer::Yes)
        return false;
    if (search())
        return true;
    prompts.Message(INTERFACE_LOST_CAPTION, RECONNECT_FAILED_TEXT, Buttons::Ok, Icon::Exclamation);
    return false;
}

bool OfferBusReconnect(Prompts& prompts)
{
    return OfferBusReconnect(prompts, ReopenBusInterface);
}

}  // namespace orv
