#include "config/parameter_text.h"

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

}  // namespace orv
