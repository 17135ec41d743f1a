#include "panel_rules/device_label.h"

namespace orv {

std::string PanelDeviceLabel(const DeviceRegistry& registry, uint8_t address, DeviceTypeCode kind,
                             const std::string& kindName)
{
    const auto isShown = [&](const DeviceRecord& record) {
        return record.address == address && record.typeCode == kind;
    };
    const DeviceRecord* named = registry.SelectedRecord();
    if (!named || !isShown(*named)) {
        named = nullptr;
        for (size_t i = 0; i < registry.Count(); ++i) {
            if (!isShown(registry.Record(i)))
                continue;
            if (named) {
                named = nullptr;
                break;
            }
            named = &registry.Record(i);
        }
    }
    return (named ? named->name : kindName) + " @ " + std::to_string(address);
}

}  // namespace orv
