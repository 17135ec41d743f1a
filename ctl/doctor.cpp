#include "ctl/doctor.h"

#include <algorithm>
#include <filesystem>
#include <ostream>

#include "ctl/device_list.h"
#include "ctl/interface_lost.h"
#include "ctl/json_text.h"
#include "link/bus_link.h"
#include "link/commands.h"
#include "port/com_port_names.h"
#include "port/latency_timer.h"
#include "port/os_checks.h"
#include "port/port_address.h"

namespace orv {

namespace {

constexpr uint32_t ECHO_WAIT_MS = 500;
constexpr uint32_t NOISE_LISTEN_MS = 1000;
#ifdef _WIN32
constexpr const char* NO_INTERFACE_FIX = "connect the ORV-NET; Device Manager must list it under \"Ports (COM & LPT)\" "
                                         "as \"USB Serial Port (COMn)\"; or give --port COMn";
constexpr const char* MISSING_PORT_FIX = "give the ORV-NET's COM port as Device Manager lists it under \"Ports (COM & "
                                         "LPT)\" (--port COM7)";
constexpr const char* CHOOSE_PORT_FIX = "orvctl uses the first; name the ORV-NET with --port COMn";
constexpr const char* OPEN_FIX = "close the program that holds the COM port (only one may open it), or plug the "
                                 "ORV-NET in again";
#else
constexpr const char* NO_INTERFACE_FIX = "connect the ORV-NET; lsusb must list a device 0403:...; or give --port";
constexpr const char* MISSING_PORT_FIX = "give the path of the ORV-NET's tty (ls /dev/ttyUSB* /dev/serial/by-id)";
constexpr const char* CHOOSE_PORT_FIX = "orvctl uses the first; name the ORV-NET with --port PATH";
constexpr const char* DIALOUT_FIX = "sudo usermod -aG dialout $USER, then log out and in again";
constexpr const char* OPEN_FIX = DIALOUT_FIX;
#endif

const char* VerdictWord(Verdict verdict)
{
    switch (verdict) {
    case Verdict::Ok:
        return "ok";
    case Verdict::Warn:
        return "WARN";
    case Verdict::Fail:
        break;
    }
    return "FAIL";
}

DoctorCheck InterfacesCheck(BusAccess& access, const std::string& port)
{
    DoctorCheck check{"interface"};
    UsbInterface& usb = access.Interface();
    uint32_t count = 0;
    usb.CreateDeviceInfoList(count);
    if (count == 0) {
        check.verdict = Verdict::Fail;
        check.detail = port.empty() ? "no FTDI interface (USB vendor 0403) is connected" : port + " does not exist";
        check.fix = port.empty() ? NO_INTERFACE_FIX : MISSING_PORT_FIX;
        return check;
    }
#ifdef _WIN32
    // A COM port named on the command line is listed whether or not it exists.
    if (const std::optional<std::string> device = ComDevicePath(port); device && !ComPortExists(*device)) {
        check.verdict = Verdict::Fail;
        check.detail = port + " does not exist";
        check.fix = MISSING_PORT_FIX;
        return check;
    }
#endif
    for (uint32_t i = 0; i < count; ++i) {
        DeviceDetail detail;
        usb.GetDeviceInfoDetail(i, detail);
        const std::string path = access.DevicePath(i);
        check.detail += (i ? "; " : "") + (path.empty() ? detail.description : path + " serial " +
                                                                                  detail.serialNumber + " \"" +
                                                                                  detail.description + "\"");
    }
    if (count > 1 && port.empty()) {
        check.verdict = Verdict::Warn;
        check.fix = CHOOSE_PORT_FIX;
    }
    return check;
}

#ifndef _WIN32
DoctorCheck AccessCheck(const std::string& path)
{
    DoctorCheck check{"access"};
    const bool member = InDialoutGroup();
    if (MayOpenForReadAndWrite(path)) {
        check.detail = "you may open " + path + (member ? " (member of dialout)" : "");
        return check;
    }
    check.verdict = Verdict::Fail;
    check.detail = "you may not open " + path + (member ? "" : " (not a member of dialout)");
    check.fix = member ? "install the udev rule (below), which gives FTDI interfaces to dialout" : DIALOUT_FIX;
    return check;
}

DoctorCheck UdevRuleCheck()
{
    DoctorCheck check{"udev rule"};
    if (const std::optional<std::string> rule = InstalledUdevRule()) {
        check.detail = *rule + " is installed";
        return check;
    }
    check.verdict = Verdict::Warn;
    check.detail = std::string(UDEV_RULE) + " is not installed (dialout access and 1 ms latency at plug-in)";
    check.fix = "sudo cmake --install build, or install the orvtool package; then sudo udevadm control "
                "--reload-rules && sudo udevadm trigger";
    return check;
}

#endif

DoctorCheck LatencyCheck(const std::string& path)
{
    DoctorCheck check{"latency"};
    const std::optional<uint32_t> millis = LatencyTimerMillis(path);
    if (!millis) {
        check.detail = path + " has no latency timer (not an FTDI interface)";
        return check;
    }
    check.detail = StrF("latency timer %u ms", *millis);
    if (*millis > 1) {
        check.verdict = Verdict::Warn;
        check.detail += ": every acknowledgement is held that long";
        check.fix = LatencyFix(path);
    }
    return check;
}

// What a check reports when a call on the interface said the line is gone.
DoctorCheck LostCheck(const Run& run, const std::string& name, const std::string& doing)
{
    DoctorCheck check{name, Verdict::Fail,
                      InterfaceName(run) + " was disconnected while " + doing + " (an I/O error)",
                      "connect the ORV-NET again (on a network port: is the server running?) and run orvctl doctor "
                      "again"};
    check.interfaceLost = true;
    return check;
}

DoctorCheck LineCheck(PortKind kind)
{
    DoctorCheck check{"line"};
    CommState state;
    if (!ReadBusLine(state)) {
        check.verdict = Verdict::Fail;
        check.detail = "the line settings cannot be read back";
        return check;
    }
    const char* source = kind == PortKind::Tcp       ? " as set (a raw connection cannot read the server's line)"
                         : kind == PortKind::Rfc2217 ? " confirmed by the server"
                                                     : " read back from the driver";
    const char parity = "NOEMS"[std::min<uint8_t>(state.parity, 4)];
    const char* stops = state.stopBits == 2 ? "2" : state.stopBits == 1 ? "1.5" : "1";
    check.detail = StrF("%u baud %u%c%s", state.baudRate, state.byteSize, parity, stops) + source;
    if (state.baudRate != BUS_BAUD_RATE || state.byteSize != 8 || state.parity != 0 || state.stopBits != 2) {
        check.verdict = Verdict::Fail;
        check.detail += ", not 125000 baud 8N2";
        check.fix = kind == PortKind::Tcp ? "set the server's port to 125000 8N2 (ser2net: 125000n82)"
                                          : "use an FTDI interface; this serial port cannot run at 125000 baud";
    }
    return check;
}

// A request frame whose CRC is spoilt, so that every device ignores it.
std::vector<uint8_t> IgnoredFrame()
{
    uint8_t frame[MAX_FRAME];
    uint8_t body = 0;
    const uint8_t query = 0;
    EncodeFrame(BusRequest{MODULE_INFO_REQUEST, HOST_ADDRESS, &query, 1}, frame, body);
    frame[body] ^= 0x01;
    return std::vector<uint8_t>(frame, frame + body + 2);
}

DoctorCheck EchoCheck(const Run& run, Clock& clock, bool network)
{
    DoctorCheck check{"echo"};
    const std::vector<uint8_t> frame = IgnoredFrame();
    const char* doing = "the echo was being checked";
    SetBusStep({doing, ""});
    if (PurgeBusInput() == FT_IO_ERROR)
        return LostCheck(run, check.name, doing);
    const uint64_t start = clock.NowMicros();
    uint32_t written = 0;
    const FtStatus status = WriteBusBytes(frame.data(), uint32_t(frame.size()), written);
    if (status == FT_IO_ERROR)
        return LostCheck(run, check.name, doing);
    if (status != FT_OK || written != frame.size()) {
        check.verdict = Verdict::Fail;
        check.detail = StrF("only %u of a %zu-byte frame could be written (status %u)", written, frame.size(), status);
        check.fix = "the interface does not take what is sent: plug it in again, or check the server's port";
        return check;
    }
    std::vector<uint8_t> echo(frame.size());
    uint32_t got = 0;
    while (got < echo.size() && clock.NowMicros() - start < ECHO_WAIT_MS * 1000) {
        uint32_t read = 0;
        const FtStatus readStatus = ReadBusBytes(echo.data() + got, uint32_t(echo.size() - got), read);
        if (readStatus == FT_IO_ERROR)
            return LostCheck(run, check.name, doing);
        if (readStatus != FT_OK)
            break;
        got += read;
    }
    const uint32_t roundTrip = uint32_t((clock.NowMicros() - start + 999) / 1000);
    const auto differs = std::mismatch(frame.begin(), frame.begin() + got, echo.begin()).first;
    if (got == 0) {
        check.verdict = Verdict::Fail;
        check.detail = StrF("nothing of a %zu-byte frame came back", frame.size());
        check.fix = "the ORV-NET is not on the bus: check the bus wiring and that ORV-POWER is on";
    } else if (got < frame.size() || differs != frame.begin() + got) {
        check.verdict = Verdict::Fail;
        check.detail = got < frame.size() ? StrF("only %u of %zu bytes came back", got, frame.size())
                                          : StrF("the echo differs from byte %ld on", long(differs - frame.begin()));
        check.fix = "check the wiring and the termination; is a second master sending on the bus?";
    } else {
        check.detail = StrF("a frame of %zu bytes came back byte for byte, round trip %u ms", frame.size(), roundTrip);
        if (network && roundTrip > READ_TIMEOUT_MS) {
            check.verdict = Verdict::Warn;
            check.detail += StrF(", longer than the %u ms read time-out: acknowledgements will be missed",
                                 READ_TIMEOUT_MS);
            check.fix = "use a serial server nearer the bus or a faster network";
        }
    }
    return check;
}

DoctorCheck NoiseCheck(const Run& run, Clock& clock)
{
    DoctorCheck check{"noise"};
    const char* doing = "the idle line was being listened to";
    SetBusStep({doing, ""});
    if (PurgeBusInput() == FT_IO_ERROR)
        return LostCheck(run, check.name, doing);
    const uint64_t start = clock.NowMicros();
    uint32_t bytes = 0;
    bool heardAll = true;
    while (clock.NowMicros() - start < NOISE_LISTEN_MS * 1000) {
        uint8_t buffer[64];
        uint32_t read = 0;
        const FtStatus status = ReadBusBytes(buffer, sizeof buffer, read);
        if (status == FT_IO_ERROR)
            return LostCheck(run, check.name, doing);
        if (status != FT_OK) {
            heardAll = false;
            break;
        }
        bytes += read;
    }
    if (!heardAll) {
        check.verdict = Verdict::Fail;
        check.detail = "the idle line could not be read for 1 s";
        check.fix = "plug the interface in again, or check the server's port";
        return check;
    }
    if (bytes == 0) {
        check.detail = "no byte on the idle line in 1 s";
        return check;
    }
    check.verdict = Verdict::Fail;
    check.detail = StrF("%u bytes on the idle line in 1 s", bytes);
    check.fix = "check the termination and the cable; unplug devices one at a time to find one that keeps sending";
    return check;
}

DoctorCheck DevicesCheck(const Run& run, BusSession& session)
{
    DoctorCheck check{"devices"};
    const int found = session.Discover(false, false);
    if (BusInterfaceLost())
        return LostCheck(run, check.name, BusStepAtLoss().doing);
    if (found == 0) {
        check.verdict = Verdict::Fail;
        check.detail = "no device answered a broadcast";
        check.fix = "check that ORV-POWER is on and the devices are on the bus; try orvctl discover --all";
        return check;
    }
    const DeviceRegistry& registry = session.Registry();
    check.detail = StrF("%d answered a broadcast:", found);
    for (size_t i = 0; i < registry.Count(); ++i)
        check.detail += (i ? ", " : " ") + DescribeDevice(registry.Record(i));
    return check;
}

void PrintJson(const std::vector<DoctorCheck>& checks, std::ostream& out)
{
    Json list = Json::array();
    for (const DoctorCheck& c : checks)
        list.push_back({{"check", c.name}, {"verdict", VerdictWord(c.verdict)}, {"detail", c.detail}, {"fix", c.fix}});
    out << JsonText(list);
}

// The checks in order; those after a failed open are not run.
std::vector<DoctorCheck> RunChecks(Run& run, BusSession& session)
{
    std::vector<DoctorCheck> checks;
    BusAccess& access = session.Access();
    const std::string& port = run.line.bus.port;
    const PortKind kind = port.empty() ? PortKind::Tty : ParsePortAddress(port).kind;

    checks.push_back(InterfacesCheck(access, port));
    if (checks.back().verdict == Verdict::Fail)
        return checks;
    const std::string path = access.DevicePath(0);
    // Windows has neither the dialout group nor udev.
#ifndef _WIN32
    if (!path.empty()) {
        checks.push_back(AccessCheck(path));
        // The rule is for FTDI interfaces, the ones with a latency timer.
        if (port.empty() || LatencyTimerMillis(path))
            checks.push_back(UdevRuleCheck());
    }
#endif
    if (!session.Open()) {
        const std::string cause = access.Interface().LastError();
        checks.push_back(DoctorCheck("open", Verdict::Fail,
                                     "the interface cannot be opened as the bus interface" +
                                         (cause.empty() ? std::string() : ": " + cause),
                                     port.empty() ? OPEN_FIX : "check the port, or that no other program holds it"));
        return checks;
    }
    if (!path.empty())
        checks.push_back(LatencyCheck(path));
    checks.push_back(LineCheck(kind));
    checks.push_back(EchoCheck(run, access.Time(), kind != PortKind::Tty));
    if (checks.back().interfaceLost)
        return checks;
    checks.push_back(NoiseCheck(run, access.Time()));
    if (checks.back().interfaceLost)
        return checks;
    checks.push_back(DevicesCheck(run, session));
    return checks;
}

}  // namespace

std::string LatencyFix(const std::string& path)
{
#ifdef _WIN32
    return "Device Manager, Ports, USB Serial Port (" + path +
           "), Properties, Port Settings, Advanced...: Latency Timer (msec) 1; then plug the ORV-NET in again";
#else
    std::error_code error;
    const std::filesystem::path node = std::filesystem::weakly_canonical(path, error);
    const std::string tty = (error ? std::filesystem::path(path) : node).filename().string();
    return "echo 1 | sudo tee /sys/bus/usb-serial/devices/" + tty +
           "/latency_timer (the udev rule sets it at every plug-in)";
#endif
}

std::string DoctorLine(const DoctorCheck& check)
{
    return StrF("%-4s  %-10s %s", VerdictWord(check.verdict), check.name.c_str(), check.detail.c_str()) +
           (check.fix.empty() ? "" : ". Fix: " + check.fix);
}

int DoctorCommand(Run& run)
{
    BusSession session(run);
    const std::vector<DoctorCheck> checks = RunChecks(run, session);
    if (run.line.Has("--json")) {
        PrintJson(checks, run.terminal.out);
    } else {
        for (const DoctorCheck& check : checks)
            run.terminal.out << DoctorLine(check) << '\n';
    }
    if (!checks.empty() && checks.back().interfaceLost)
        return run.Fail(EXIT_BUS, checks.back().detail);
    const bool allOk =
        std::all_of(checks.begin(), checks.end(), [](const DoctorCheck& c) { return c.verdict == Verdict::Ok; });
    return allOk ? EXIT_OK : EXIT_BUS;
}

}  // namespace orv
