#include <gtest/gtest.h>

#include <string>

#include "config/parameter_text.h"

namespace orv {
namespace {

// Numbers that wrap around 2^32 must not pass as small ones.
TEST(ParameterText, OnlyNumbersOneByteHoldsFit)
{
    const struct {
        const char* text;
        uint32_t leading;
        bool fits;
    } cases[] = {
        {"", 0, true},          {"abc", 0, true},          {"0", 0, true},
        {"255", 255, true},     {"256", 256, false},       {"300", 300, false},
        {"0000255", 255, true}, {"12ab", 12, true},        {"999", 999, false},
        {"1000", 1000, false},  {"4294967296", 0, false},  {"4294967552", 256, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(LeadingNumber(c.text), c.leading) << c.text;
        EXPECT_EQ(FitsParameterByte(c.text), c.fits) << c.text;
    }
}

}  // namespace
}  // namespace orv
