#include "model/rs232_config.h"

#include <algorithm>

#include "model/latin1.h"
#include "model/parameter_text.h"
#include "model/rs232_image.h"
#include "services/log.h"

namespace orv {

namespace {

// The image less its header and CRC.
constexpr int IMAGE_ROOM = int(RS232_IMAGE_SIZE - RS232_HEADER_SIZE - 2);
// Record, offset entry and length byte.
constexpr int BYTES_PER_ROW = int(RS232_RECORD_SIZE + 2 + 1);

bool IsRelayAction(uint16_t action)
{
    return action == ACTION_RELAY_ENERGIZE || action == ACTION_RELAY_DEENERGIZE;
}

int HexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

// The stored bytes up to the first zero, at most RS232_PARAM_BYTES of them.
std::string ParamText(const std::array<uint8_t, RS232_PARAM_BYTES>& params)
{
    const auto end = std::find(params.begin(), params.end(), uint8_t(0));
    return std::string(params.begin(), end);
}

}  // namespace

size_t BaudRateIndex(uint32_t rate)
{
    const auto found = std::find(BaudRateTable.begin(), BaudRateTable.end(), rate);
    return size_t(found - BaudRateTable.begin());
}

std::optional<std::vector<uint8_t>> ParseHexString(const std::string& text)
{
    std::vector<uint8_t> bytes;
    size_t pos = 0;
    // A text of blanks alone is refused too: stored as an empty string, its
    // row would be dropped by the next build.
    while ((pos = text.find_first_not_of(" \t\r\n", pos)) != std::string::npos) {
        size_t end = text.find_first_of(" \t\r\n", pos);
        if (end == std::string::npos)
            end = text.size();
        const int high = end - pos == 2 ? HexDigit(text[pos]) : -1;
        const int low = end - pos == 2 ? HexDigit(text[pos + 1]) : -1;
        if (high < 0 || low < 0)
            break;
        bytes.push_back(uint8_t(high * 16 + low));
        pos = end;
    }
    if (pos == std::string::npos && !bytes.empty())
        return bytes;
    return std::nullopt;
}

RS232Refusal InvalidHexRefusal(size_t rowIndex)
{
    return {" Output Hex Validation ",
            StrF("Invalid Hex value for Row: %d. \n\nFormat accepted (space padded hex) : 1E 02 FF",
                 int(rowIndex + 1))};
}

std::optional<std::vector<uint8_t>> RowStringBytes(const RS232Row& row)
{
    if (row.type == StringType::Hex)
        return ParseHexString(row.text);
    const std::string latin1 = Utf8ToLatin1(row.text);
    return std::vector<uint8_t>(latin1.begin(), latin1.end());
}

void ShowStringBytes(const uint8_t* bytes, size_t count, RS232Row& row)
{
    const bool printable = std::all_of(bytes, bytes + count, [](uint8_t b) { return b >= 0x20 && b <= 0x7E; });
    if (printable) {
        row.type = StringType::ASCII;
        row.text.assign(bytes, bytes + count);
        return;
    }
    row.type = StringType::Hex;
    row.text.clear();
    for (size_t i = 0; i < count; ++i)
        row.text += StrF("%02X ", bytes[i]);
}

std::array<uint8_t, RS232_PARAM_BYTES> StoreRowParameters(const RS232Row& row)
{
    std::array<uint8_t, RS232_PARAM_BYTES> params{};
    const auto spec = GetParamSpec(row.action);
    if (!spec) {
        const std::string command = Utf8ToLatin1(row.command);
        std::copy_n(command.begin(), std::min(command.size(), params.size()), params.begin());
        return params;
    }
    const auto spin = [&](size_t k) { return k < row.spinValues.size() ? row.spinValues[k] : 0; };
    if (IsRelayAction(row.action)) {
        // The device takes the relay number as text: its first two characters.
        const std::string digits = std::to_string(spin(0));
        params[0] = uint8_t(digits[0]);
        params[1] = digits.size() > 1 ? uint8_t(digits[1]) : 0;
    } else {
        for (size_t k = 0; k < spec->spinCount && k < params.size(); ++k)
            params[k] = uint8_t(spin(k));
    }
    for (size_t t = 0; t < spec->textCount && spec->spinCount + t < params.size(); ++t) {
        const std::string text = t < row.freeTexts.size() ? row.freeTexts[t] : std::string();
        params[spec->spinCount + t] = uint8_t(LeadingNumber(text));
    }
    return params;
}

void ShowRowParameters(const std::array<uint8_t, RS232_PARAM_BYTES>& params, RS232Row& row)
{
    row.spinValues.clear();
    row.freeTexts.clear();
    row.command = Latin1ToUtf8(ParamText(params));
    const auto spec = GetParamSpec(row.action);
    if (!spec)
        return;
    if (IsRelayAction(row.action)) {
        row.spinValues.push_back(int(LeadingNumber(ParamText(params))));
    } else {
        for (size_t k = 0; k < spec->spinCount && k < params.size(); ++k)
            row.spinValues.push_back(params[k]);
    }
    for (size_t t = 0; t < spec->textCount && spec->spinCount + t < params.size(); ++t)
        row.freeTexts.push_back(StrF("%u", unsigned(params[spec->spinCount + t])));
}

int FreeImageBytes(const RS232Config& config)
{
    int free = IMAGE_ROOM;
    for (const RS232Row& row : config.rows)
        if (!row.text.empty())
            free -= BYTES_PER_ROW + int(Utf8ToLatin1(row.text).size());
    return free;
}

bool CanAddRS232Row(const RS232Config& config)
{
    return config.rows.size() < RS232_MAX_ROWS && FreeImageBytes(config) >= RS232_NEW_ROW_RESERVE;
}

RS232Refusal NoRoomForRowRefusal()
{
    return {" RS232 Input Config ", "Not enough memory for a new Row! \n "};
}

std::optional<uint8_t> TestStringPayload(size_t rowIndex)
{
    if (rowIndex < 10)
        return uint8_t('0' + rowIndex);
    return std::nullopt;
}

RS232Refusal UntestableStringRefusal()
{
    return {" RS232 Test String ", "Only the first ten strings (rows 1 to 10) can be tested from here."};
}

}  // namespace orv
