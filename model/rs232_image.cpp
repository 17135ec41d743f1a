#include "model/rs232_image.h"

#include <algorithm>
#include <vector>

#include "model/image_crc.h"
#include "model/latin1.h"
#include "services/log.h"

namespace orv {

namespace {

constexpr size_t CRC_SIZE = 2;
constexpr size_t MAX_STRING_BYTES = 255;  // one length byte

uint16_t Get16(const uint8_t* p)
{
    return uint16_t(p[0] | p[1] << 8);
}

void Put16(uint8_t* p, uint16_t value)
{
    p[0] = uint8_t(value);
    p[1] = uint8_t(value >> 8);
}

struct Record {
    uint8_t destAddress;
    uint16_t actionCode;
    std::array<uint8_t, RS232_PARAM_BYTES> params;
};

RS232Build Refused(const std::string& text)
{
    return {std::nullopt, RS232Refusal{" RS232 Input Config ", text}};
}

}  // namespace

std::array<uint8_t, RS232_HEADER_SIZE> EncodeRS232Header(const RS232Header& header)
{
    std::array<uint8_t, RS232_HEADER_SIZE> bytes{};
    Put16(&bytes[0], header.formatWord);
    std::copy(header.deviceName.begin(), header.deviceName.end(), &bytes[2]);
    Put16(&bytes[34], uint16_t(header.baudRate));
    Put16(&bytes[36], uint16_t(header.baudRate >> 16));
    Put16(&bytes[38], header.rowCount);
    Put16(&bytes[40], header.stringCount);
    Put16(&bytes[42], header.rowTableOffset);
    Put16(&bytes[44], header.stringTableOffset);
    return bytes;
}

RS232Header DecodeRS232Header(const uint8_t* bytes)
{
    RS232Header header;
    header.formatWord = Get16(&bytes[0]);
    std::copy_n(&bytes[2], RS232_NAME_LENGTH, header.deviceName.begin());
    header.baudRate = uint32_t(Get16(&bytes[34])) | uint32_t(Get16(&bytes[36])) << 16;
    header.rowCount = Get16(&bytes[38]);
    header.stringCount = Get16(&bytes[40]);
    header.rowTableOffset = Get16(&bytes[42]);
    header.stringTableOffset = Get16(&bytes[44]);
    return header;
}

RS232Build BuildRS232ImageOrRefusal(const RS232Config& config, std::optional<size_t> skipRow, LogSink& log)
{
    const bool skipping = skipRow && *skipRow < config.rows.size();
    const size_t rowTotal = config.rows.size() - (skipping ? 1 : 0);

    RS232Header header;
    header.baudRate = config.baudRate;
    const std::string name = Utf8ToLatin1(config.name);
    std::copy_n(name.begin(), std::min(name.size(), RS232_NAME_LENGTH), header.deviceName.begin());
    header.rowTableOffset = rowTotal > 0 ? RS232_HEADER_SIZE : 0;

    std::vector<Record> records;
    std::vector<std::vector<uint8_t>> strings;
    bool metEmpty = false;
    for (size_t i = 0; i < config.rows.size(); ++i) {
        if (skipping && i == *skipRow)
            continue;
        const RS232Row& row = config.rows[i];
        if (row.text.empty()) {
            metEmpty = true;
            continue;
        }
        auto bytes = RowStringBytes(row);
        if (!bytes)
            return {std::nullopt, InvalidHexRefusal(i)};
        if (bytes->size() > MAX_STRING_BYTES)
            return Refused(StrF("String too long for Row: %d. \n\nAt most 255 characters are stored", int(i + 1)));
        records.push_back({row.destination, row.action, StoreRowParameters(row)});
        strings.push_back(std::move(*bytes));
    }

    const size_t k = records.size();
    if (k > RS232_MAX_ROWS)
        return Refused(StrF("Too many Rows: %d. \n\nAt most 99 Rows can be saved", int(k)));
    size_t length = RS232_HEADER_SIZE + (RS232_RECORD_SIZE + 2) * k + CRC_SIZE;
    for (const auto& s : strings)
        length += s.size() + 1;
    if (length > RS232_IMAGE_SIZE)
        return Refused(StrF("Configuration too large: %d bytes, the ORV-RS232 holds %d. \n\n"
                            "Shorten or delete some strings and try again",
                            int(length), int(RS232_IMAGE_SIZE)));

    LogF(log, "Saving RS232 Config:  Rows %d: ", int(k));
    header.rowCount = uint16_t(k);
    header.stringCount = uint16_t(k);
    header.stringTableOffset = uint16_t(RS232_HEADER_SIZE + RS232_RECORD_SIZE * k);

    RS232BuiltImage image;
    image.header = header;
    const auto headerBytes = EncodeRS232Header(header);
    std::copy(headerBytes.begin(), headerBytes.end(), image.buffer.begin());
    uint8_t* record = &image.buffer[RS232_HEADER_SIZE];
    uint8_t* entry = &image.buffer[header.stringTableOffset];
    size_t stringAt = header.stringTableOffset + 2 * k;
    for (size_t j = 0; j < k; ++j, record += RS232_RECORD_SIZE, entry += 2) {
        record[0] = records[j].destAddress;
        Put16(&record[1], uint16_t(j));
        Put16(&record[3], records[j].actionCode);
        std::copy(records[j].params.begin(), records[j].params.end(), &record[5]);
        Put16(entry, uint16_t(stringAt));
        image.buffer[stringAt] = uint8_t(strings[j].size());
        std::copy(strings[j].begin(), strings[j].end(), &image.buffer[stringAt + 1]);
        stringAt += strings[j].size() + 1;
    }
    const uint16_t crc = ImageCrc(image.buffer.data(), stringAt);
    Put16(&image.buffer[stringAt], crc);
    image.length = stringAt + CRC_SIZE;
    return {image, std::nullopt, metEmpty};
}

RS232Refusal EmptyRowsWarning()
{
    return {" RS232 Input Config Warning ", "Empty Rows found. \n\n Rows with empty strings won't be saved"};
}

std::optional<size_t> RS232ImageLength(std::span<const uint8_t> buffer)
{
    const size_t size = buffer.size();
    if (size < RS232_HEADER_SIZE)
        return std::nullopt;
    const RS232Header header = DecodeRS232Header(buffer.data());
    const size_t n = header.rowCount;
    const size_t m = header.stringCount;
    if (n > RS232_MAX_ROWS)
        return std::nullopt;
    const size_t table = header.stringTableOffset;
    if (table + 2 * m > size)
        return std::nullopt;

    size_t walk = table + 2 * m;
    size_t stringBytes = 0;
    for (size_t j = 0; j < m; ++j) {
        if (walk >= size)
            return std::nullopt;
        const size_t entry = size_t(buffer[walk]) + 1;
        walk += entry;
        stringBytes += entry;
        if (walk > size)
            return std::nullopt;
    }
    const size_t length = RS232_HEADER_SIZE + RS232_RECORD_SIZE * n + 2 * m + stringBytes + CRC_SIZE;
    if (length > size)
        return std::nullopt;

    // The image is its first length bytes: that much is written, read back and
    // covered by the CRC, so every table and string must lie before the CRC,
    // the strings the length was walked over too (else the written image walks
    // to another length).
    const size_t content = length - CRC_SIZE;
    const size_t rowStart = header.rowTableOffset ? header.rowTableOffset : RS232_HEADER_SIZE;
    if (rowStart + RS232_RECORD_SIZE * n > content || table + 2 * m > content || walk > content)
        return std::nullopt;
    for (size_t j = 0; j < m; ++j) {
        const size_t p = Get16(&buffer[table + 2 * j]);
        if (p >= content || p + 1 + buffer[p] > content)
            return std::nullopt;
    }
    for (size_t j = 0; j < n; ++j)
        if (Get16(&buffer[rowStart + RS232_RECORD_SIZE * j + 1]) >= m)
            return std::nullopt;
    return length;
}

std::optional<RS232Config> ParseRS232Image(std::span<const uint8_t> buffer)
{
    if (!RS232ImageLength(buffer))
        return std::nullopt;
    const RS232Header header = DecodeRS232Header(buffer.data());

    RS232Config config;
    const auto nameEnd = std::find(header.deviceName.begin(), header.deviceName.end(), uint8_t(0));
    config.name = Latin1ToUtf8(std::string(header.deviceName.begin(), nameEnd));
    if (header.baudRate != 0)
        config.baudRate = header.baudRate;

    const size_t rowStart = header.rowTableOffset ? header.rowTableOffset : RS232_HEADER_SIZE;
    for (size_t j = 0; j < header.rowCount; ++j) {
        const uint8_t* record = &buffer[rowStart + RS232_RECORD_SIZE * j];
        RS232Row row;
        row.destination = record[0];
        row.action = uint8_t(Get16(&record[3]));
        std::array<uint8_t, RS232_PARAM_BYTES> params;
        std::copy_n(&record[5], RS232_PARAM_BYTES, params.begin());
        ShowRowParameters(params, row);
        const size_t p = Get16(&buffer[header.stringTableOffset + 2 * Get16(&record[1])]);
        ShowStringBytes(buffer.data() + p + 1, buffer[p], row);
        config.rows.push_back(std::move(row));
    }
    return config;
}

}  // namespace orv
