#include <gtest/gtest.h>

#include <string>

#include "model/parameter_text.h"

namespace orv {
namespace {

// Numbers that wrap around 2^32 must not pass as small ones.
TEST(ParameterText, LeadingNumberReadsTheDigitsAtTheStart)
{
    const struct {
        const char* text;
        uint32_t leading;
    } cases[] = {
        {"", 0}, {"abc", 0}, {"255", 255}, {"0000255", 255}, {"12ab", 12}, {"4294967296", 0}, {"4294967552", 256},
    };
    for (const auto& c : cases)
        EXPECT_EQ(LeadingNumber(c.text), c.leading) << c.text;
}

TEST(ParameterText, OnlyDigitsNamingAValueOfTheRangeFit)
{
    constexpr ParamSpec::Range RELAY{1, 4};
    const struct {
        const char* text;
        ParamSpec::Range range;
        ParameterCheck check;
    } cases[] = {
        {"", PARAMETER_BYTE_RANGE, ParameterCheck::Fits},
        {"0", PARAMETER_BYTE_RANGE, ParameterCheck::Fits},
        {"255", PARAMETER_BYTE_RANGE, ParameterCheck::Fits},
        {"0000255", PARAMETER_BYTE_RANGE, ParameterCheck::Fits},
        {"256", PARAMETER_BYTE_RANGE, ParameterCheck::OutOfRange},
        {"300", PARAMETER_BYTE_RANGE, ParameterCheck::OutOfRange},
        {"4294967296", PARAMETER_BYTE_RANGE, ParameterCheck::OutOfRange},
        {"4294967552", PARAMETER_BYTE_RANGE, ParameterCheck::OutOfRange},
        {"12ab", PARAMETER_BYTE_RANGE, ParameterCheck::NotANumber},
        {"-1", PARAMETER_BYTE_RANGE, ParameterCheck::NotANumber},
        {" 1", PARAMETER_BYTE_RANGE, ParameterCheck::NotANumber},
        {"", RELAY, ParameterCheck::OutOfRange},
        {"0", RELAY, ParameterCheck::OutOfRange},
        {"1", RELAY, ParameterCheck::Fits},
        {"4", RELAY, ParameterCheck::Fits},
        {"5", RELAY, ParameterCheck::OutOfRange},
    };
    for (const auto& c : cases)
        EXPECT_EQ(CheckParameter(c.text, c.range), c.check) << '"' << c.text << "\" " << RangeText(c.range);
}

TEST(ParameterText, RefusalNamesTheRowAndTheRange)
{
    EXPECT_EQ(ParameterRefusal(7, PARAMETER_BYTE_RANGE), "Row 7: a parameter must be a number between 0 and 255");
    EXPECT_EQ(ParameterRefusal(32, {1, 99}), "Row 32: a parameter must be a number between 1 and 99");
}

}  // namespace
}  // namespace orv
