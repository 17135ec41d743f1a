// Moving a configuration image between the tool and one device in 34-byte
// blocks: CONFIG_BLOCK_READ / CONFIG_BLOCK_DATA to read, CONFIG_BLOCK_WRITE and
// a full read-back to write. Both configurable kinds use the same procedures;
// what differs between them (sizes, pauses, progress texts, warning, how long
// the image is) comes in a ConfigKindProfile. The caller acts on the outcome:
// it shows an intact image, clears its panel after a damaged one and reports
// a save.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "services/log.h"
#include "services/prompts.h"
#include "services/services.h"

namespace orv {

// How the CRC mismatch line shows the stored CRC.
enum class StoredCrcLog {
    WordLowFirst,  // the two stored bytes read as one 16-bit number, low byte first
    FirstByte,     // only the first stored byte
};

struct ConfigKindProfile {
    // Bytes the read fills; blocks past it are requested but not kept.
    size_t bufferSize = 0;
    // CONFIG_BLOCK_READ requests of one read (blocks 0 .. readRequests - 1).
    int readRequests = 0;
    // Pause between a read request and waiting for its acknowledgement.
    uint32_t readPauseBeforeAckMs = 0;
    // Pause after each block of a read.
    uint32_t readPauseAfterBlockMs = 0;
    // Pause before the first request of a read that follows a write.
    uint32_t readBackPauseMs = 0;
    // Progress dialog of a read (its maximum is readRequests - 1); none when
    // the caller shows its own busy indicator. It starts at 1, follows the
    // blocks and ends at its maximum.
    std::optional<ProgressOptions> readProgress;
    // Length of the image in a read buffer, CRC included. Nothing when the
    // image does not fit the buffer; that is reported like a CRC mismatch.
    // Called once per read, after the last block, with the read's log. When
    // not set, the image fills the whole buffer.
    std::function<std::optional<size_t>(const uint8_t* buffer, LogSink& log)> imageLength;
    StoredCrcLog storedCrcLog = StoredCrcLog::WordLowFirst;
    // Shown when the image read fails its CRC; nothing when the caller reports it.
    std::optional<MessageBoxOptions> damagedWarning;

    // Progress dialog of a write; its maximum is set to the last block number.
    ProgressOptions writeProgress;
    // Value the write progress shows before the first block, if any.
    std::optional<int> writeProgressStart;
    uint32_t writePauseBeforeSendMs = 0;
    uint32_t writePauseAfterSendMs = 0;
    // Pause after the last block, before the progress dialog goes away.
    uint32_t writePauseAfterLoopMs = 0;
};

enum class ReadResult {
    Failed,         // a request went unacknowledged, or an acknowledged one brought no reply
    Intact,         // the CRC over the image is 0
    Damaged,        // the CRC does not match (or the image does not fit); the warning has been shown
    InterfaceLost,  // the interface went away; its box has been shown
};

struct ReadOutcome {
    ReadResult result = ReadResult::Failed;
    // The whole read buffer (bufferSize bytes) when Intact or Damaged; empty otherwise.
    std::vector<uint8_t> buffer;
    // Image length with its CRC when Intact.
    size_t imageLength = 0;
    // The block (from 0) that went unanswered when Failed or InterfaceLost.
    std::optional<int> unansweredBlock;
    int blockCount = 0;
};

// Reads the image of the device at address. readBack marks the read that
// follows a write. Nothing is asked of BROADCAST_ADDRESS: the result is Failed.
ReadOutcome ReadConfigImage(const ConfigKindProfile& kind, uint8_t address, Services& services,
                            bool readBack = false);

enum class WriteResult {
    Failed,         // the read-back was not answered; the caller's view is unchanged
    NotVerified,    // a block went unacknowledged, or the read-back is damaged or differs from the image
    Saved,          // every block acknowledged, and the read-back is intact and equal to the image
    InterfaceLost,  // the interface went away during the write or the read-back; its box has been shown
};

struct WriteOutcome {
    WriteResult result = WriteResult::Failed;
    bool allAcknowledged = false;
    // The first block (from 0) that the device did not acknowledge; the
    // blocks after it were not sent.
    std::optional<int> unacknowledgedBlock;
    int blockCount = 0;
    // A second stop request ended the write after this many blocks: the
    // blocks after them were not sent and nothing was read back (the result
    // is NotVerified). A first request lets the write finish.
    std::optional<int> abandonedAfterBlocks;
    // What the device holds now; the caller shows it as after any read.
    ReadOutcome readBack;
};

// Sends image (its CRC stored high byte first) as image.size() / 32 + 1
// blocks, the last one padded with zero bytes, then reads the device back.
// Nothing is sent to BROADCAST_ADDRESS: the result is Failed.
WriteOutcome WriteConfigImage(const ConfigKindProfile& kind, uint8_t address, const std::vector<uint8_t>& image,
                              Services& services);

// "block 4 of 15" for the block numbered 3 from 0.
std::string BlockOfCount(int block, int count);

// " Config Not Saved ": the save did not reach the device as it was sent.
// readBackShown: the panel now shows the device's intact read-back; without
// one the panel keeps the configuration that was to be saved, and the box
// says so rather than claiming to show the device.
void ShowConfigNotSaved(Prompts& prompts, bool readBackShown);

}  // namespace orv
