#include "config/rs232_transfer.h"

#include <span>
#include <string>
#include <vector>

#include "config/rs232_build.h"
#include "link/bus_link.h"
#include "link/commands.h"
#include "model/image_crc.h"

namespace orv {

namespace {

constexpr int READ_REQUESTS = 128;

// A read image that passed RS232ImageLength, as the panel shows it.
RS232Config ShownConfig(const std::vector<uint8_t>& buffer)
{
    return ParseRS232Image(buffer).value_or(RS232Config{});
}

// The warning of a damaged read; after a save, followed by what the panel
// shows then: the edits, not the empty configuration.
constexpr const char* DAMAGED_READ_TEXT =
    "Bad Coniguration read from ORV-RS232.\n \n This may happen if the config wasn't saved properly. Please try "
    "Saving again ";
const MessageBoxOptions DAMAGED_READ_BACK{
    "Warn Loading Data ",
    std::string(DAMAGED_READ_TEXT) +
        "\n\n The panel keeps the configuration as it was edited. What the device holds now is not known.",
    Buttons::Ok, Icon::Exclamation};

}  // namespace

ConfigKindProfile RS232TransferProfile()
{
    ConfigKindProfile kind;
    kind.bufferSize = RS232_IMAGE_SIZE;
    kind.readRequests = READ_REQUESTS;
    kind.readPauseAfterBlockMs = 50;
    kind.readBackPauseMs = 500;
    ProgressOptions read;
    read.title = "Reading RS232 Configuration ";
    read.message = "Receiving Device Configuration ... \nPlease wait ...";
    read.canAbort = false;
    kind.readProgress = read;
    kind.imageLength = [](const uint8_t* buffer, LogSink& log) {
        const RS232Header header = DecodeRS232Header(buffer);
        LogF(log, "Debug: Rows for RS232: Input %d ::: Strings %d ", int(header.rowCount), int(header.stringCount));
        return RS232ImageLength(std::span<const uint8_t>(buffer, RS232_IMAGE_SIZE));
    };
    kind.storedCrcLog = StoredCrcLog::FirstByte;
    kind.damagedWarning = MessageBoxOptions{"Warn Loading Data ", DAMAGED_READ_TEXT, Buttons::Ok, Icon::Exclamation};

    kind.writeProgress.title = "Updating RS232 Configuration";
    kind.writeProgress.message = "Saving Device Configuration ..... ";
    // No abort button: a configuration stopped half-way is worse than the few seconds a write takes.
    kind.writeProgress.canAbort = false;
    kind.writePauseBeforeSendMs = 100;
    kind.writePauseAfterSendMs = 200;
    kind.writePauseAfterLoopMs = 100;
    return kind;
}

RS232ReadOutcome ReadRS232Config(uint8_t address, bool readBack, Services& services)
{
    const ReadOutcome read = ReadConfigImage(RS232TransferProfile(), address, services, readBack);
    RS232ReadOutcome outcome;
    if (read.result == ReadResult::InterfaceLost) {
        outcome.result = RS232ReadResult::InterfaceLost;
    } else if (read.result == ReadResult::Intact) {
        outcome.result = RS232ReadResult::Shown;
        outcome.config = ShownConfig(read.buffer);
    } else if (read.result == ReadResult::Damaged && !readBack) {
        // Nothing of the previous device may stay in the panel, or a save
        // would write it into this one.
        outcome.result = RS232ReadResult::Cleared;
    }
    return outcome;
}

RS232SaveOutcome SaveRS232Config(const RS232Config& config, uint8_t address, Services& services)
{
    services.log.Message("RS232 INPUT CONFIG STARTED ... ");
    const auto built = BuildRS232Image(config, std::nullopt, true, services);
    RS232SaveOutcome outcome;
    if (!built) {
        services.log.Message(" Unable to Save RS232 Config. Check for errors/warnings ");
        return outcome;
    }
    std::vector<uint8_t> image(built->buffer.begin(), built->buffer.begin() + long(built->length));
    StoreImageCrc(image.data(), image.size());

    ConfigKindProfile kind = RS232TransferProfile();
    kind.damagedWarning = DAMAGED_READ_BACK;
    const WriteOutcome write = WriteConfigImage(kind, address, image, services);
    if (write.readBack.result == ReadResult::Intact)
        outcome.shown = ShownConfig(write.readBack.buffer);
    switch (write.result) {
    case WriteResult::Saved:
        outcome.result = RS232SaveResult::Saved;
        return outcome;
    case WriteResult::NotVerified:
        outcome.result = outcome.shown ? RS232SaveResult::NotVerified : RS232SaveResult::Failed;
        break;
    case WriteResult::Failed:
        outcome.result = RS232SaveResult::Failed;
        break;
    case WriteResult::InterfaceLost:
        outcome.result = RS232SaveResult::InterfaceLost;
        outcome.shown.reset();
        return outcome;
    }
    if (write.readBack.result != ReadResult::Damaged)
        ShowConfigNotSaved(services.prompts, outcome.shown.has_value());
    return outcome;
}

bool SendTestString(uint8_t address, size_t rowIndex, Services& services)
{
    const auto payload = TestStringPayload(rowIndex);
    if (!payload) {
        ShowRS232Refusal(services.prompts, UntestableStringRefusal());
        return false;
    }
    SetBusStep({StrF("the string of row %zu was being sent to the ORV-RS232 at address %d", rowIndex + 1, address),
                ""});
    SendRequest(BusRequest{OUTPUT_STRING, address, &*payload, 1});
    LogF(services.log, " Output String#%c to RS232 Sent ", char(*payload));
    services.clock.Sleep(100);
    if (!WaitForAck()) {
        ReportBusInterfaceLost();
        return false;
    }
    services.log.Message(" ACK Received ");
    return true;
}

}  // namespace orv
