#include "network/bus_reconnect.h"

#include "link/bus_link.h"

namespace orv {

bool OfferBusReconnect(Prompts& prompts)
{
    if (!BusInterfaceLost())
        return true;
    if (prompts.Message(INTERFACE_LOST_CAPTION, RECONNECT_QUESTION, Buttons::YesNo, Icon::Question) != Answer::Yes)
        return false;
    return ReopenBusInterface();
}

}  // namespace orv
