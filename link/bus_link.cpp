#include "link/bus_link.h"

#include <cstring>
#include <utility>

#include "port/com_port_names.h"

namespace orv {

namespace {

constexpr int LIST_ATTEMPTS = 5;
constexpr int OPEN_ATTEMPTS = 6;
constexpr uint32_t LIST_PAUSE_MS = 999;
constexpr uint32_t OPEN_PAUSE_MS = 999;
constexpr uint32_t SETTLE_PAUSE_MS = 255;

struct LinkState {
    UsbInterface* usb = nullptr;
    Services* services = nullptr;
    FtHandle handle = 0;
    OpenPace pace = OpenPace::Fixed;
    RxReceiver rx;
    bool messageReady = false;
    BusReply replySlot;
    bool lost = false;
    bool lossReported = false;
    BusStep step;
    BusStep stepAtLoss;
    std::string causeAtLoss;
    // Bytes since the open that were neither acknowledgement nor frame.
    uint64_t strayBytes = 0;
};

LinkState link;

LogSink& Log() { return link.services->log; }
Clock& Time() { return link.services->clock; }

// Every call that moves bytes reports through here: FT_IO_ERROR is the line
// gone, and stays so until the interface is opened again.
FtStatus Watched(FtStatus status)
{
    if (status == FT_IO_ERROR && !link.lost) {
        link.lost = true;
        link.stepAtLoss = link.step;
        link.causeAtLoss = link.usb->LastError();
        const std::string cause = link.causeAtLoss.empty() ? "" : " (" + link.causeAtLoss + ")";
        LogF(Log(), " ORV-NET Disconnected while %s%s ", link.step.doing.c_str(), cause.c_str());
    }
    return status;
}

// One byte through the receiver; a complete body is decoded into the reply slot.
void ApplyReceivedByte(uint8_t byte, bool verbose)
{
    const RxState before = link.rx.State();
    if (before == RxState::Discard || (before == RxState::Idle && byte != FRAME_START && byte != ACK_BYTE))
        ++link.strayBytes;
    if (link.rx.Step(byte) != RxEvent::BodyComplete)
        return;
    if (verbose)
        Log().Message(" Decoding Read Message ");
    BusReply decoded;
    if (DecodeFrame(link.rx.Body(), link.rx.Count(), verbose, decoded, &Log())) {
        link.replySlot = decoded;
        link.messageReady = true;
    }
}

// Whatever waits before a request (a late answer to an earlier one, noise)
// would otherwise be read back as this request's echo, acknowledgement or reply.
void DiscardStaleInput()
{
    uint32_t waiting = 0;
    if (Watched(link.usb->GetQueueStatus(link.handle, waiting)) == FT_OK && waiting > 0) {
        Watched(link.usb->PurgeReceive(link.handle));
        link.strayBytes += waiting;
        LogF(Log(), " Discarded %u stale bytes before send", waiting);
    }
    link.messageReady = false;
}

bool BusyLineExpired(uint64_t startMillis)
{
    return Time().NowMillis() - startMillis >= BUSY_LINE_LIMIT_MS;
}

}  // namespace

void BindBusLink(UsbInterface& usb, Services& services)
{
    link = LinkState{};
    link.usb = &usb;
    link.services = &services;
    usb.BindLog(services.log);
}

uint32_t EnumerateInterfaces(int attempts)
{
    uint32_t count = 0;
    FtStatus status = FT_OK;
    int calls = 0;
    do {
        count = 0;
        status = link.usb->CreateDeviceInfoList(count);
        // Without the fixed pace, a pause only gives a failed list time before the next one.
        if (link.pace == OpenPace::Fixed || (count == 0 && calls + 1 < attempts))
            Time().Sleep(LIST_PAUSE_MS);
        ++calls;
    } while (count == 0 && calls < attempts);
    if (status != FT_OK || count == 0)
        return 0;
    for (uint32_t index = 0; index < count; ++index) {
        DeviceDetail detail;
        if (link.usb->GetDeviceInfoDetail(index, detail) != FT_OK)
            continue;
        // A port given by name may be any serial port or a server: only an FTDI chip is called one.
        if (detail.id >> 16 == FTDI_VENDOR_ID)
            LogF(Log(), "FTDI Device Fond %s - %s ", detail.serialNumber.c_str(), detail.description.c_str());
        else
            LogF(Log(), " Interface found %s - %s ", detail.serialNumber.c_str(), detail.description.c_str());
    }
    return count;
}

bool OpenInterfaceDevice(bool* multipleDevices)
{
    if (link.handle) {
        link.usb->Close(link.handle);
        link.handle = 0;
    }
    const uint32_t count = EnumerateInterfaces(LIST_ATTEMPTS);
    if (count > 1) {
        Log().Message("More than 1 USB device was found. Please connect ORV-NET USB only");
        if (multipleDevices)
            *multipleDevices = true;
    }
    for (uint32_t index = 0; index < count; ++index) {
        for (int attempt = 0; attempt < OPEN_ATTEMPTS; ++attempt) {
            if (link.pace == OpenPace::Fixed || attempt > 0)
                Time().Sleep(OPEN_PAUSE_MS);
            FtHandle handle = 0;
            const FtStatus opened = link.usb->Open(index, handle);
            // The backend knows that trying again will not find it.
            if (opened == FT_DEVICE_NOT_FOUND)
                break;
            if (opened != FT_OK)
                continue;
            link.handle = handle;
            if (!handle)
                return false;
            if (link.pace == OpenPace::Fixed)
                Time().Sleep(SETTLE_PAUSE_MS);
            CommState state;
            if (!link.usb->GetCommState(handle, state))
                return false;
            state.flags = (state.flags & ~COMM_CLEARED_ON_OPEN) | COMM_BINARY;
            state.baudRate = BUS_BAUD_RATE;
            state.byteSize = 8;
            state.parity = 0;
            state.stopBits = 2;
            if (!link.usb->SetCommState(handle, state))
                return false;
            link.usb->SetTimeouts(handle, READ_TIMEOUT_MS, WRITE_TIMEOUT_MS);
            return true;
        }
    }
    return false;
}

namespace {

// Opens the interface; the not-found box only when reportNotFound.
bool OpenLink(OpenPace pace, bool reportNotFound)
{
    link.pace = pace;
    link.rx.Reset();
    link.lost = false;
    link.lossReported = false;
    link.step = BusStep{};
    link.strayBytes = 0;
    bool multipleDevices = false;
    if (!OpenInterfaceDevice(&multipleDevices)) {
        if (reportNotFound)
            link.services->prompts.Message("ORV-NET  not found Error",
                                           "ORVANTA TOOL: ORV-Net Interface not found! \n\nOrvTool cannot continue. "
                                           "\n\nPlease connect ORV-NET to PC & restart OrvTool",
                                           Buttons::Ok, Icon::Exclamation);
        return false;
    }
    if (multipleDevices)
        link.services->prompts.Message("ORV-NET Warning",
                                       "ORVANTA TOOL: Multiple USB devices found! \n\nOrvTool will try to use the "
                                       "first one \n\n Please restart ORVTool with only ORV-NET USB connected",
                                       Buttons::Ok, Icon::Exclamation);
    BuildCrcTable();
    return true;
}

}  // namespace

bool OpenBusInterface(OpenPace pace)
{
    return OpenLink(pace, true);
}

bool ReopenBusInterface()
{
    link.messageReady = false;
    if (OpenLink(link.pace, false))
        return true;
    // Still no interface: it stays lost, so the next command offers the
    // search again instead of running into time-outs.
    link.lost = true;
    link.lossReported = true;
    return false;
}

uint64_t BusStrayBytes()
{
    return link.strayBytes;
}

bool BusInterfaceLost()
{
    return link.lost;
}

void SetBusStep(BusStep step)
{
    link.step = std::move(step);
}

const BusStep& BusStepAtLoss()
{
    return link.stepAtLoss;
}

const std::string& BusLossCause()
{
    return link.causeAtLoss;
}

bool ReportBusInterfaceLost()
{
    if (!link.lost)
        return false;
    if (link.lossReported)
        return true;
    link.lossReported = true;
    // The backend's words tell a pulled cable from a server that closed the connection.
    const std::string cause = link.causeAtLoss.empty() ? "" : " (" + link.causeAtLoss + ")";
    std::string text = "ORVANTA TOOL: The ORV-NET was disconnected while " + link.stepAtLoss.doing + cause +
                       ". \n\nPlease connect ORV-NET to PC again; the next command from the menu offers to look "
                       "for it.";
    if (!link.stepAtLoss.risk.empty())
        text += " \n\n" + link.stepAtLoss.risk;
    link.services->prompts.Message(INTERFACE_LOST_CAPTION, text, Buttons::Ok, Icon::Error);
    return true;
}

uint32_t ReadBytes(uint8_t* buffer, uint8_t count)
{
    uint32_t read = 0;
    if (link.lost || Watched(link.usb->Read(link.handle, buffer, count, read)) != FT_OK)
        return 0;
    return read;
}

uint32_t WriteFrame(const uint8_t* buffer, uint8_t count)
{
    if (link.lost)
        return 0;
    uint8_t echo[UINT8_MAX];
    std::memset(echo, 0xFF, sizeof echo);
    link.usb->ClrRts(link.handle);
    uint32_t written = 0;
    if (Watched(link.usb->Write(link.handle, buffer, count, written)) != FT_OK)
        written = 0;
    // The bus hears its own traffic: the first count bytes back are the echo.
    uint32_t echoed = 0;
    if (!link.lost)
        Watched(link.usb->Read(link.handle, echo, count, echoed));
    return written;
}

bool SendRequest(BusRequest request)
{
    uint8_t frame[MAX_FRAME];
    uint8_t bodyLength = 0;
    if (!EncodeFrame(request, frame, bodyLength) || link.lost) {
        link.rx.Reset();
        return false;
    }
    DiscardStaleInput();
    const uint8_t frameLength = uint8_t(bodyLength + 2);
    bool sent = false;
    for (int attempt = 0; attempt < SEND_ATTEMPTS && !sent && !link.lost; ++attempt)
        sent = WriteFrame(frame, frameLength) == frameLength;
    link.rx.Reset();
    return sent;
}

bool WaitForAck()
{
    const uint64_t start = Time().NowMillis();
    int empty = 0;
    for (;;) {
        link.rx.ClearAck();
        uint8_t byte = 0;
        if (ReadBytes(&byte, 1) == 1) {
            empty = 0;
            ApplyReceivedByte(byte, false);
        } else if (++empty >= ACK_SILENCE_LIMIT || link.lost) {
            return false;
        }
        if (link.rx.AckSeen())
            return true;
        if (BusyLineExpired(start))
            return false;
    }
}

bool WaitForAckWithin(uint32_t millis)
{
    if (link.lost)
        return false;
    const uint64_t start = Time().NowMillis();
    bool acknowledged = false;
    for (uint64_t waited = 0; !acknowledged && !link.lost && waited < millis; waited = Time().NowMillis() - start) {
        // Each read waits no longer than what is left of the bound.
        link.usb->SetTimeouts(link.handle, uint32_t(millis - waited), WRITE_TIMEOUT_MS);
        link.rx.ClearAck();
        uint8_t byte = 0;
        if (ReadBytes(&byte, 1) == 1)
            ApplyReceivedByte(byte, false);
        acknowledged = link.rx.AckSeen();
    }
    link.usb->SetTimeouts(link.handle, READ_TIMEOUT_MS, WRITE_TIMEOUT_MS);
    return acknowledged;
}

bool ReceiveReply(BusReply& reply, uint8_t verbose, uint8_t* counter)
{
    uint32_t consumed = 0;
    if (!link.messageReady) {
        const uint64_t start = Time().NowMillis();
        for (;;) {
            link.rx.ClearAck();
            uint8_t byte = 0;
            if (ReadBytes(&byte, 1) != 1)
                break;
            ApplyReceivedByte(byte, verbose != 0);
            ++consumed;
            if (link.messageReady || BusyLineExpired(start))
                break;
        }
    }
    if (verbose && counter) {
        LogF(Log(), " ORV_RECV read %d bytes", int(consumed));
        // Callers read again while the counter is not 0: it must not wrap to 0.
        *counter = consumed > UINT8_MAX ? UINT8_MAX : uint8_t(consumed);
    }
    if (!link.messageReady)
        return false;
    reply = link.replySlot;
    link.messageReady = false;
    return true;
}

FtHandle BusInterfaceHandle()
{
    return link.handle;
}

bool ReadBusLine(CommState& state)
{
    return link.handle != 0 && link.usb->GetCommState(link.handle, state);
}

FtStatus PurgeBusInput()
{
    if (link.handle == 0)
        return FT_INVALID_HANDLE;
    return link.lost ? FT_IO_ERROR : Watched(link.usb->PurgeReceive(link.handle));
}

FtStatus WriteBusBytes(const uint8_t* buffer, uint32_t count, uint32_t& written)
{
    written = 0;
    if (link.handle == 0)
        return FT_INVALID_HANDLE;
    return link.lost ? FT_IO_ERROR : Watched(link.usb->Write(link.handle, buffer, count, written));
}

FtStatus ReadBusBytes(uint8_t* buffer, uint32_t count, uint32_t& read)
{
    read = 0;
    if (link.handle == 0)
        return FT_INVALID_HANDLE;
    return link.lost ? FT_IO_ERROR : Watched(link.usb->Read(link.handle, buffer, count, read));
}

RxState CurrentRxState()
{
    return link.rx.State();
}

}  // namespace orv
