// orvctl's JSON as people read it and scripts parse it: small objects on one
// line, lists of them one per line.
#pragma once

#include <string>

#include <nlohmann/json.hpp>

namespace orv {

// Objects keep their members in the order they were added.
using Json = nlohmann::ordered_json;

// value as JSON text ending in a line break. An array or object that holds
// arrays or objects has one member per line, indented by two blanks; one that
// holds only numbers, strings, booleans and null stays on one line, with a
// blank after each colon and comma ({"address": 3, "name": "ORV-Input8"}).
// Bytes that are no valid UTF-8 show as U+FFFD.
std::string JsonText(const Json& value);

}  // namespace orv
