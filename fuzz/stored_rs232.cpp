#include "fuzz/stored_rs232.h"

#include "fuzz/fuzz_support.h"
#include "model/latin1.h"

namespace orv::fuzz {

std::optional<StoredRS232> StoredForm(const RS232Config& config)
{
    StoredRS232 stored;
    stored.name = Utf8ToLatin1(config.name).substr(0, RS232_NAME_LENGTH);
    stored.baudRate = config.baudRate;
    for (size_t i = 0; i < config.rows.size(); ++i) {
        const RS232Row& row = config.rows[i];
        if (row.text.empty())
            continue;
        std::optional<std::vector<uint8_t>> bytes = RowStringBytes(row);
        if (!bytes)
            return std::nullopt;
        stored.rows.push_back({row.destination, uint8_t(row.action), StoreRowParameters(row), std::move(*bytes)});
    }
    return stored;
}

}  // namespace orv::fuzz
