#include "config/parameter_text.h"

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

bool FitsParameterByte(std::string_view text)
{
    // Leading zeros add nothing; four digits or more are above the maximum, however the number would wrap.
    const size_t start = std::min(text.find_first_not_of('0'), text.size());
    const std::string_view number = text.substr(start);
    const size_t digits = std::min(number.find_first_not_of("0123456789"), number.size());
    return digits <= 3 && LeadingNumber(number) <= PARAMETER_BYTE_MAX;
}

}  // namespace orv
