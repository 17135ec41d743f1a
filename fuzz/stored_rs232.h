// What an RS232 configuration puts into an image, row by row, so that two
// configurations can be compared by what a device would hold: the name and
// rate, and for each row with a string its destination, action, parameter
// bytes and string bytes. Rows without a string are not stored.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "model/rs232_config.h"

namespace orv::fuzz {

struct StoredRS232Row {
    uint8_t destination = 0;
    uint8_t action = 0;  // images keep the low byte
    std::array<uint8_t, RS232_PARAM_BYTES> params{};
    std::vector<uint8_t> string;

    bool operator==(const StoredRS232Row&) const = default;
};

struct StoredRS232 {
    std::string name;  // Latin-1, at most 32 bytes
    uint32_t baudRate = 0;
    std::vector<StoredRS232Row> rows;

    bool operator==(const StoredRS232&) const = default;
};

// Nothing stored for a configuration the builder would refuse for its strings.
std::optional<StoredRS232> StoredForm(const RS232Config& config);

}  // namespace orv::fuzz
