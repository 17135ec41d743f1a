#include "panel_rules/rs232_destinations.h"

#include "model/catalogue.h"
#include "services/log.h"

namespace orv {

std::vector<DestinationEntry> RS232DestinationEntries(const DeviceRegistry& registry)
{
    std::vector<DestinationEntry> entries{{"Unused", DEST_UNUSED}, {"Broadcast", DEST_BROADCAST}};
    if (registry.Count() < 2)
        return entries;
    for (size_t i = 0; i < registry.Count() && entries.size() < 2 + RS232_DESTINATION_DEVICES; ++i) {
        const DeviceRecord& record = registry.Record(i);
        if (record.typeCode == TYPE_RS232 || GetActions(record.typeCode).empty())
            continue;
        entries.push_back({StrF("%s @ %d", record.name.c_str(), record.address), record.address});
    }
    return entries;
}

}  // namespace orv
