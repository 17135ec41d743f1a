#include "model/latin1.h"

namespace orv {

namespace {

// Length of the UTF-8 sequence a lead byte opens; 0 for a byte that opens none.
size_t SequenceLength(unsigned char lead)
{
    if (lead < 0x80)
        return 1;
    if (lead >= 0xC2 && lead <= 0xDF)
        return 2;
    if (lead >= 0xE0 && lead <= 0xEF)
        return 3;
    if (lead >= 0xF0 && lead <= 0xF4)
        return 4;
    return 0;
}

}  // namespace

std::string Utf8ToLatin1(std::string_view utf8)
{
    std::string latin1;
    latin1.reserve(utf8.size());
    size_t i = 0;
    while (i < utf8.size()) {
        const unsigned char lead = static_cast<unsigned char>(utf8[i]);
        const size_t length = SequenceLength(lead);
        bool valid = length > 0 && i + length <= utf8.size();
        for (size_t k = 1; valid && k < length; ++k)
            valid = (static_cast<unsigned char>(utf8[i + k]) & 0xC0) == 0x80;
        if (!valid) {
            latin1.push_back('?');
            ++i;
            continue;
        }
        if (length == 1)
            latin1.push_back(char(lead));
        else if (lead <= 0xC3)
            latin1.push_back(char(((lead & 0x1F) << 6) | (static_cast<unsigned char>(utf8[i + 1]) & 0x3F)));
        else
            latin1.push_back('?');  // beyond U+00FF
        i += length;
    }
    return latin1;
}

std::string Latin1ToUtf8(std::string_view latin1)
{
    std::string utf8;
    utf8.reserve(latin1.size() * 2);
    for (char c : latin1) {
        const unsigned char byte = static_cast<unsigned char>(c);
        if (byte < 0x80) {
            utf8.push_back(c);
        } else {
            utf8.push_back(char(0xC0 | (byte >> 6)));
            utf8.push_back(char(0x80 | (byte & 0x3F)));
        }
    }
    return utf8;
}

}  // namespace orv
