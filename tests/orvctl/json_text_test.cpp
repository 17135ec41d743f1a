// orvctl's JSON layout: flat objects on one line, lists and nesting one member
// per line, strings escaped and never a throw on bad UTF-8.
#include <gtest/gtest.h>

#include "ctl/json_text.h"

namespace orv::test {
namespace {

TEST(JsonTextTest, LaysOutValuesAsOrvctlPrintsThem)
{
    const struct {
        Json value;
        std::string text;
    } cases[] = {
        {Json{{"address", 3}, {"name", "ORV-Input8"}, {"configured", true}, {"file", nullptr}},
         "{\"address\": 3, \"name\": \"ORV-Input8\", \"configured\": true, \"file\": null}\n"},
        {Json{{"z", 1}, {"a", 2}}, "{\"z\": 1, \"a\": 2}\n"},
        {Json::array({Json{{"check", "echo"}}, Json{{"check", "noise"}}}),
         "[\n  {\"check\": \"echo\"},\n  {\"check\": \"noise\"}\n]\n"},
        {Json{{"devices", Json::array({Json{{"address", 3}}, Json{{"address", 9}}})}},
         "{\n  \"devices\": [\n    {\"address\": 3},\n    {\"address\": 9}\n  ]\n}\n"},
        {Json::array({1, 2}), "[1, 2]\n"},
        {Json::array(), "[]\n"},
        {Json("a\"b\\c\n\x01\x7f"), "\"a\\\"b\\\\c\\n\\u0001\x7f\"\n"},
        {Json("Gr\xC3\xBC\xC3\x9F" "e"), "\"Gr\xC3\xBC\xC3\x9F" "e\"\n"},
        {Json("bad \xFF end"), "\"bad \xEF\xBF\xBD end\"\n"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(JsonText(c.value), c.text);
}

}  // namespace
}  // namespace orv::test
