#include "wholebus/config_diff.h"

#include <algorithm>
#include <span>

#include "model/catalogue.h"
#include "model/input8_config.h"
#include "model/input8_image.h"
#include "model/latin1.h"
#include "model/rs232_image.h"
#include "services/log.h"

namespace orv {

namespace {

constexpr const char* ARROW = " \u2192 ";
// The kinds whose catalogue names the action codes.
constexpr uint8_t ACTION_KINDS[] = {TYPE_RS232, TYPE_LED4PD, TYPE_RELAY};

std::string Quoted(const std::string& text)
{
    std::string quoted = "\"";
    for (char c : text) {
        if (c == '"' || c == '\\')
            quoted += '\\';
        quoted += c;
    }
    return quoted + "\"";
}

std::string Joined(const std::vector<int>& spins, const std::vector<std::string>& texts)
{
    std::string line;
    for (int value : spins)
        line += (line.empty() ? "" : " ") + std::to_string(value);
    for (const std::string& text : texts)
        line += (line.empty() ? "" : " ") + (text.empty() ? std::string("0") : text);
    return line.empty() ? "none" : line;
}

// Collects "PREFIX: what BEFORE → AFTER" for the fields that differ.
struct Lines {
    std::vector<std::string> lines;
    void Add(const std::string& prefix, const std::string& what, const std::string& before, const std::string& after)
    {
        if (before != after)
            lines.push_back(prefix + ": " + what + " " + before + ARROW + after);
    }
};

std::string Input8Parameters(const InputRow& row)
{
    const ParameterValues values = DecodeParameters(row.action, row.parameters);
    if (GetParamSpec(row.action))
        return Joined(values.spins, values.texts);
    if (row.action == ACTION_UNUSED)
        return Quoted(values.freeText);
    std::string bytes;
    for (uint8_t byte : row.parameters)
        bytes += StrF(bytes.empty() ? "%02X" : " %02X", byte);
    return bytes;
}

std::string Input8Destination(uint8_t address, const DestinationNamer& name)
{
    return address == 0 ? "Unused" : name(address);
}

std::string ChangeName(ChangeType change)
{
    switch (change) {
    case ChangeType::Change: return "Change";
    case ChangeType::Open: return "Open";
    case ChangeType::Close: return "Close";
    }
    return StrF("%u", unsigned(change));
}

std::vector<std::string> Input8Differences(const std::vector<uint8_t>& before, const std::vector<uint8_t>& after,
                                           const DestinationNamer& nameBefore, const DestinationNamer& nameAfter)
{
    const Input8Config a = DecodeInput8Image(before.data());
    const Input8Config b = DecodeInput8Image(after.data());
    Lines out;
    if (a.name != b.name)
        out.lines.push_back("Name: " + Quoted(a.name) + ARROW + Quoted(b.name));
    for (size_t r = 0; r < INPUT8_ROWS; ++r) {
        const InputRow& x = a.rows[r];
        const InputRow& y = b.rows[r];
        const std::string row = StrF("Row %zu", r + 1);
        out.Add(row, "input", std::to_string(x.input + 1), std::to_string(y.input + 1));
        out.Add(row, "change", ChangeName(x.change), ChangeName(y.change));
        // The same address is no difference, whatever answers there now.
        if (x.destination != y.destination)
            out.Add(row, "destination", Input8Destination(x.destination, nameBefore),
                    Input8Destination(y.destination, nameAfter));
        out.Add(row, "action", ActionName(x.action), ActionName(y.action));
        // A new action gives the same bytes another meaning: its parameters
        // are named even when the bytes are equal.
        const std::string p = Input8Parameters(x);
        const std::string q = Input8Parameters(y);
        if (x.parameters != y.parameters || x.action != y.action)
            out.lines.push_back(row + ": parameters " + p + ARROW + q);
    }
    return out.lines;
}

std::string RS232String(const RS232Row& row)
{
    if (row.type == StringType::ASCII)
        return Quoted(row.text);
    std::string hex = row.text;
    hex.erase(hex.find_last_not_of(' ') + 1);
    return "hex " + hex;
}

std::string RS232Destination(uint8_t address, const DestinationNamer& name)
{
    if (address == DEST_UNUSED)
        return "Unused";
    if (address == DEST_BROADCAST)
        return "Broadcast";
    return name(address);
}

std::string RS232Parameters(const RS232Row& row)
{
    if (GetParamSpec(row.action))
        return Joined(row.spinValues, row.freeTexts);
    return Quoted(row.command);
}

std::string RowCount(size_t count, const char* more)
{
    return StrF("RS232: %zu row%s %s", count, count == 1 ? "" : "s", more);
}

std::vector<std::string> RS232Differences(const RS232Config& a, const RS232Config& b, const DestinationNamer& nameBefore,
                                          const DestinationNamer& nameAfter)
{
    Lines out;
    if (a.name != b.name)
        out.lines.push_back("Name: " + Quoted(a.name) + ARROW + Quoted(b.name));
    out.Add("RS232", "baud rate", std::to_string(a.baudRate), std::to_string(b.baudRate));
    const size_t common = std::min(a.rows.size(), b.rows.size());
    for (size_t r = 0; r < common; ++r) {
        const RS232Row& x = a.rows[r];
        const RS232Row& y = b.rows[r];
        const std::string row = StrF("RS232 row %zu", r + 1);
        out.Add(row, "string", RS232String(x), RS232String(y));
        if (x.destination != y.destination)
            out.Add(row, "destination", RS232Destination(x.destination, nameBefore),
                    RS232Destination(y.destination, nameAfter));
        out.Add(row, "action", ActionName(x.action), ActionName(y.action));
        if (x.action != y.action)
            out.lines.push_back(row + ": parameters " + RS232Parameters(x) + ARROW + RS232Parameters(y));
        else
            out.Add(row, "parameters", RS232Parameters(x), RS232Parameters(y));
    }
    if (b.rows.size() > a.rows.size())
        out.lines.push_back(RowCount(b.rows.size() - a.rows.size(), "more"));
    else if (a.rows.size() > b.rows.size())
        out.lines.push_back(RowCount(a.rows.size() - b.rows.size(), "fewer"));
    return out.lines;
}

// The image bytes that hold the configuration: without the format word and
// the CRC (which the file form leaves zero or stores in another byte order).
std::span<const uint8_t> StoredBytes(ConfigKind kind, const std::vector<uint8_t>& image)
{
    if (kind == ConfigKind::Input8)
        return std::span<const uint8_t>(image).subspan(INPUT8_NAME_OFFSET, INPUT8_IMAGE_SIZE - 2 - INPUT8_NAME_OFFSET);
    const std::optional<size_t> length = RS232ImageLength(image);
    return std::span<const uint8_t>(image).subspan(2, length ? *length - 4 : 0);
}

}  // namespace

std::string ActionName(uint16_t action)
{
    if (action == ACTION_UNUSED)
        return "Unused";
    for (uint8_t kind : ACTION_KINDS)
        for (const ActionEntry& entry : GetActions(kind))
            if (entry.code == action)
                return entry.name;
    return StrF("action %u", unsigned(action));
}

DestinationNamer NamerOf(const DeviceRegistry& registry)
{
    std::vector<DeviceRecord> records;
    for (size_t i = 0; i < registry.Count(); ++i)
        records.push_back(registry.Record(i));
    return NamerOf(records);
}

DestinationNamer NamerOf(const std::vector<DeviceRecord>& records)
{
    return [records](uint8_t address) {
        for (const DeviceRecord& record : records)
            if (record.address == address && record.typeCode != TYPE_UNRECOGNISED)
                return Latin1ToUtf8(record.name) + StrF(" @ %d", address);
        return StrF("address %d", address);
    };
}

std::vector<std::string> ConfigDifferences(ConfigKind kind, const std::vector<uint8_t>& before,
                                           const std::vector<uint8_t>& after, const DestinationNamer& nameBefore,
                                           const DestinationNamer& nameAfter)
{
    const size_t size = kind == ConfigKind::Input8 ? INPUT8_IMAGE_SIZE : RS232_IMAGE_SIZE;
    if (before.size() < size || after.size() < size)
        return {"the configuration is not complete"};
    std::vector<std::string> lines;
    if (kind == ConfigKind::Input8) {
        lines = Input8Differences(before, after, nameBefore, nameAfter);
    } else {
        const std::optional<RS232Config> a = ParseRS232Image(before);
        const std::optional<RS232Config> b = ParseRS232Image(after);
        if (!a || !b)
            return {std::string("RS232: the configuration ") + (!a ? "before" : "now") + " is damaged"};
        lines = RS232Differences(*a, *b, nameBefore, nameAfter);
    }
    const std::span<const uint8_t> x = StoredBytes(kind, before);
    const std::span<const uint8_t> y = StoredBytes(kind, after);
    if (lines.empty() && !std::equal(x.begin(), x.end(), y.begin(), y.end()))
        lines.push_back("Stored bytes differ that the panel does not show");
    return lines;
}

}  // namespace orv
