// How a parameter typed as text becomes a number, alike for both panels.
#pragma once

#include <cstdint>
#include <string_view>

namespace orv {

// The largest value a parameter byte holds.
constexpr uint32_t PARAMETER_BYTE_MAX = 255;

// The decimal number at the start of text; 0 when it starts with no digit.
// Unsigned arithmetic keeps its low byte right however long it is.
uint32_t LeadingNumber(std::string_view text);

// Whether the decimal number at the start of text is at most
// PARAMETER_BYTE_MAX (also for any number of digits), so that it is stored
// as it is typed and not as its low byte.
bool FitsParameterByte(std::string_view text);

}  // namespace orv
