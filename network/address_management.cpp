#include "network/address_management.h"

#include <algorithm>
#include <cstdlib>

#include "link/bus_link.h"
#include "link/commands.h"
#include "network/discovery.h"

namespace orv {

namespace {

// As a discovery pass waits before it reads the answers to its request.
constexpr uint32_t MODULE_INFO_REPLY_PAUSE_MS = 300;
// A device that repeats itself without pause must not hold the question there.
constexpr int MAX_ANSWERS_READ = 255;

void ShowNoFreeAddress(Services& services)
{
    services.prompts.Message(" No Free Address ",
                             "Every address from 1 to 254 is already in use.\n\n"
                             "Devices that share an address keep it. Please remove a device from the bus "
                             "and discover again.",
                             Buttons::Ok, Icon::Exclamation);
}

// Records at one address with one serial number stay where they are: sent
// SET_ADDRESS_BY_SN they would all move together and share again.
void ShowRepeatedSerials(Services& services, const DeviceRegistry& registry, const std::vector<size_t>& repeated)
{
    std::string list;
    for (size_t index : repeated) {
        const DeviceRecord& record = registry.Record(index);
        const std::string line = StrF("\n %s (%s) at Address: %d", record.name.c_str(),
                                      SerialText(record.serialNumber).c_str(), record.address);
        if (list.find(line) == std::string::npos)
            list += line;
    }
    services.log.Message(" Same Serial Number at one Address:" + list);
    services.prompts.Message(SAME_SERIAL_CAPTION,
                             "These answers carry the same serial number at the same address:\n" + list +
                                 "\n\nOne device answered twice, or two devices carry one serial number. Their "
                                 "address cannot be changed automatically.\nPlease connect one of them at a time "
                                 "and give it an address of its own (Set Address ...).",
                             Buttons::Ok, Icon::Exclamation);
}

}  // namespace

std::optional<uint8_t> FindFreeAddress(const std::vector<uint8_t>& table)
{
    for (int candidate = FIRST_DEVICE_ADDRESS; candidate <= LAST_DEVICE_ADDRESS; ++candidate)
        if (std::find(table.begin(), table.end(), candidate) == table.end())
            return uint8_t(candidate);
    return std::nullopt;
}

bool ResolveDuplicateAddresses(NetworkContext& context)
{
    Services& services = context.services;
    DeviceRegistry& registry = context.registry;
    // Entry i follows record i to its new address, so that one search does
    // not hand out what an earlier one gave away.
    std::vector<uint8_t> table = registry.GetDeviceAddresses();
    std::vector<size_t> duplicates;
    std::vector<size_t> repeated;
    for (size_t index : registry.MarkSharedAddresses())
        (registry.SerialRepeatedAtAddress(index) ? repeated : duplicates).push_back(index);
    if (duplicates.empty()) {
        if (!repeated.empty())
            ShowRepeatedSerials(services, registry, repeated);
        return false;
    }
    // Yes re-addresses devices: Enter keeps them where they are.
    const Answer answer = services.prompts.MessageBox(MessageBoxOptions{
        SAME_ADDRESS_CAPTION,
        "Two or more ORVANTA devices found share the Same Address. \n Press YES to change the addresses "
        "automatically, or NO to ignore",
        Buttons::YesNo, Icon::Exclamation, true});
    if (answer != Answer::Yes)
        return false;

    bool readdressed = false;
    bool addressesExhausted = false;
    for (size_t index : duplicates) {
        const DeviceRecord& record = registry.Record(index);
        const std::optional<uint8_t> freeAddress = FindFreeAddress(table);
        if (!freeAddress) {
            LogF(services.log, " No Free Address for %s (%s) at Address: %d ", record.name.c_str(),
                 SerialText(record.serialNumber).c_str(), record.address);
            addressesExhausted = true;
            continue;
        }
        const bool acknowledged = RequestAddressChange(services, record, *freeAddress);
        if (ReportBusInterfaceLost())
            return false;
        services.log.Message(acknowledged ? "SET Address ACK Received " : "Nothing Received");
        table[index] = *freeAddress;
        readdressed = true;
    }
    if (addressesExhausted)
        ShowNoFreeAddress(services);
    return readdressed;
}

std::vector<std::string> SetAddressChoices(const DeviceRegistry& registry)
{
    const std::vector<uint8_t> taken = registry.GetDeviceAddresses();
    std::vector<std::string> choices;
    for (int address = FIRST_DEVICE_ADDRESS; address <= LAST_DEVICE_ADDRESS; ++address)
        if (std::find(taken.begin(), taken.end(), address) == taken.end())
            choices.push_back(StrF("%d", address));
    return choices;
}

std::optional<uint8_t> ChooseNewAddress(NetworkContext& context, const DeviceRecord& record,
                                        const SetAddressExtras& extras)
{
    Services& services = context.services;
    const std::vector<std::string> choices = SetAddressChoices(context.registry);
    if (choices.empty()) {
        ShowNoFreeAddress(services);
        return std::nullopt;
    }
    const std::string moving = StrF(" Device: %s (%s) at address %d \n\n", record.name.c_str(),
                                    SerialText(record.serialNumber).c_str(), record.address);
    const std::optional<int> chosen = services.prompts.SingleChoice(ChoiceOptions{
        "Set Device Address",
        moving + "Please select an Address Value \n Note: Allocated Addresses have beeen removed" + extras.note,
        choices, extras.tickLabel, extras.ticked});
    if (!chosen || *chosen < 0 || size_t(*chosen) >= choices.size())
        return std::nullopt;
    return uint8_t(std::atoi(choices[size_t(*chosen)].c_str()));
}

bool OnSetAddress(NetworkContext& context, const MoveCheck& mayMove, const SetAddressExtras& extras)
{
    const DeviceRecord* record = RequireSelectedDevice(context.services, context.registry);
    if (!record)
        return false;
    const std::optional<uint8_t> newAddress = ChooseNewAddress(context, *record, extras);
    if (!newAddress || (mayMove && !mayMove(*record, *newAddress)))
        return false;
    return ChangeDeviceAddress(context, *newAddress);
}

bool RequestAddressChange(Services& services, const DeviceRecord& record, uint8_t newAddress)
{
    SetBusStep({StrF("%s at address %d was being given address %d", record.name.c_str(), record.address, newAddress),
                ""});
    const auto payload = SetAddressPayload(record.serialNumber, newAddress);
    SendRequest(BusRequest{SET_ADDRESS_BY_SN, record.address, payload.data(), SET_ADDRESS_LENGTH});
    services.log.Message(" SET ADDRESS by SN Request Sent : ");
    return WaitForAck();
}

std::vector<DeviceRecord> AnswersAt(Services& services, uint8_t address)
{
    std::vector<DeviceRecord> answers;
    SetBusStep({StrF("address %d was being asked for its module information", address), ""});
    const uint8_t query = 0;
    SendRequest(BusRequest{MODULE_INFO_REQUEST, address, &query, 1});
    LogF(services.log, " MOD INFO Request SENT To Address: %d ", address);
    if (!WaitForAck())
        return answers;
    services.clock.Sleep(MODULE_INFO_REPLY_PAUSE_MS);
    for (int frames = 0; frames < MAX_ANSWERS_READ; ++frames) {
        BusReply reply;
        uint8_t consumed = 0;
        const bool replied = ReceiveReply(reply, 1, &consumed);
        if (replied && IsModuleInfoReply(reply)) {
            const DeviceRecord record = RecordFromReply(reply);
            if (std::none_of(answers.begin(), answers.end(),
                             [&](const DeviceRecord& a) { return a.serialNumber == record.serialNumber; }))
                answers.push_back(record);
        }
        if (!replied && consumed == 0)
            break;
    }
    return answers;
}

bool ChangeDeviceAddress(NetworkContext& context, uint8_t newAddress)
{
    Services& services = context.services;
    // The tool's own address and the broadcast address are never a device's.
    if (newAddress < FIRST_DEVICE_ADDRESS || newAddress > LAST_DEVICE_ADDRESS)
        return false;
    const DeviceRecord* record = RequireSelectedDevice(services, context.registry);
    if (!record)
        return false;
    if (!RequestAddressChange(services, *record, newAddress)) {
        if (!ReportBusInterfaceLost())
            services.log.Message("Nothing Received");
        return false;
    }
    services.log.Message("SET Address ACK Received: Address Changed  ");
    services.prompts.Message(" Re-discover Devices  ",
                             "\n Address changed successfully. ORV-Tool needs to re-discover devices. \n\n Press OK "
                             "to start Discovery  ",
                             Buttons::Ok, Icon::Information);
    DiscoverDevices(context, 0);
    return true;
}

}  // namespace orv
