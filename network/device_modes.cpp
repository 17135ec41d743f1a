#include "network/device_modes.h"

#include "link/bus_link.h"
#include "link/commands.h"

namespace orv {

namespace {

constexpr const char* MODE_CAPTION = " Device Mode ";

// Sends a command without payload to the selected device and logs whether it was acknowledged.
ModeCommandOutcome SendModeCommand(NetworkContext& context, CommandCode command, const char* sentLine,
                                   const char* ackLine)
{
    const DeviceRecord* device = RequireAddressableDevice(context, MODE_CAPTION);
    if (!device)
        return ModeCommandOutcome::Refused;
    SetBusStep({StrF("%s was being sent to %s at address %d", CommandName(command), device->name.c_str(),
                     device->address),
                ""});
    SendRequest(BusRequest{command, device->address});
    LogSink& log = context.services.log;
    log.Message(sentLine);
    if (!WaitForAck()) {
        if (ReportBusInterfaceLost())
            return ModeCommandOutcome::InterfaceLost;
        log.Message("Nothing Received");
        return ModeCommandOutcome::NothingReceived;
    }
    log.Message(ackLine);
    return ModeCommandOutcome::Acknowledged;
}

}  // namespace

ModeCommandOutcome EnterBootMode(NetworkContext& context)
{
    return SendModeCommand(context, RUN_BOOT, " RUN_BOOT Request Sent : ", "RUN BOOT ACK Received ");
}

ModeCommandOutcome EnterConfigMode(NetworkContext& context)
{
    return SendModeCommand(context, RUN_FIRMWARE, " RUN_FIRMWARE_REQUEST_LABEL Sent : ",
                           "RUN_FIRMWARE_REQUEST_LABEL ACK Received ");
}

const DeviceRecord* RequireAddressableDevice(NetworkContext& context, const std::string& caption)
{
    const DeviceRecord* device = RequireSelectedDevice(context.services, context.registry);
    if (!device || IsAddressable(*device))
        return device;
    const std::string where = device->sharedAddress
                                  ? std::string("shares its address with another device")
                                  : StrF("answered at address %d, which is not a device address", device->address);
    context.services.prompts.Message(caption,
                                     "\n This device " + where +
                                         ". \n\n Please change its address first (Set Address ...) and try again",
                                     Buttons::Ok, Icon::Exclamation);
    return nullptr;
}

}  // namespace orv
