#include "model/parameter_text.h"

#include <algorithm>

namespace orv {

uint32_t LeadingNumber(std::string_view text)
{
    uint32_t number = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            break;
        number = number * 10 + uint32_t(c - '0');
    }
    return number;
}

ParameterCheck CheckParameter(std::string_view text, ParamSpec::Range range)
{
    if (text.find_first_not_of("0123456789") != std::string_view::npos)
        return ParameterCheck::NotANumber;
    // Leading zeros add nothing; past four digits the number would wrap.
    const std::string_view digits = text.substr(std::min(text.find_first_not_of('0'), text.size()));
    if (digits.size() > 4)
        return ParameterCheck::OutOfRange;
    const auto value = int(LeadingNumber(digits));
    return value >= range.minimum && value <= range.maximum ? ParameterCheck::Fits : ParameterCheck::OutOfRange;
}

std::string RangeText(ParamSpec::Range range)
{
    return "between " + std::to_string(range.minimum) + " and " + std::to_string(range.maximum);
}

std::string ParameterRefusal(size_t rowNumber, ParamSpec::Range range)
{
    return "Row " + std::to_string(rowNumber) + ": a parameter must be a number " + RangeText(range);
}

}  // namespace orv
