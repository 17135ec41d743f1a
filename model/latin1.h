// Device texts are ISO 8859-1, one byte per character; the programs hold text
// as UTF-8. A character outside ISO 8859-1 (or a byte that is no valid UTF-8)
// becomes '?', so a limit counted in characters is a limit in bytes.
#pragma once

#include <string>
#include <string_view>

namespace orv {

std::string Utf8ToLatin1(std::string_view utf8);
std::string Latin1ToUtf8(std::string_view latin1);

}  // namespace orv
