#include "network/bus_line.h"

#include <algorithm>

#include "link/bus_link.h"
#include "network/discovery.h"
#include "network/network_view.h"
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
        SetPort(port);
    ReopenInUse(services);
    return trial;
}

bool BusLine::Opens(Services& services)
{
    const bool opened = Trial(Port(), false, services).opened;
    MakeInner();
    return opened;
}

LineTrial BusLine::Trial(const std::string& port, bool discover, Services& services)
{
    CloseInUse();
    LineTrial trial;
    bool lost = false;
    {
        std::unique_ptr<UsbInterface> candidate =
            port.empty() || ParsePortAddress(port).error.empty() ? Make(port) : nullptr;
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

bool BusLine::ReopenInUse(Services& services)
{
    MakeInner();
    BindBusLink(*this, services);
    return OpenBusInterface(OpenPace::AfterFailureOnly);
}

}  // namespace orv
