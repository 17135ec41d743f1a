#include "port/serial_port_list.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <set>
#include <tuple>

#include "port/tty_interface.h"

namespace orv {

namespace {

namespace fs = std::filesystem;

constexpr const char* OTHER_PREFIXES[] = {"ttyUSB", "ttyACM", "ttyS"};
// From the tty's device up past its USB interface.
constexpr int USB_DEVICE_SEARCH_DEPTH = 3;

std::string FirstLine(const fs::path& file)
{
    std::ifstream in(file);
    std::string line;
    std::getline(in, line);
    while (!line.empty() && (line.back() == '\r' || line.back() == ' '))
        line.pop_back();
    return line;
}

// The USB product name above a tty's device; empty for a port not on USB.
std::string UsbProduct(const fs::path& ttyEntry)
{
    std::error_code ec;
    fs::path dir = fs::canonical(ttyEntry / "device", ec);
    for (int up = 0; !ec && up < USB_DEVICE_SEARCH_DEPTH && dir.has_relative_path(); ++up, dir = dir.parent_path())
        if (fs::exists(dir / "idVendor", ec))
            return FirstLine(dir / "product");
    return {};
}

// The kernel makes ttyS nodes for UARTs that may not be there; the absent
// ones have the port type 0 (unknown).
bool HasUart(const fs::path& ttyEntry)
{
    const std::string type = FirstLine(ttyEntry / "type");
    return !type.empty() && type != "0";
}

// ttyACM0 before ttyS0 before ttyUSB0, and ttyS2 before ttyS10.
bool PortNameLess(const std::string& a, const std::string& b)
{
    const auto split = [](const std::string& name) {
        const size_t digits = name.find_first_of("0123456789");
        const std::string prefix = name.substr(0, digits);
        return std::make_tuple(prefix, digits == std::string::npos ? 0 : name.size() - digits, name);
    };
    return split(a) < split(b);
}

}  // namespace

std::vector<SerialPortEntry> ListSerialPorts(const std::string& sysRoot, const std::string& devRoot)
{
    std::vector<SerialPortEntry> ports;
    std::set<std::string> listed;
    TtyInterface ftdi(sysRoot, devRoot);
    uint32_t count = 0;
    if (ftdi.CreateDeviceInfoList(count) == FT_OK) {
        for (uint32_t i = 0; i < count; ++i) {
            DeviceDetail detail;
            if (ftdi.GetDeviceInfoDetail(i, detail) != FT_OK || ftdi.DevicePath(i).empty())
                continue;
            ports.push_back({ftdi.DevicePath(i), true, detail.serialNumber, detail.description});
            listed.insert(ftdi.DevicePath(i));
        }
    }

    std::vector<std::string> names;
    std::error_code ec;
    const fs::path classTty = fs::path(sysRoot) / "class" / "tty";
    for (fs::directory_iterator it(classTty, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        for (const char* prefix : OTHER_PREFIXES)
            if (name.starts_with(prefix) && name.size() > std::string(prefix).size() &&
                std::isdigit(static_cast<unsigned char>(name[std::string(prefix).size()])))
                names.push_back(name);
    }
    std::sort(names.begin(), names.end(), PortNameLess);
    for (const std::string& name : names) {
        const std::string path = (fs::path(devRoot) / name).string();
        if (listed.count(path) || (name.starts_with("ttyS") && !HasUart(classTty / name)))
            continue;
        const std::string product = UsbProduct(classTty / name);
        ports.push_back({path, false, "", product.empty() ? "serial port" : product});
    }
    return ports;
}

std::vector<SerialPortEntry> ListSerialPorts()
{
    return ListSerialPorts("/sys", "/dev");
}

}  // namespace orv
