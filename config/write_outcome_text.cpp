#include "config/write_outcome_text.h"

namespace orv {

std::string IncompleteConfigurationText(const std::string& device, const std::string& again)
{
    return device + " may now hold an incomplete configuration" +
           (again.empty() ? std::string() : "; to write it again: " + again);
}

std::string WriteOutcomeText(const WriteOutcome& outcome, const std::string& device, const std::string& interfaceLost,
                             const std::string& again)
{
    // A write that stopped before its last block may have left part of the image behind.
    const std::string incomplete = again.empty() ? std::string() : "; " + IncompleteConfigurationText(device, again);
    if (const std::optional<int> sent = outcome.abandonedAfterBlocks) {
        if (*sent == 0)
            return "the write to " + device + " was abandoned before its first block; nothing was written";
        return "the write was abandoned after " + BlockOfCount(*sent - 1, outcome.blockCount) + "; " +
               IncompleteConfigurationText(device, again);
    }
    switch (outcome.result) {
    case WriteResult::Saved:
        return "written and read back";
    case WriteResult::InterfaceLost:
        return interfaceLost + (outcome.unacknowledgedBlock ? incomplete : "");
    case WriteResult::Failed:
    case WriteResult::NotVerified:
        break;
    }
    if (outcome.unacknowledgedBlock) {
        std::string line = device + " did not acknowledge " +
                           BlockOfCount(*outcome.unacknowledgedBlock, outcome.blockCount) +
                           " of the write (the blocks after it were not sent)";
        if (outcome.readBack.result == ReadResult::Failed)
            line += ", nor the read-back after it";
        if (outcome.readBack.result == ReadResult::Damaged)
            return line + "; it now holds a damaged configuration" +
                   (again.empty() ? std::string() : "; to write it again: " + again);
        return line + incomplete;
    }
    if (outcome.readBack.result == ReadResult::Failed)
        return device + " did not answer the read-back after the write";
    if (outcome.readBack.result == ReadResult::Damaged)
        return "the read-back from " + device + " is damaged (its layout or its CRC does not check)";
    return "the read-back from " + device + " differs from what was written";
}

}  // namespace orv
