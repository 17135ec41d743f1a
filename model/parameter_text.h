// Parameter values typed as text, alike for both panels: how a text becomes a
// number, and the one rule for the values a parameter takes.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "model/catalogue.h"

namespace orv {

// The largest value a parameter byte holds.
constexpr uint32_t PARAMETER_BYTE_MAX = 255;

// The values of a free parameter: any one byte.
inline constexpr ParamSpec::Range PARAMETER_BYTE_RANGE{0, int(PARAMETER_BYTE_MAX)};

// The decimal number at the start of text; 0 when it starts with no digit.
// Unsigned arithmetic keeps its low byte right however long it is.
uint32_t LeadingNumber(std::string_view text);

enum class ParameterCheck {
    Fits,        // decimal digits (or nothing, read as 0) naming a value of the range
    OutOfRange,  // a number outside the range, however many digits it has
    NotANumber,  // anything but decimal digits
};

// A value is stored only as it is typed: never clamped, wrapped or cut.
ParameterCheck CheckParameter(std::string_view text, ParamSpec::Range range);

// "between 1 and 99"
std::string RangeText(ParamSpec::Range range);

// Why a row's value is refused, naming the row (from 1) and the range:
// "Row 7: a parameter must be a number between 0 and 255".
std::string ParameterRefusal(size_t rowNumber, ParamSpec::Range range);

}  // namespace orv
