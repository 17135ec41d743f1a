#include "port/com_interface.h"

#include <windows.h>

#include <devguid.h>
#include <setupapi.h>

#include <bit>

#include "port/com_port_names.h"
#include "port/system_error.h"

namespace orv {

namespace {
constexpr size_t SERIAL_NUMBER_MAX = 15;
constexpr size_t DESCRIPTION_MAX = 63;
constexpr DWORD REGISTRY_TEXT_MAX = 512;

static_assert(sizeof(DCB) == sizeof(CommState), "the communication-state record is the DCB");

// Line errors ClearCommError reports, in words.
constexpr struct {
    DWORD flag;
    const char* words;
} LINE_ERRORS[] = {{CE_FRAME, "a framing error"},
                   {CE_OVERRUN, "an overrun (bytes lost in the chip)"},
                   {CE_RXOVER, "a full receive buffer (bytes lost)"},
                   {CE_RXPARITY, "a parity error"},
                   {CE_BREAK, "a break"}};

// Total time-outs only: a read returns once its count has arrived (the first
// byte of a one-byte read) or when the read time-out has passed. A read
// time-out of 0 returns at once with what has arrived; a write time-out of
// 0 gets a bound, since Windows would wait without one.
COMMTIMEOUTS TimeoutsFor(uint32_t readMillis, uint32_t writeMillis)
{
    COMMTIMEOUTS timeouts{};
    if (readMillis == 0)
        timeouts.ReadIntervalTimeout = MAXDWORD;
    timeouts.ReadTotalTimeoutConstant = readMillis;
    timeouts.WriteTotalTimeoutConstant = writeMillis ? writeMillis : COM_OPEN_TIMEOUT_MS;
    return timeouts;
}

// Why CreateFile could not open a port, in the user's terms first.
std::string OpenFailureText(const std::string& portName, DWORD error)
{
    const std::string call = FailedCall("CreateFile", int(error));
    if (error == ERROR_ACCESS_DENIED || error == ERROR_SHARING_VIOLATION)
        return portName + " is in use by another program (" + call + ")";
    if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND)
        return "no such port (" + call + ")";
    return call;
}

// Errors with which the driver reports a port that went away with its USB device.
bool Unplugged(DWORD error)
{
    return error == ERROR_BAD_COMMAND || error == ERROR_GEN_FAILURE || error == ERROR_DEVICE_REMOVED ||
           error == ERROR_DEVICE_NOT_CONNECTED;
}

std::string RegistryProperty(HDEVINFO set, SP_DEVINFO_DATA& device, DWORD property)
{
    char text[REGISTRY_TEXT_MAX] = {};
    if (!SetupDiGetDeviceRegistryPropertyA(set, &device, property, nullptr, reinterpret_cast<BYTE*>(text),
                                           sizeof(text) - 1, nullptr))
        return {};
    return text;
}

std::string InstanceId(HDEVINFO set, SP_DEVINFO_DATA& device)
{
    char text[REGISTRY_TEXT_MAX] = {};
    if (!SetupDiGetDeviceInstanceIdA(set, &device, text, sizeof(text) - 1, nullptr))
        return {};
    return text;
}

struct DeviceParameters {
    std::string portName;
    std::optional<uint32_t> latencyTimer;
};

// PortName and LatencyTimer live in the device's parameters key.
DeviceParameters ReadDeviceParameters(HDEVINFO set, SP_DEVINFO_DATA& device)
{
    DeviceParameters parameters;
    HKEY key = SetupDiOpenDevRegKey(set, &device, DICS_FLAG_GLOBAL, 0, DIREG_DEV, KEY_READ);
    if (key == INVALID_HANDLE_VALUE)
        return parameters;
    char name[REGISTRY_TEXT_MAX] = {};
    DWORD size = sizeof(name) - 1;
    DWORD type = 0;
    if (RegQueryValueExA(key, "PortName", nullptr, &type, reinterpret_cast<BYTE*>(name), &size) == ERROR_SUCCESS &&
        type == REG_SZ)
        parameters.portName = name;
    DWORD millis = 0;
    size = sizeof(millis);
    if (RegQueryValueExA(key, "LatencyTimer", nullptr, &type, reinterpret_cast<BYTE*>(&millis), &size) ==
            ERROR_SUCCESS &&
        type == REG_DWORD)
        parameters.latencyTimer = millis;
    RegCloseKey(key);
    return parameters;
}

// Calls visit(hardware ID, set, device) for every present port of an FTDI
// interface, until it returns false.
template <class Visit>
bool ForEachFtdiPort(Visit visit)
{
    HDEVINFO set = SetupDiGetClassDevsA(&GUID_DEVCLASS_PORTS, nullptr, nullptr, DIGCF_PRESENT);
    if (set == INVALID_HANDLE_VALUE)
        return false;
    SP_DEVINFO_DATA device{};
    device.cbSize = sizeof(device);
    for (DWORD index = 0; SetupDiEnumDeviceInfo(set, index, &device); ++index) {
        const std::string hardwareId = RegistryProperty(set, device, SPDRP_HARDWAREID);
        if (IsFtdiHardwareId(hardwareId) && !visit(hardwareId, set, device))
            break;
    }
    SetupDiDestroyDeviceInfoList(set);
    return true;
}
}  // namespace

std::optional<uint32_t> ComLatencyTimer(const std::string& portName)
{
    std::optional<uint32_t> millis;
    ForEachFtdiPort([&](const std::string&, HDEVINFO set, SP_DEVINFO_DATA& device) {
        const DeviceParameters parameters = ReadDeviceParameters(set, device);
        if (ComDevicePath(parameters.portName) != ComDevicePath(portName))
            return true;
        millis = parameters.latencyTimer;
        return false;
    });
    return millis;
}

std::unique_ptr<ComInterface> ComInterface::ForPath(const std::string& portName)
{
    auto com = std::make_unique<ComInterface>();
    com->fixed_ = true;
    com->fixedName_ = portName;
    com->fixedPath_ = ComDevicePath(portName).value_or("");
    return com;
}

ComInterface::~ComInterface()
{
    for (const auto& [handle, opened] : ports_)
        CloseHandle(opened.port);
}

FtStatus ComInterface::CreateDeviceInfoList(uint32_t& count)
{
    listed_.Clear();
    count = 0;
    failures_.Clear();
    if (fixed_) {
        if (fixedPath_.empty()) {
            const std::string why = "no such port ('" + fixedName_ + "' is no COM port's name, such as COM7)";
            failures_.Fail(" Cannot open " + fixedName_ + ": " + why + " ", why);
        } else {
            Listed one;
            one.devicePath = fixedPath_;
            one.portName = fixedPath_.substr(fixedPath_.rfind('\\') + 1);
            one.detail.serialNumber = one.portName;
            one.detail.description = "COM port";
            listed_.Add(std::move(one));
        }
        count = listed_.Count();
        return FT_OK;
    }

    const bool listed = ForEachFtdiPort([this](const std::string& hardwareId, HDEVINFO set, SP_DEVINFO_DATA& device) {
        Listed entry;
        entry.portName = ReadDeviceParameters(set, device).portName;
        const std::optional<std::string> path = ComDevicePath(entry.portName);
        if (!path)
            return true;
        entry.devicePath = *path;
        entry.detail.id = FTDI_VENDOR_ID << 16 | ProductIdOf(hardwareId);
        entry.detail.serialNumber = FtdiSerialOf(InstanceId(set, device)).substr(0, SERIAL_NUMBER_MAX);
        std::string description = RegistryProperty(set, device, SPDRP_FRIENDLYNAME);
        if (description.empty())
            description = RegistryProperty(set, device, SPDRP_DEVICEDESC);
        entry.detail.description = description.substr(0, DESCRIPTION_MAX);
        listed_.Add(std::move(entry));
        return true;
    });
    if (!listed) {
        const std::string why = FailedCall("SetupDiGetClassDevs", int(GetLastError()));
        failures_.Fail(" Cannot list the COM ports: " + why + " ", why);
    }
    count = listed_.Count();
    return listed ? FT_OK : FT_OTHER_ERROR;
}

FtStatus ComInterface::GetDeviceInfoDetail(uint32_t index, DeviceDetail& detail)
{
    return listed_.Detail(index, detail);
}

std::string ComInterface::DevicePath(uint32_t index) const
{
    const Listed* listed = listed_.At(index);
    return listed ? listed->portName : std::string();
}

FtStatus ComInterface::Open(uint32_t index, FtHandle& handle)
{
    handle = 0;
    const Listed* listed = listed_.At(index);
    if (!listed)
        return FT_DEVICE_NOT_FOUND;
    failures_.Clear();
    const std::string& name = listed->portName;
    HANDLE port = CreateFileA(listed->devicePath.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    if (port == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        const std::string why = OpenFailureText(name, error);
        failures_.Fail(" Cannot open " + name + ": " + why + " ", why);
        // A port that does not exist will not appear by trying again.
        return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? FT_DEVICE_NOT_FOUND
                                                                               : FT_DEVICE_NOT_OPENED;
    }
    // Binary and without flow control from the start, as the vendor library
    // opens a device, keeping the driver's rate and framing; reads and writes
    // are bounded from the start too.
    DCB line{};
    line.DCBlength = sizeof(line);
    COMMTIMEOUTS timeouts = TimeoutsFor(COM_OPEN_TIMEOUT_MS, COM_OPEN_TIMEOUT_MS);
    const char* failed = nullptr;
    if (!::GetCommState(port, &line)) {
        failed = "GetCommState";
    } else {
        line.fBinary = TRUE;
        line.fOutxCtsFlow = FALSE;
        line.fOutX = FALSE;
        line.fInX = FALSE;
        if (line.fRtsControl == RTS_CONTROL_HANDSHAKE || line.fRtsControl == RTS_CONTROL_TOGGLE)
            line.fRtsControl = RTS_CONTROL_ENABLE;
        if (!::SetCommState(port, &line))
            failed = "SetCommState";
        else if (!SetCommTimeouts(port, &timeouts))
            failed = "SetCommTimeouts";
    }
    if (failed) {
        const std::string why = FailedCall(failed, int(GetLastError()));
        CloseHandle(port);
        failures_.Fail(" Cannot open " + name + ": " + why + " ", why);
        return FT_DEVICE_NOT_OPENED;
    }
    handle = ports_.Add({port, name});
    failures_.Opened();
    return FT_OK;
}

void* ComInterface::Find(FtHandle handle)
{
    const Opened* opened = ports_.Find(handle);
    return opened ? opened->port : nullptr;
}

void ComInterface::NoteFailure(FtHandle handle, const char* call, unsigned long error)
{
    std::string why = FailedCall(call, int(error));
    if (Unplugged(error))
        why += "; the interface was unplugged";
    failures_.Fail(" " + ports_.Find(handle)->name + ": " + why + " ", why);
}

FtStatus ComInterface::Lose(FtHandle handle, const char* call, unsigned long error)
{
    NoteFailure(handle, call, error);
    return FT_IO_ERROR;
}

bool ComInterface::Answers(FtHandle handle, uint32_t* waiting)
{
    const Opened& opened = *ports_.Find(handle);
    DWORD errors = 0;
    COMSTAT status{};
    if (!ClearCommError(opened.port, &errors, &status)) {
        NoteFailure(handle, "ClearCommError", GetLastError());
        return false;
    }
    for (const auto& error : LINE_ERRORS)
        if (errors & error.flag)
            LogF(failures_.Log(), " %s reported %s on the line ", opened.name.c_str(), error.words);
    if (waiting)
        *waiting = status.cbInQue;
    return true;
}

// With abort-on-error set, a line error (framing, overrun) stops reads and
// writes until it is cleared, which Answers does; any other failure means
// the port is gone.
FtStatus ComInterface::FailureOf(FtHandle handle, const char* call)
{
    const DWORD error = GetLastError();
    if (error != ERROR_OPERATION_ABORTED)
        return Lose(handle, call, error);
    return Answers(handle) ? FT_OK : FT_IO_ERROR;
}

FtStatus ComInterface::Close(FtHandle handle)
{
    HANDLE port = Find(handle);
    if (!port)
        return FT_INVALID_HANDLE;
    CloseHandle(port);
    ports_.Remove(handle);
    return FT_OK;
}

bool ComInterface::GetCommState(FtHandle handle, CommState& state)
{
    HANDLE port = Find(handle);
    DCB line{};
    line.DCBlength = sizeof(line);
    if (!port)
        return false;
    if (!::GetCommState(port, &line)) {
        NoteFailure(handle, "GetCommState", GetLastError());
        return false;
    }
    state = std::bit_cast<CommState>(line);
    return true;
}

bool ComInterface::SetCommState(FtHandle handle, const CommState& state)
{
    HANDLE port = Find(handle);
    if (!port)
        return false;
    DCB line = std::bit_cast<DCB>(state);
    line.DCBlength = sizeof(line);
    if (::SetCommState(port, &line))
        return true;
    NoteFailure(handle, "SetCommState", GetLastError());
    return false;
}

FtStatus ComInterface::SetTimeouts(FtHandle handle, uint32_t readMillis, uint32_t writeMillis)
{
    HANDLE port = Find(handle);
    if (!port)
        return FT_INVALID_HANDLE;
    COMMTIMEOUTS timeouts = TimeoutsFor(readMillis, writeMillis);
    return SetCommTimeouts(port, &timeouts) ? FT_OK : FailureOf(handle, "SetCommTimeouts");
}

FtStatus ComInterface::ClrRts(FtHandle handle)
{
    HANDLE port = Find(handle);
    if (!port)
        return FT_INVALID_HANDLE;
    if (EscapeCommFunction(port, CLRRTS))
        return FT_OK;
    // A port without modem lines is used as it is; a lost one is reported.
    return Answers(handle) ? FT_OK : FT_IO_ERROR;
}

FtStatus ComInterface::Write(FtHandle handle, const uint8_t* buffer, uint32_t count, uint32_t& written)
{
    written = 0;
    HANDLE port = Find(handle);
    if (!port)
        return FT_INVALID_HANDLE;
    DWORD done = 0;
    const BOOL ok = WriteFile(port, buffer, count, &done, nullptr);
    written = done;
    return ok ? FT_OK : FailureOf(handle, "WriteFile");
}

FtStatus ComInterface::Read(FtHandle handle, uint8_t* buffer, uint32_t count, uint32_t& read)
{
    read = 0;
    HANDLE port = Find(handle);
    if (!port)
        return FT_INVALID_HANDLE;
    DWORD done = 0;
    const BOOL ok = ReadFile(port, buffer, count, &done, nullptr);
    read = done;
    if (!ok)
        return FailureOf(handle, "ReadFile");
    // A short read has timed out, or met a port that is gone: some drivers
    // then keep reporting empty reads instead of failing them.
    return done < count && !Answers(handle) ? FT_IO_ERROR : FT_OK;
}

FtStatus ComInterface::GetQueueStatus(FtHandle handle, uint32_t& waiting)
{
    waiting = 0;
    if (!Find(handle))
        return FT_INVALID_HANDLE;
    return Answers(handle, &waiting) ? FT_OK : FT_IO_ERROR;
}

FtStatus ComInterface::PurgeReceive(FtHandle handle)
{
    HANDLE port = Find(handle);
    if (!port)
        return FT_INVALID_HANDLE;
    return PurgeComm(port, PURGE_RXABORT | PURGE_RXCLEAR) ? FT_OK : Lose(handle, "PurgeComm", GetLastError());
}

}  // namespace orv
