#include "network/firmware_update.h"

#include <memory>
#include <optional>
#include <string>

#include "link/bus_link.h"
#include "link/commands.h"
#include "network/device_modes.h"
#include "network/discovery.h"
#include "network/firmware_file.h"

namespace orv {

namespace {

constexpr uint32_t BOOT_PAUSE_MS = 550;
constexpr uint32_t BLOCK_PAUSE_MS = 50;

constexpr const char* STATUS_CAPTION = " Firmware Update Status ";
constexpr const char* PROGRESS_FORMAT = "Firmware Update Progress: %d %s ";

constexpr const char* CONFIRM_CAPTION = " Firmware Update Confirm ";

// The count names no device: it says only whether one answered. A device in
// its boot loader does not answer it, and the update still reaches it.
bool EmergencyConfirmed(Prompts& prompts, uint8_t found)
{
    MessageBoxOptions question{
        CONFIRM_CAPTION,
        std::string(found == 0 ? "No device answered the count.\nReplace the firmware of the device on the bus"
                               : "Replace the firmware of the one device on the bus") +
            " (emergency update, address 255)?\nThe firmware file is chosen next.",
        Buttons::YesNo, Icon::Question};
    question.defaultNo = true;
    return prompts.MessageBox(question) == Answer::Yes;
}

struct Target {
    std::optional<uint8_t> address;
    FirmwareUpdateOutcome refusal = FirmwareUpdateOutcome::NoTarget;
    // False when the emergency count found no device: an acknowledgement of
    // RUN_BOOT alone (noise, an echo) does not show that one is there.
    bool deviceSeen = true;
};

Target ChooseTarget(NetworkContext& context, bool emergency, EmergencyQuestion question)
{
    if (emergency) {
        const uint8_t found = ScanBus(context, BROADCAST_ADDRESS, false);
        if (ReportBusInterfaceLost())
            return {};
        if (found > 1) {
            context.services.prompts.Message(
                CONFIRM_CAPTION,
                "\n More than 1 ORVANTA devices found \n\n Please ensure that only one device is connected and try "
                "again \n Quiting Firmware update",
                Buttons::Ok, Icon::Exclamation);
            return {std::nullopt, FirmwareUpdateOutcome::TooManyDevices};
        }
        if (question == EmergencyQuestion::Ask && !EmergencyConfirmed(context.services.prompts, found))
            return {std::nullopt, FirmwareUpdateOutcome::Declined};
        return {BROADCAST_ADDRESS, FirmwareUpdateOutcome::NoTarget, found > 0};
    }
    const DeviceRecord* device = RequireAddressableDevice(context, STATUS_CAPTION);
    if (!device)
        return {};
    LogF(context.services.log, " %s selected for Firmware update. Sending to address %d", device->name.c_str(),
         device->address);
    return {device->address};
}

std::optional<std::string> ChooseFile(Prompts& prompts)
{
    FileDialogOptions options;
    options.save = false;
    options.mustExist = true;
    options.message = "Load Firmware File ..";
    options.defaultDir = "";
    options.defaultFile = " ";
    options.wildcard = "Binary files (*.bin)|*.bin";
    return prompts.FileDialog(options);
}

const char* RefusalText(FirmwareFileStatus status)
{
    switch (status) {
    case FirmwareFileStatus::Empty:
        return "\n Firmware Update Aborted \n\n Reason: The firmware file is empty. \n\n Please choose another file";
    case FirmwareFileStatus::TooLarge:
        return "\n Firmware Update Aborted \n\n Reason: The firmware file is larger than 2097120 bytes (65535 "
               "blocks). \n\n Please choose another file";
    default:
        return "\n Firmware Update Aborted \n\n Reason: The firmware file cannot be read. \n\n Please choose "
               "another file";
    }
}

// A lost interface has had its own box. advice: where the device is left
// when it stays in its boot loader, and how to finish, after the usual ending.
void ShowAborted(Prompts& prompts, const char* reason, const std::string& advice = {})
{
    if (ReportBusInterfaceLost())
        return;
    std::string text = std::string("\n Firmware Update Aborted \n\n Reason: ") + reason + " \n\n Please try again";
    if (!advice.empty())
        text += " \n\n " + advice;
    prompts.Message(STATUS_CAPTION, text, Buttons::Ok, Icon::Error);
}

bool SendAndWait(CommandCode command, uint8_t target, const uint8_t* payload = nullptr, uint8_t length = 0)
{
    SendRequest(BusRequest{command, target, payload, length});
    return WaitForAck();
}

bool SendBlock(uint8_t target, const FirmwareImage& image, uint16_t number)
{
    const auto data = image.BlockData(number);
    const auto payload = EncodeFirmwareBlock(number, data.data());
    return SendAndWait(FIRMWARE_BLOCK, target, payload.data(), uint8_t(payload.size()));
}

// From RUN_BOOT to RUN_FIRMWARE, under the progress dialog. inBootLoader is
// set from the acknowledged RUN_BOOT until the acknowledged RUN_FIRMWARE.
FirmwareUpdateOutcome Transfer(NetworkContext& context, uint8_t target, const FirmwareImage& image,
                               bool deviceSeen, bool& inBootLoader)
{
    Services& services = context.services;
    LogSink& log = services.log;
    const FirmwareBlockCounts counts = image.Counts();
    const int total = counts.total;

    ProgressOptions options;
    options.title = "Firmware Update In Progress.. ";
    options.message = StrF(PROGRESS_FORMAT, 0, " %");
    options.maximum = total;
    options.canAbort = false;
    const std::unique_ptr<ProgressDialog> progress = services.prompts.StartProgress(options);
    progress->Update(1);

    const std::string device = target == BROADCAST_ADDRESS ? std::string("the device") : StrF("the device at address %d", target);
    SetBusStep({"RUN_BOOT was being sent to " + device, ""});
    SendRequest(BusRequest{RUN_BOOT, target});
    services.clock.Sleep(BOOT_PAUSE_MS);
    if (!WaitForAck()) {
        progress->Update(total);
        log.Message(" NO ACK FOR BOOT REQUEST");
        ShowAborted(services.prompts, "Device Not Responding.");
        return deviceSeen ? FirmwareUpdateOutcome::BootNotAcknowledged : FirmwareUpdateOutcome::NoDeviceAnswered;
    }
    log.Message("ACK FOR BOOT REQUEST");
    inBootLoader = true;
    const std::string advice = BootLoaderAdvice(target);
    services.clock.Sleep(BOOT_PAUSE_MS);
    LogF(log, " --- START FW UPDATE (%d Blocks) ----- ", counts.full);

    const std::string risk = "The device may now hold incomplete firmware. " + advice;
    int acknowledged = 0;
    // A device between its firmwares is left there only when the user insists:
    // true when the block numbered block (from 0) is not to be sent.
    bool finishingTold = false;
    const auto abandonedAt = [&](int block) {
        const int stopRequests = services.stop.Count();
        if (stopRequests >= 2) {
            progress->Update(total);
            LogF(log, " block %d: update abandoned by the user ", block);
            return true;
        }
        if (stopRequests == 1 && !finishingTold) {
            services.stop.Answer(StrF("finishing the firmware update at block %d of %d", block + 1, total));
            finishingTold = true;
        }
        return false;
    };
    for (uint16_t block = 0; block < counts.full; ++block) {
        if (abandonedAt(block))
            return FirmwareUpdateOutcome::Abandoned;
        SetBusStep({StrF("firmware block %d of %d was being sent to ", block + 1, total) + device, risk});
        if (!SendBlock(target, image, block)) {
            progress->Update(total);
            // Nothing answered the count nor took a block: no device is known to wait in a boot loader.
            if (!deviceSeen && acknowledged == 0) {
                inBootLoader = false;
                ShowAborted(services.prompts, "No device answered.");
                return FirmwareUpdateOutcome::NoDeviceAnswered;
            }
            ShowAborted(services.prompts, "Device not responding to FW Update.", advice);
            return FirmwareUpdateOutcome::BlockNotAcknowledged;
        }
        LogF(log, " block %d: ACK Received ", acknowledged);
        services.clock.Sleep(BLOCK_PAUSE_MS);
        ++acknowledged;
        if (acknowledged < total)
            progress->Update(acknowledged, StrF(PROGRESS_FORMAT, acknowledged * 100 / total, " %"));
    }

    // The short last block carries the next block number, and the bytes after
    // the end of the file go as 0xFF, what erased flash holds anyway.
    if (counts.rest != 0) {
        if (abandonedAt(counts.full))
            return FirmwareUpdateOutcome::Abandoned;
        SetBusStep({StrF("firmware block %d of %d was being sent to ", total, total) + device, risk});
        if (SendBlock(target, image, counts.full))
            ++acknowledged;
        progress->Update(total);
    }

    if (acknowledged != total) {
        progress->Hide();
        ShowAborted(services.prompts, "Device not responding.", advice);
        progress->Update(total);
        return FirmwareUpdateOutcome::LastBlockNotAcknowledged;
    }

    SetBusStep({"RUN_FIRMWARE was being sent to " + device, advice});
    if (!SendAndWait(RUN_FIRMWARE, target)) {
        progress->Update(total);
        log.Message("SORRY NO ACK FOR UNCONFIGURED FW REQUEST");
        ShowAborted(services.prompts, "Device not responding.", advice);
        return FirmwareUpdateOutcome::RunFirmwareNotAcknowledged;
    }
    log.Message("ACK FOR UNCONFIGURED FW REQUEST");
    inBootLoader = false;
    progress->Update(total - 1, StrF("Firmware Update Progress: 99 %s \n Device restarting .... ", "%"));
    services.prompts.Message(STATUS_CAPTION,
                             "\n  Firmware Update Complete \n\n Firmware was successfully updated   \n\n  Click 'OK' "
                             "to Refresh List ",
                             Buttons::Ok, Icon::Information);
    progress->Update(total);
    return FirmwareUpdateOutcome::Updated;
}

}  // namespace

std::string BootLoaderAdvice(uint8_t target)
{
    if (target == BROADCAST_ADDRESS)
        return "The device is left in its boot loader. \n To finish, repeat the Emergency Firmware Update with "
               "only this device on the bus.";
    return StrF("The device at address %d is left in its boot loader. \n To finish, repeat the firmware update on "
                "address %d; if the device is no longer listed there, use the Emergency Firmware Update with only "
                "this device on the bus.",
                target, target);
}

FirmwareUpdateOutcome UpdateFirmware(NetworkContext& context, bool emergency, bool* leftInBootLoader,
                                     EmergencyQuestion question)
{
    bool inBootLoader = false;
    if (leftInBootLoader)
        *leftInBootLoader = false;
    const Target chosen = ChooseTarget(context, emergency, question);
    if (BusInterfaceLost())
        return FirmwareUpdateOutcome::InterfaceLost;
    if (!chosen.address)
        return chosen.refusal;

    const std::optional<std::string> path = ChooseFile(context.services.prompts);
    if (!path)
        return FirmwareUpdateOutcome::NoFile;

    FirmwareImage image;
    const FirmwareFileStatus status = LoadFirmwareImage(*path, image);
    if (status != FirmwareFileStatus::Ok) {
        LogF(context.services.log, " Firmware file refused: %s", path->c_str());
        context.services.prompts.Message(STATUS_CAPTION, RefusalText(status), Buttons::Ok, Icon::Error);
        return FirmwareUpdateOutcome::FileRefused;
    }
    // A stop asked for during the count (or before it) sends nothing.
    if (context.services.stop.Count() > 0)
        return FirmwareUpdateOutcome::Stopped;

    const FirmwareUpdateOutcome outcome = Transfer(context, *chosen.address, image, chosen.deviceSeen, inBootLoader);
    if (leftInBootLoader)
        *leftInBootLoader = inBootLoader;
    if (BusInterfaceLost())
        return FirmwareUpdateOutcome::InterfaceLost;
    // The device restarts with its new firmware and may report another version.
    if (outcome == FirmwareUpdateOutcome::Updated)
        DiscoverDevices(context, BROADCAST_ADDRESS);
    return outcome;
}

}  // namespace orv
