#include "network/bus_line.h"

#include <algorithm>

#include "link/bus_link.h"
#include "network/discovery.h"
#include "network/network_view.h"
#include "port/latency_timer.h"
#include "port/port_address.h"
#include "port/serial_port.h"
#include "port/serial_port_list.h"

namespace orv {

namespace {

// A trial's boxes would speak of restarting the tool; its result says what
// they would have said. Progress, status and events go on as usual.
class HeldBoxes final : public Prompts {
public:
    explicit HeldBoxes(Prompts& inner) : inner_(inner) {}

    Answer MessageBox(const MessageBoxOptions& options) override
    {
        return options.buttons == Buttons::YesNo ? Answer::No : Answer::Ok;
    }
    std::unique_ptr<ProgressDialog> StartProgress(const ProgressOptions& options) override
    {
        return inner_.StartProgress(options);
    }
    std::optional<std::string> FileDialog(const FileDialogOptions&) override { return std::nullopt; }
    std::optional<int> SingleChoice(const ChoiceOptions&) override { return std::nullopt; }
    void SetStatusText(const std::string& text, int field) override { inner_.SetStatusText(text, field); }
    void PumpEvents() override { inner_.PumpEvents(); }

private:
    Prompts& inner_;
};

// A trial's devices go into a registry of its own, shown nowhere.
class NoView final : public NetworkView {
public:
    void ShowInstructions() override {}
    void ResetDeviceList() override {}
    void RefreshDeviceList() override {}
};

std::string TrialText(const std::string& label, const LineTrial& trial, bool discovered, bool lost)
{
    if (!trial.opened)
        return label + " cannot be opened as the bus interface: check the name or address, that the interface is "
                       "connected or the server running, and that no other program holds it.";
    if (!discovered)
        return label + " is open.";
    if (lost)
        return label + " opened, but the line went away while the devices were asked.";
    if (trial.devices.empty())
        return label + " opened, but no device answered a broadcast: check that ORV-POWER is on and the devices are "
                       "on the bus.";
    std::string text = label + " opened; " + std::to_string(trial.devices.size()) +
                       (trial.devices.size() == 1 ? " device answered" : " devices answered") + " a broadcast:";
    for (size_t i = 0; i < trial.devices.size(); ++i)
        text += (i ? ", " : " ") + DeviceRowText(trial.devices[i]) + " at address " +
                std::to_string(trial.devices[i].address);
    return text + ".";
}

// The devices one broadcast on the bound link finds, into trial.
bool Broadcast(Services& services, LineTrial& trial)
{
    DeviceRegistry registry(services.log);
    NoView view;
    NetworkContext context{services, registry, view};
    ScanBus(context, BROADCAST_ADDRESS, true);
    for (size_t i = 0; i < registry.Count(); ++i)
        trial.devices.push_back(registry.Record(i));
    return !BusInterfaceLost();
}

}  // namespace

LineTrial AskLineInUse(const std::string& label, Services& services)
{
    LineTrial trial;
    trial.opened = true;
    const bool lost = !Broadcast(services, trial);
    trial.text = TrialText(label, trial, true, lost);
    return trial;
}

std::vector<InterfaceEntry> ListInterfaces(UsbInterface& usb, const std::function<std::string(uint32_t)>& pathOf)
{
    std::vector<InterfaceEntry> entries;
    uint32_t count = 0;
    if (usb.CreateDeviceInfoList(count) != FT_OK)
        return entries;
    for (uint32_t i = 0; i < count; ++i) {
        DeviceDetail detail;
        if (usb.GetDeviceInfoDetail(i, detail) != FT_OK)
            continue;
        const std::string port = pathOf(i);
        if (!port.empty())
            entries.push_back({port, detail.serialNumber, detail.description});
    }
    return entries;
}

std::vector<InterfaceEntry> ListFtdiInterfaces()
{
    SerialInterface serial;
    return ListInterfaces(serial, [&](uint32_t i) { return serial.DevicePath(i); });
}

std::vector<InterfaceEntry> ListSerialPortChoices()
{
    std::vector<InterfaceEntry> entries;
    for (const SerialPortEntry& port : ListSerialPorts())
        entries.push_back({port.port, port.serialNumber, port.description, port.ftdi});
    return entries;
}

std::string PortLabel(const std::string& port)
{
    return port.empty() ? std::string("the first FTDI interface") : port;
}

BusLine::BusLine(Maker make, std::string port) : make_(std::move(make)), port_(std::move(port)), inner_(make_(port_))
{
}

BusLine::~BusLine()
{
    CloseInUse();
}

std::string BusLine::InUse() const
{
    const auto* serial = dynamic_cast<const SerialInterface*>(inner_.get());
    const std::string path = port_.empty() && serial ? serial->DevicePath(0) : std::string();
    return path.empty() ? PortLabel(port_) : path;
}

std::optional<uint32_t> BusLine::LatencyTimer() const
{
    const auto* serial = dynamic_cast<const SerialInterface*>(inner_.get());
    const std::string path = serial ? serial->DevicePath(0) : std::string();
    if (path.empty())
        return std::nullopt;
    return PortLatencyMillis(path);
}

LineTrial BusLine::Try(const std::string& port, Services& services)
{
    LineTrial trial = Trial(port, true, services);
    ReopenInUse(services);
    return trial;
}

LineTrial BusLine::Choose(const std::string& port, Services& services)
{
    LineTrial trial = Trial(port, false, services);
    if (trial.opened)
        port_ = port;
    ReopenInUse(services);
    return trial;
}

bool BusLine::Opens(Services& services)
{
    const bool opened = Trial(port_, false, services).opened;
    MakeInner();
    return opened;
}

void BusLine::UseFirstFtdiInterface()
{
    CloseInUse();
    port_.clear();
    MakeInner();
}

LineTrial BusLine::Trial(const std::string& port, bool discover, Services& services)
{
    CloseInUse();
    LineTrial trial;
    bool lost = false;
    {
        std::unique_ptr<UsbInterface> candidate =
            port.empty() || ParsePortAddress(port).error.empty() ? make_(port) : nullptr;
        HeldBoxes held(services.prompts);
        Services trialServices{services.clock, services.log, held};
        if (candidate) {
            BindBusLink(*candidate, trialServices);
            trial.opened = OpenBusInterface(OpenPace::AfterFailureOnly);
        }
        if (trial.opened && discover)
            lost = !Broadcast(trialServices, trial);
        if (candidate && BusInterfaceHandle())
            candidate->Close(BusInterfaceHandle());
    }
    trial.text = TrialText(PortLabel(port), trial, discover, lost);
    services.log.Message(" Interface: " + trial.text);
    return trial;
}

void BusLine::CloseInUse()
{
    if (inner_)
        for (FtHandle handle : open_)
            inner_->Close(handle);
    open_.clear();
    inner_.reset();
}

void BusLine::MakeInner()
{
    inner_ = make_(port_);
    if (inner_ && log_)
        inner_->BindLog(*log_);
}

void BusLine::BindLog(LogSink& log)
{
    log_ = &log;
    if (inner_)
        inner_->BindLog(log);
}

bool BusLine::ReopenInUse(Services& services)
{
    MakeInner();
    BindBusLink(*this, services);
    return OpenBusInterface(OpenPace::AfterFailureOnly);
}

FtStatus BusLine::CreateDeviceInfoList(uint32_t& count)
{
    count = 0;
    return inner_ ? inner_->CreateDeviceInfoList(count) : FT_DEVICE_NOT_FOUND;
}

FtStatus BusLine::GetDeviceInfoDetail(uint32_t index, DeviceDetail& detail)
{
    return inner_ ? inner_->GetDeviceInfoDetail(index, detail) : FT_DEVICE_NOT_FOUND;
}

FtStatus BusLine::Open(uint32_t index, FtHandle& handle)
{
    handle = 0;
    if (!inner_)
        return FT_DEVICE_NOT_FOUND;
    const FtStatus status = inner_->Open(index, handle);
    if (status == FT_OK && handle)
        open_.push_back(handle);
    return status;
}

FtStatus BusLine::Close(FtHandle handle)
{
    open_.erase(std::remove(open_.begin(), open_.end(), handle), open_.end());
    return inner_ ? inner_->Close(handle) : FT_INVALID_HANDLE;
}

bool BusLine::GetCommState(FtHandle handle, CommState& state)
{
    return inner_ && inner_->GetCommState(handle, state);
}

bool BusLine::SetCommState(FtHandle handle, const CommState& state)
{
    return inner_ && inner_->SetCommState(handle, state);
}

FtStatus BusLine::SetTimeouts(FtHandle handle, uint32_t readMillis, uint32_t writeMillis)
{
    return inner_ ? inner_->SetTimeouts(handle, readMillis, writeMillis) : FT_INVALID_HANDLE;
}

FtStatus BusLine::ClrRts(FtHandle handle)
{
    return inner_ ? inner_->ClrRts(handle) : FT_INVALID_HANDLE;
}

FtStatus BusLine::Write(FtHandle handle, const uint8_t* buffer, uint32_t count, uint32_t& written)
{
    written = 0;
    return inner_ ? inner_->Write(handle, buffer, count, written) : FT_INVALID_HANDLE;
}

FtStatus BusLine::Read(FtHandle handle, uint8_t* buffer, uint32_t count, uint32_t& read)
{
    read = 0;
    return inner_ ? inner_->Read(handle, buffer, count, read) : FT_INVALID_HANDLE;
}

FtStatus BusLine::GetQueueStatus(FtHandle handle, uint32_t& waiting)
{
    waiting = 0;
    return inner_ ? inner_->GetQueueStatus(handle, waiting) : FT_INVALID_HANDLE;
}

FtStatus BusLine::PurgeReceive(FtHandle handle)
{
    return inner_ ? inner_->PurgeReceive(handle) : FT_INVALID_HANDLE;
}

}  // namespace orv
