#include "ctl/device_list.h"

#include <algorithm>
#include <cctype>

#include "config/config_kind.h"
#include "model/latin1.h"
#include "services/log.h"

namespace orv {

std::string TerminalText(const std::string& text)
{
    std::string shown;
    for (size_t i = 0; i < text.size(); ++i) {
        const auto byte = static_cast<unsigned char>(text[i]);
        const auto next = i + 1 < text.size() ? static_cast<unsigned char>(text[i + 1]) : 0;
        if (byte < 0x20 || byte == 0x7F) {
            shown += StrF("\\x%02X", byte);
        } else if (byte == 0xC2 && next >= 0x80 && next <= 0x9F) {
            shown += StrF("\\x%02X", next);
            ++i;
        } else {
            shown += text[i];
        }
    }
    return shown;
}

std::string QuotedText(const std::string& text)
{
    std::string quoted = "\"";
    for (char c : text) {
        if (c == '"' || c == '\\')
            quoted += {'\\', c};
        else
            quoted += c;
    }
    return TerminalText(quoted) + "\"";
}

std::string DeviceLine(const DeviceRecord& record)
{
    std::string line = StrF("%3d  %-11s  %s  %-5s  %s", record.address, TerminalText(Latin1ToUtf8(record.name)).c_str(),
                            SerialText(record.serialNumber).c_str(), FirmwareText(record).c_str(),
                            record.configured ? "configured" : "not configured");
    if (record.sharedAddress)
        line += "  shared address";
    return line;
}

Json DeviceJson(const DeviceRecord& record)
{
    return Json{{"address", record.address},
                {"name", Latin1ToUtf8(record.name)},
                {"serial", SerialText(record.serialNumber)},
                {"firmware", FirmwareText(record)},
                {"configured", record.configured}};
}

}  // namespace orv
