// The whole-bus commands of the File menu: a backup of the bus into a folder,
// the comparison of a folder with the bus and its restore. Both work on the devices the
// last discovery listed, under the input block, with progress and Cancel.
#pragma once

#include <functional>
#include <string>

#include "network/device_registry.h"
#include "network/network_view.h"
#include "services/services.h"

class wxWindow;

namespace orv {

class BusComparisonWindow;
class BusReportWindow;

// Reads every configuration and writes the folder as orvctl backup does; the
// window listing what was saved and what was not, or nothing after a box
// said why nothing was done. A backup that does not read every device to the
// end writes nothing, so the folder keeps what it held.
BusReportWindow* BackUpBus(wxWindow* parent, const DeviceRegistry& registry, Services& services,
                           const std::string& folder);

// Compares the backup in folder with the bus; the window showing it, or
// nothing after a box said why there is none.
BusComparisonWindow* CompareBusWithBackup(wxWindow* parent, const DeviceRegistry& registry, Services& services,
                                          const std::string& folder);

// The comparison of CompareBusWithBackup with a tick box on every device that
// can be written. Its Write asks first, naming the ticked devices; then each
// is written and read back, and a window lists the result of each. Its
// Replace puts a device that is not configured in the place of one missing
// on the bus, after a question naming both: the new device takes the missing
// one's address (rediscovered there) and its configuration, read back.
// mayWrite, when given, is asked before either: false (a panel's edits kept)
// writes nothing.
using MayWrite = std::function<bool()>;
BusComparisonWindow* RestoreBus(wxWindow* parent, NetworkContext& context, const std::string& folder,
                                MayWrite mayWrite = {});

}  // namespace orv
