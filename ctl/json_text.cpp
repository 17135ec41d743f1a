#include "ctl/json_text.h"

#include <algorithm>

namespace orv {

namespace {

std::string ScalarText(const Json& value)
{
    // Replacing bad UTF-8 instead of the library's default, an exception.
    return value.dump(-1, ' ', false, Json::error_handler_t::replace);
}

void AppendValue(const Json& value, const std::string& indent, std::string& text)
{
    if (!value.is_structured()) {
        text += ScalarText(value);
        return;
    }
    const bool object = value.is_object();
    const bool oneLine =
        std::none_of(value.begin(), value.end(), [](const Json& member) { return member.is_structured(); });
    const std::string inner = indent + "  ";
    text += object ? '{' : '[';
    bool first = true;
    for (const auto& member : value.items()) {
        if (!first)
            text += ',';
        text += oneLine ? (first ? "" : " ") : "\n" + inner;
        if (object)
            text += ScalarText(member.key()) + ": ";
        AppendValue(member.value(), inner, text);
        first = false;
    }
    if (!oneLine)
        text += "\n" + indent;
    text += object ? '}' : ']';
}

}  // namespace

std::string JsonText(const Json& value)
{
    std::string text;
    AppendValue(value, "", text);
    return text + '\n';
}

}  // namespace orv
