#include "port/serial_port_list.h"

#include <algorithm>
#include <iterator>
#include <set>

#include <windows.h>

#include "port/com_interface.h"
#include "services/file_path.h"

namespace orv {

namespace {

// Every COM port present, as the serial drivers register them: the values of
// HKLM\HARDWARE\DEVICEMAP\SERIALCOMM hold their names.
std::vector<std::string> ComPortNames()
{
    std::vector<std::string> names;
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"HARDWARE\\DEVICEMAP\\SERIALCOMM", 0, KEY_READ, &key) != ERROR_SUCCESS)
        return names;
    for (DWORD index = 0;; ++index) {
        wchar_t valueName[256];
        DWORD valueNameLength = DWORD(std::size(valueName));
        wchar_t data[64] = {};
        DWORD dataBytes = sizeof data - sizeof data[0];
        DWORD type = 0;
        const LONG result = RegEnumValueW(key, index, valueName, &valueNameLength, nullptr, &type,
                                          reinterpret_cast<BYTE*>(data), &dataBytes);
        if (result == ERROR_NO_MORE_ITEMS)
            break;
        if (result != ERROR_SUCCESS || type != REG_SZ)
            continue;
        data[dataBytes / sizeof data[0]] = L'\0';
        names.push_back(Utf8Of(data));
    }
    RegCloseKey(key);
    return names;
}

// COM2 before COM10.
bool ComNameLess(const std::string& a, const std::string& b)
{
    return a.size() != b.size() ? a.size() < b.size() : a < b;
}

}  // namespace

std::vector<SerialPortEntry> ListSerialPorts()
{
    std::vector<SerialPortEntry> ports;
    std::set<std::string> listed;
    ComInterface ftdi;
    uint32_t count = 0;
    if (ftdi.CreateDeviceInfoList(count) == FT_OK) {
        for (uint32_t i = 0; i < count; ++i) {
            DeviceDetail detail;
            const std::string port = ftdi.DevicePath(i);
            if (ftdi.GetDeviceInfoDetail(i, detail) != FT_OK || port.empty())
                continue;
            ports.push_back({port, true, detail.serialNumber, detail.description});
            listed.insert(port);
        }
    }
    std::vector<std::string> names = ComPortNames();
    std::sort(names.begin(), names.end(), ComNameLess);
    for (const std::string& name : names)
        if (!listed.count(name))
            ports.push_back({name, false, "", "COM port"});
    return ports;
}

}  // namespace orv
