#include "wholebus/link_update.h"

#include "model/image_crc.h"
#include "model/input8_image.h"
#include "model/rs232_image.h"
#include "services/log.h"

namespace orv {

namespace {

// The offsets of the destination bytes of an image's rows, in row order.
std::vector<size_t> DestinationOffsets(ConfigKind kind, const std::vector<uint8_t>& image)
{
    std::vector<size_t> offsets;
    if (kind == ConfigKind::Input8) {
        if (image.size() < INPUT8_IMAGE_SIZE)
            return offsets;
        for (size_t r = 0; r < INPUT8_ROWS; ++r)
            offsets.push_back(INPUT8_ROWS_OFFSET + r * INPUT8_ROW_SIZE);
        return offsets;
    }
    if (image.size() < RS232_IMAGE_SIZE || !RS232ImageLength(image))
        return offsets;
    const RS232Header header = DecodeRS232Header(image.data());
    const size_t start = header.rowTableOffset == 0 ? RS232_HEADER_SIZE : header.rowTableOffset;
    for (size_t j = 0; j < header.rowCount; ++j)
        offsets.push_back(start + j * RS232_RECORD_SIZE);
    return offsets;
}

}  // namespace

std::vector<size_t> RowsPointingTo(ConfigKind kind, const std::vector<uint8_t>& image, uint8_t address)
{
    std::vector<size_t> rows;
    const std::vector<size_t> offsets = DestinationOffsets(kind, image);
    for (size_t r = 0; r < offsets.size(); ++r)
        if (image[offsets[r]] == address)
            rows.push_back(r);
    return rows;
}

std::vector<uint8_t> RetargetRows(ConfigKind kind, const std::vector<uint8_t>& image, uint8_t from, uint8_t to)
{
    std::vector<uint8_t> moved = image;
    for (size_t offset : DestinationOffsets(kind, image))
        if (moved[offset] == from)
            moved[offset] = to;
    if (kind == ConfigKind::RS232) {
        // The file form holds the CRC low byte first.
        const size_t length = *RS232ImageLength(moved);
        const uint16_t crc = ImageCrc(moved.data(), length - 2);
        moved[length - 2] = uint8_t(crc & 0xFF);
        moved[length - 1] = uint8_t(crc >> 8);
    }
    return moved;
}

std::string LinkRowText(ConfigKind kind, size_t row)
{
    return StrF(kind == ConfigKind::Input8 ? "Row %zu" : "RS232 row %zu", row + 1);
}

LinkScan FindLinksTo(uint8_t address, const SerialNumber& moved, const DeviceRegistry& registry, Services& services,
                     const std::function<bool(size_t done, size_t total, const DeviceRecord& device)>& step)
{
    LinkScan scan;
    const auto toRead = [&](const DeviceRecord& record) {
        return ConfigKindOfType(record.typeCode) && record.configured && record.serialNumber != moved;
    };
    size_t total = 0;
    for (size_t i = 0; i < registry.Count(); ++i)
        total += toRead(registry.Record(i));
    size_t done = 0;
    for (size_t i = 0; i < registry.Count() && !scan.interfaceLost && !scan.cancelled; ++i) {
        const DeviceRecord& record = registry.Record(i);
        const std::optional<ConfigKind> kind = ConfigKindOfType(record.typeCode);
        if (!toRead(record))
            continue;
        if (step && !step(done++, total, record)) {
            scan.cancelled = true;
            break;
        }
        if (!IsAddressable(record)) {
            scan.unread.emplace_back(record, "shares its address with another device: not read");
            continue;
        }
        const ReadOutcome read = ReadConfigImage(StepProfileOf(*kind), record.address, services);
        if (read.result == ReadResult::InterfaceLost) {
            scan.interfaceLost = true;
        } else if (read.result != ReadResult::Intact) {
            scan.unread.emplace_back(record, read.result == ReadResult::Damaged
                                                 ? "holds a damaged configuration"
                                                 : "did not answer the configuration read");
        } else {
            DeviceLinks links{record, *kind, FileFormOfRead(*kind, read), {}};
            links.rows = RowsPointingTo(*kind, links.image, address);
            if (!links.rows.empty())
                scan.devices.push_back(std::move(links));
        }
    }
    return scan;
}

WriteOutcome UpdateLinks(const DeviceLinks& links, uint8_t from, uint8_t to, Services& services)
{
    const std::vector<uint8_t> image = RetargetRows(links.kind, links.image, from, to);
    return WriteConfigImage(TransferProfileOf(links.kind), links.device.address, DeviceFormOfFile(links.kind, image),
                            services);
}

}  // namespace orv
