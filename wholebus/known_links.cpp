#include "wholebus/known_links.h"

#include <algorithm>

namespace orv {

std::vector<RowLink> Input8RowLinks(const Input8Config& config)
{
    std::vector<RowLink> links;
    for (size_t r = 0; r < config.rows.size(); ++r)
        if (config.rows[r].destination != 0)
            links.push_back({int(r + 1), config.rows[r].destination});
    return links;
}

std::vector<RowLink> RS232RowLinks(const RS232Config& config)
{
    std::vector<RowLink> links;
    for (size_t r = 0; r < config.rows.size(); ++r) {
        const RS232Row& row = config.rows[r];
        if (!row.text.empty() && row.destination != DEST_UNUSED && row.destination != DEST_BROADCAST)
            links.push_back({int(r + 1), row.destination});
    }
    return links;
}

void KnownLinks::Learn(const DeviceRecord& record, std::vector<RowLink> links)
{
    Forget(record.address);
    sources_.push_back({record, std::move(links)});
}

void KnownLinks::Forget(uint8_t address)
{
    std::erase_if(sources_, [address](const Source& source) { return source.record.address == address; });
}

void KnownLinks::KeepListed(const DeviceRegistry& registry)
{
    std::erase_if(sources_, [&registry](const Source& source) {
        for (size_t index = 0; index < registry.Count(); ++index) {
            const DeviceRecord& listed = registry.Record(index);
            if (listed.address == source.record.address && listed.serialNumber == source.record.serialNumber)
                return false;
        }
        return true;
    });
}

bool KnownLinks::Knows(const DeviceRecord& record) const
{
    return std::any_of(sources_.begin(), sources_.end(), [&record](const Source& source) {
        return source.record.address == record.address && source.record.serialNumber == record.serialNumber;
    });
}

std::vector<LinkingRows> KnownLinks::LinksTo(uint8_t address) const
{
    std::vector<const Source*> sorted;
    for (const Source& source : sources_)
        if (source.record.address != address)
            sorted.push_back(&source);
    std::sort(sorted.begin(), sorted.end(),
              [](const Source* a, const Source* b) { return a->record.address < b->record.address; });
    std::vector<LinkingRows> linking;
    for (const Source* source : sorted) {
        LinkingRows rows{StrF("%s @ %d", source->record.name.c_str(), source->record.address), {}};
        for (const RowLink& link : source->links)
            if (link.destination == address)
                rows.rows.push_back(link.row);
        if (!rows.rows.empty())
            linking.push_back(std::move(rows));
    }
    return linking;
}

std::string LinkingRowsText(const std::vector<LinkingRows>& linking)
{
    std::string text;
    for (const LinkingRows& device : linking) {
        text += " " + device.device + (device.rows.size() == 1 ? ": row " : ": rows ");
        for (size_t i = 0; i < device.rows.size(); ++i)
            text += (i ? ", " : "") + std::to_string(device.rows[i]);
        text += "\n";
    }
    return text;
}

bool ConfirmMoveOfLinkedDevice(Prompts& prompts, const KnownLinks& links, const DeviceRecord& record,
                               uint8_t newAddress)
{
    const std::vector<LinkingRows> linking = links.LinksTo(record.address);
    if (linking.empty())
        return true;
    size_t rows = 0;
    for (const LinkingRows& device : linking)
        rows += device.rows.size();
    const std::string text =
        StrF(" %zu %s of other devices send to address %d, where %s (%s) is now:\n\n", rows,
             rows == 1 ? "row" : "rows", record.address, record.name.c_str(),
             SerialText(record.serialNumber).c_str()) +
        LinkingRowsText(linking) +
        StrF("\n After the move to address %d %s to an address without this device, until %s changed.\n\n"
             " Press OK to move it anyway, or Cancel to keep its address. ",
             newAddress, rows == 1 ? "it sends" : "they send", rows == 1 ? "it is" : "they are");
    MessageBoxOptions question{" Set Address: Linked Rows ", text, Buttons::OkCancel, Icon::Exclamation};
    return prompts.MessageBox(question) == Answer::Ok;
}

}  // namespace orv
