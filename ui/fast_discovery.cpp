#include "ui/fast_discovery.h"

#include "network/fast_scan.h"
#include "ui/bus_work.h"
#include "ui/main_dialog.h"

namespace orv {

void DiscoverAllFast(MainDialog& dialog, std::optional<uint32_t> latencyTimerMillis)
{
    if (!dialog.MayDropShownEdits() || !dialog.BusReady())
        return;
    BusWork work(&dialog);
    FastDiscoverAll(dialog.Network(), latencyTimerMillis);
}

}  // namespace orv
