#include "port/com_port_names.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>

namespace orv {

namespace {
constexpr char DEVICE_NAMESPACE[] = "\\\\.\\";
constexpr char FTDI_VENDOR_TAG[] = "VID_0403";
constexpr char PRODUCT_TAG[] = "PID_";
constexpr size_t PRODUCT_ID_DIGITS = 4;

std::string Upper(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return char(std::toupper(c)); });
    return text;
}

bool AllDigits(const std::string& text)
{
    return !text.empty() && std::all_of(text.begin(), text.end(), [](unsigned char c) { return std::isdigit(c); });
}
}  // namespace

std::optional<std::string> ComDevicePath(const std::string& portName)
{
    std::string name = Upper(portName);
    if (name.starts_with(DEVICE_NAMESPACE))
        name.erase(0, sizeof(DEVICE_NAMESPACE) - 1);
    if (!name.starts_with("COM") || !AllDigits(name.substr(3)) || std::atoi(name.c_str() + 3) == 0)
        return std::nullopt;
    return DEVICE_NAMESPACE + name;
}

bool IsFtdiHardwareId(const std::string& hardwareId)
{
    return Upper(hardwareId).find(FTDI_VENDOR_TAG) != std::string::npos;
}

unsigned ProductIdOf(const std::string& hardwareId)
{
    const std::string id = Upper(hardwareId);
    const size_t tag = id.find(PRODUCT_TAG);
    if (tag == std::string::npos)
        return 0;
    const std::string digits = id.substr(tag + sizeof(PRODUCT_TAG) - 1, PRODUCT_ID_DIGITS);
    if (digits.size() != PRODUCT_ID_DIGITS || !std::all_of(digits.begin(), digits.end(), ::isxdigit))
        return 0;
    return unsigned(std::strtoul(digits.c_str(), nullptr, 16));
}

std::string FtdiSerialOf(const std::string& instanceId)
{
    const std::string id = Upper(instanceId);
    if (!id.starts_with("FTDIBUS\\") || id.find(FTDI_VENDOR_TAG) == std::string::npos)
        return {};
    const size_t product = id.find(PRODUCT_TAG);
    const size_t start = product == std::string::npos ? product : id.find('+', product);
    if (start == std::string::npos)
        return {};
    const size_t end = id.find('\\', start);
    std::string serial = instanceId.substr(start + 1, end == std::string::npos ? end : end - start - 1);
    if (serial.size() > 1)
        serial.pop_back();
    return serial;
}

}  // namespace orv
