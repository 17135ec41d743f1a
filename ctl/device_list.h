// The devices of a discovery as orvctl prints them: one line each, or JSON.
#pragma once

#include <optional>
#include <string>

#include "ctl/json_text.h"
#include "network/device_registry.h"

namespace orv {

// "  3  ORV-Input8   21 00 10 31  1.20   configured": address, name, serial as
// the tool shows it, firmware version, configured or not, and "shared
// address" when another device has the same address.
std::string DeviceLine(const DeviceRecord& record);

// UTF-8 text as a terminal may show it: control characters (C0, DEL, and C1
// as UTF-8 encodes them) as \xNN, so that a device's name cannot command the
// terminal (set its title, move the cursor).
std::string TerminalText(const std::string& text);

// Text in double quotes, exactly: quotes and backslashes escaped, control
// characters as TerminalText shows them, blanks kept.
std::string QuotedText(const std::string& text);

// A device as orvctl's JSON shows it: address, name, serial, firmware,
// configured, in that order.
Json DeviceJson(const DeviceRecord& record);

}  // namespace orv
