// A simulated bus device of one of the four kinds: it acknowledges the
// requests for its address and for the broadcast address, answers the two
// queries, keeps configuration blocks, takes a new address by serial number,
// collects firmware blocks in its boot loader and records the strings it is
// told to send. Faults can be switched on to show how the tool copes.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "link/commands.h"
#include "sim/sim_bus.h"

namespace orv {

enum class SimDeviceKind { Input8, RS232, LED4PD, Relay };

// "ORV-Input8", "ORV-RS232", "ORV-LED4PD", "ORV-Relay".
const char* DefaultDeviceName(SimDeviceKind kind);
// Bytes of configuration memory: 453 for an Input8, 4064 for an RS232, none otherwise.
size_t ConfigMemorySize(SimDeviceKind kind);

enum class SimDeviceMode { Firmware, BootLoader };

// What goes wrong with a device. A request that goes unacknowledged is not
// carried out either: as far as the tool can tell, the device never heard it.
struct SimDeviceFaults {
    bool silent = false;  // hears every request, answers none, carries none out
    // Requests with this command go unacknowledged ...
    std::optional<uint16_t> noAckCommand;
    // ... for a block command only the one with this block number ...
    std::optional<uint16_t> noAckBlock;
    // ... or only those from this block number on.
    std::optional<uint16_t> noAckFromBlock;

    // Faults of the replies (MODULE_INFO, CONFIG_BLOCK_DATA): every reply, or,
    // when replyFaultBlock is set, only the CONFIG_BLOCK_DATA of that block.
    std::optional<uint16_t> replyFaultBlock;
    bool omitReply = false;  // the query is acknowledged, no reply follows
    bool damageCrc = false;
    std::optional<uint16_t> replyCommand;  // sent instead of the right command
    std::optional<uint8_t> replyLength;    // payload cut or padded with zeros to this length (at most 64)

    // The k-th request for this device since SetFaults (counted from 1,
    // broadcasts included) goes unacknowledged.
    std::optional<int> noAckRequest;
    // From the k-th request on (counted the same way), every answer starts
    // lateMicros later: a device that turns slower than it was measured.
    std::optional<int> lateFromRequest;
    uint64_t lateMicros = 0;

    std::vector<uint8_t> strayBytes;  // put on the wire before every answer
    // Put on the wire between the acknowledgement and the reply frame.
    std::vector<uint8_t> strayBytesBeforeReply;
    // The reply frame is cut by the start of another: its first half, then the
    // whole frame again, which a receiver that dropped the cut frame ignores.
    bool cutReply = false;
    // A babbling line: after each answer the device sends its MODULE_INFO this
    // many times more, one frame every BABBLE_PERIOD_MICROS.
    int babbleFrames = 0;
};

// One FIRMWARE_BLOCK as the boot loader received it.
struct ReceivedFirmwareBlock {
    uint16_t number = 0;
    std::array<uint8_t, FIRMWARE_BLOCK_BYTES> data{};
};

class SimDevice final : public SimResponder {
public:
    static constexpr uint64_t DEFAULT_TURNAROUND_MICROS = 2000;
    static constexpr uint64_t DEFAULT_REPLY_PAUSE_MICROS = 1000;
    static constexpr uint64_t BABBLE_PERIOD_MICROS = 10000;

    // Named after its kind, firmware 1.0, configured, zero configuration memory.
    SimDevice(SimDeviceKind kind, uint8_t address, const SerialNumber& serial);

    SimDeviceKind Kind() const { return kind_; }
    uint8_t Address() const { return address_; }
    void SetAddress(uint8_t address) { address_ = address; }
    // What MODULE_INFO reports: serial number, name, firmware version,
    // configured flag and the two values the tool does not use. A device with
    // configuration memory reports itself configured once it has stored a block.
    ModuleInfo& Info() { return info_; }
    const ModuleInfo& Info() const { return info_; }

    // Configuration memory (ConfigMemorySize bytes).
    std::vector<uint8_t>& Memory() { return memory_; }
    const std::vector<uint8_t>& Memory() const { return memory_; }
    // Copies an image to the start of the memory; what does not fit is dropped,
    // the rest of the memory is cleared.
    void LoadMemory(const std::vector<uint8_t>& image);

    SimDeviceMode Mode() const { return mode_; }
    // Blocks received since the last RUN_BOOT, in the order they arrived.
    const std::vector<ReceivedFirmwareBlock>& FirmwareBlocks() const { return firmwareBlocks_; }
    // The data of those blocks, one after the other.
    std::vector<uint8_t> AssembledFirmware() const;

    // Payloads of every OUTPUT_STRING, in order.
    const std::vector<std::vector<uint8_t>>& OutputStrings() const { return outputStrings_; }

    SimDeviceFaults& Faults() { return faults_; }
    // Requests for noAckRequest are counted from here on.
    void SetFaults(const SimDeviceFaults& faults)
    {
        faults_ = faults;
        requestsHeard_ = 0;
    }

    void SetTurnaroundMicros(uint64_t micros) { turnaround_ = micros; }
    // Between the acknowledgement and the reply frame.
    void SetReplyPauseMicros(uint64_t micros) { replyPause_ = micros; }

    void OnFrame(const HeardFrame& frame, SimReplyWriter& out) override;
    uint64_t TurnaroundMicros() const override { return turnaround_; }

private:
    bool Acknowledges(const HeardFrame& frame, int request) const;
    void Babble(SimReplyWriter& out) const;
    void CarryOut(const HeardFrame& frame, SimReplyWriter& out);
    void Reply(uint16_t command, const uint8_t* payload, uint8_t length, std::optional<uint16_t> block,
               SimReplyWriter& out) const;

    SimDeviceKind kind_;
    uint8_t address_;
    ModuleInfo info_;
    std::vector<uint8_t> memory_;
    SimDeviceMode mode_ = SimDeviceMode::Firmware;
    std::vector<ReceivedFirmwareBlock> firmwareBlocks_;
    std::vector<std::vector<uint8_t>> outputStrings_;
    SimDeviceFaults faults_;
    int requestsHeard_ = 0;  // requests for this device so far
    uint64_t turnaround_ = DEFAULT_TURNAROUND_MICROS;
    uint64_t replyPause_ = DEFAULT_REPLY_PAUSE_MICROS;
};

}  // namespace orv
