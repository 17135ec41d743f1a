// How a parameter typed as text becomes a number, alike for both panels.
#pragma once

#include <cstdint>
#include <string_view>

namespace orv {

// The decimal number at the start of text; 0 when it starts with no digit.
// Unsigned arithmetic keeps its low byte right however long it is.
uint32_t LeadingNumber(std::string_view text);

}  // namespace orv
