// Any RS232 configuration that the panel can hold, built into an image and
// parsed back: when the builder accepts it, the image holds every row with a
// string, with its destination, action, parameter bytes and string bytes, and
// the name and rate. Configurations the builder refuses leave no image.
#include "config/rs232_build.h"
#include "fuzz/fuzz_support.h"
#include "fuzz/stored_rs232.h"
#include "link/frame_codec.h"
#include "model/catalogue.h"
#include "model/latin1.h"

namespace {

using orv::fuzz::InputReader;

// Text as the panel's fields hold it: Latin-1 characters, no zero byte.
std::string FieldText(InputReader& input, size_t limit)
{
    std::string text = input.Text(limit);
    std::erase(text, '\0');
    return orv::Latin1ToUtf8(text);
}

// A Hex row as typed: the bytes as two-digit numbers between separators, or,
// now and then, any text, which the builder must refuse or store as typed.
std::string HexText(InputReader& input)
{
    const uint8_t style = input.Byte();
    if (style % 8 == 0)
        return FieldText(input, orv::RS232_STRING_LENGTH);
    static const char* separators[] = {" ", "  ", "\t", "\r\n"};
    std::string text;
    const size_t count = input.Byte() % 90;
    for (size_t i = 0; i < count; ++i) {
        if (i > 0 || style & 0x10)
            text += separators[input.Byte() % 4];
        text += orv::StrF(style & 0x20 ? "%02x" : "%02X", input.Byte());
    }
    return text;
}

orv::RS232Row Row(InputReader& input)
{
    orv::RS232Row row;
    row.type = input.Byte() & 1 ? orv::StringType::ASCII : orv::StringType::Hex;
    row.text = row.type == orv::StringType::ASCII ? FieldText(input, orv::RS232_STRING_LENGTH + 8) : HexText(input);
    row.destination = input.Byte();
    // The action choice offers catalogue codes, which fit the low byte an image keeps.
    row.action = input.Byte();
    if (const auto spec = orv::GetParamSpec(row.action)) {
        // Spin controls hold their values to their ranges.
        for (const orv::ParamSpec::Range& range : spec->Ranges())
            row.spinValues.push_back(range.minimum + int(input.Word() % uint32_t(range.maximum - range.minimum + 1)));
        for (int t = 0; t < spec->textCount; ++t)
            row.freeTexts.push_back(input.Text(5));
    } else {
        row.command = FieldText(input, orv::RS232_COMMAND_LENGTH);
    }
    return row;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    InputReader input(data, size);
    orv::RS232Config config;
    config.name = FieldText(input, orv::RS232_NAME_LENGTH + 4);
    const uint8_t rate = input.Byte();
    config.baudRate = rate < orv::BaudRateTable.size() ? orv::BaudRateTable[rate] : 1 + input.Word();
    const size_t rows = input.Byte() % (orv::RS232_MAX_ROWS + 8);
    for (size_t i = 0; i < rows && !input.Empty(); ++i)
        config.rows.push_back(Row(input));
    const std::optional<size_t> skip = input.Byte() & 1 ? std::optional<size_t>(input.Byte()) : std::nullopt;

    orv::fuzz::QuietPrompts prompts;
    orv::NullLog log;
    orv::SteadyClock clock;
    orv::Services services{clock, log, prompts};
    const auto built = orv::BuildRS232Image(config, skip, true, services);
    if (!built) {
        FUZZ_CHECK(prompts.boxes > 0);  // a refusal is always told
        return 0;
    }
    FUZZ_CHECK(built->length <= orv::RS232_IMAGE_SIZE);
    FUZZ_CHECK(orv::RS232ImageLength(built->buffer) == built->length);
    FUZZ_CHECK(orv::Crc16(built->buffer.data(), built->length - 2, orv::IMAGE_CRC_START) ==
               uint16_t(built->buffer[built->length - 2] | built->buffer[built->length - 1] << 8));

    orv::RS232Config kept = config;
    if (skip && *skip < kept.rows.size())
        kept.rows.erase(kept.rows.begin() + long(*skip));
    const std::optional<orv::RS232Config> parsed = orv::ParseRS232Image(built->buffer);
    FUZZ_CHECK(parsed.has_value());
    FUZZ_CHECK(orv::fuzz::StoredForm(*parsed) == orv::fuzz::StoredForm(kept));
    return 0;
}
