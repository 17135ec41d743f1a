#include "config/input8_transfer.h"

#include "link/commands.h"
#include "model/input8_image.h"

namespace orv {

ConfigKindProfile Input8TransferProfile()
{
    ConfigKindProfile kind;
    kind.bufferSize = INPUT8_IMAGE_SIZE;
    kind.readRequests = int((INPUT8_IMAGE_SIZE + CONFIG_BLOCK_BYTES - 1) / CONFIG_BLOCK_BYTES);
    kind.readPauseBeforeAckMs = 50;
    kind.storedCrcLog = StoredCrcLog::WordLowFirst;
    kind.damagedWarning = MessageBoxOptions{
        "Warn Loading Data ",
        "Bad Coniguration read from ORV-Input8.\n \n This may happen if the config wasn't saved properly. Please try "
        "Saving again \n\n The configuration was not loaded. ",
        Buttons::Ok, Icon::Exclamation};

    kind.writeProgress.title = "Updating Input8 Configuration";
    kind.writeProgress.message = "Saving Device Configuration ..... ";
    // A write is never stopped half way: a half-written configuration is worse than the wait.
    kind.writeProgress.canAbort = false;
    kind.writeProgress.appModal = true;
    kind.writeProgress.autoHide = true;
    kind.writeProgress.smooth = true;
    kind.writeProgressStart = 1;
    kind.writePauseBeforeSendMs = 450;
    kind.writePauseAfterLoopMs = 500;
    return kind;
}

WriteResult SaveInput8Config(const Input8Config& config, uint8_t address, Services& services,
                             const ShowReadBackFn& showReadBack)
{
    services.log.Message("SEND INPUT CONFIG STARTED ... ");
    const std::vector<uint8_t> image = EncodeInput8Image(config, ImageForm::Device);
    // A damaged read-back is told once, by the not-saved box below.
    ConfigKindProfile kind = Input8TransferProfile();
    kind.damagedWarning.reset();
    const WriteOutcome outcome = WriteConfigImage(kind, address, image, services);
    if (outcome.result == WriteResult::InterfaceLost)
        return outcome.result;
    // A damaged read-back is not shown: the panel keeps what was to be saved,
    // so that saving again saves the user's edits, not an empty configuration.
    const bool readBackShown = outcome.readBack.result == ReadResult::Intact;
    if (readBackShown)
        showReadBack(outcome.readBack);
    if (outcome.result != WriteResult::Saved)
        ShowConfigNotSaved(services.prompts, readBackShown);
    return outcome.result;
}

}  // namespace orv
