#include "model/input8_config.h"

#include <algorithm>

#include "model/catalogue.h"
#include "model/latin1.h"
#include "model/parameter_text.h"

namespace orv {

namespace {

std::string_view FieldText(const ParameterBytes& bytes)
{
    const auto* chars = reinterpret_cast<const char*>(bytes.data());
    return std::string_view(chars, std::find(bytes.begin(), bytes.end(), 0) - bytes.begin());
}

void PutText(ParameterBytes& bytes, std::string_view text)
{
    std::copy_n(text.begin(), std::min(text.size(), bytes.size()), bytes.begin());
}

// Bounded value k of values as it is, so that a stored value outside its
// range is stored again unchanged; the range's minimum when the value is missing.
int BoundedValue(const ParameterValues& values, const std::vector<ParamSpec::Range>& ranges, size_t k)
{
    return k < values.spins.size() ? values.spins[k] : ranges[k].minimum;
}

}  // namespace

ParameterBytes EncodeParameters(uint16_t action, const ParameterValues& values)
{
    ParameterBytes bytes{};
    const std::optional<ParamSpec> spec = GetParamSpec(action);
    if (!spec) {
        PutText(bytes, Utf8ToLatin1(values.freeText));
        return bytes;
    }
    const std::vector<ParamSpec::Range> ranges = spec->Ranges();
    switch (action) {
    case ACTION_SEND_STRING:
        PutText(bytes, std::to_string(BoundedValue(values, ranges, 0) - 1));
        break;
    case ACTION_RELAY_ENERGIZE:
    case ACTION_RELAY_DEENERGIZE:
        PutText(bytes, std::to_string(BoundedValue(values, ranges, 0)));
        break;
    default:
        for (size_t k = 0; k < spec->spinCount; ++k)
            bytes[k] = uint8_t(BoundedValue(values, ranges, k));
        for (size_t t = 0; t < spec->textCount && t < values.texts.size(); ++t)
            bytes[spec->spinCount + t] = uint8_t(LeadingNumber(values.texts[t]));
        break;
    }
    return bytes;
}

ParameterValues DecodeParameters(uint16_t action, const ParameterBytes& bytes)
{
    ParameterValues values;
    const std::optional<ParamSpec> spec = GetParamSpec(action);
    if (!spec) {
        if (action == ACTION_UNUSED)
            values.freeText = Latin1ToUtf8(FieldText(bytes));
        return values;
    }
    switch (action) {
    case ACTION_SEND_STRING:
        values.spins.push_back(int(LeadingNumber(FieldText(bytes))) + 1);
        break;
    case ACTION_RELAY_ENERGIZE:
    case ACTION_RELAY_DEENERGIZE:
        values.spins.push_back(int(LeadingNumber(FieldText(bytes))));
        break;
    default:
        for (size_t k = 0; k < spec->spinCount; ++k)
            values.spins.push_back(bytes[k]);
        for (size_t t = 0; t < spec->textCount; ++t)
            values.texts.push_back(std::to_string(bytes[spec->spinCount + t]));
        break;
    }
    return values;
}

std::vector<size_t> FindMissingLinks(const Input8Config& config, const TypeAtAddressFn& typeAtAddress)
{
    std::vector<size_t> missing;
    for (size_t r = 0; r < config.rows.size(); ++r) {
        const InputRow& row = config.rows[r];
        if (row.action == ACTION_UNUSED)
            continue;
        const std::vector<ActionEntry> actions = GetActions(typeAtAddress(row.destination));
        const bool offered = std::any_of(actions.begin(), actions.end(),
                                         [&](const ActionEntry& entry) { return entry.code == row.action; });
        if (!offered)
            missing.push_back(r);
    }
    return missing;
}

Input8Config ApplyLinkChoice(const Input8Config& config, const std::vector<size_t>& missingRows, LinkChoice choice,
                             const TypeAtAddressFn& typeAtAddress)
{
    if (choice != LinkChoice::RemoveMissingLinks)
        return Input8Config{};
    Input8Config result = config;
    for (size_t r : missingRows) {
        InputRow& row = result.rows[r];
        row.action = ACTION_UNUSED;
        row.parameters = {};
        if (typeAtAddress(row.destination) == TYPE_NONE)
            row.destination = 0;
    }
    return result;
}

}  // namespace orv
