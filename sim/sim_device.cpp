#include "sim/sim_device.h"

#include <algorithm>

namespace orv {

namespace {

constexpr size_t INPUT8_MEMORY = 453;
constexpr size_t RS232_MEMORY = 4064;

bool IsBlockCommand(uint16_t command)
{
    return command == CONFIG_BLOCK_WRITE || command == CONFIG_BLOCK_READ || command == FIRMWARE_BLOCK;
}

// The block number of a block command, when its payload carries one.
std::optional<uint16_t> BlockOf(const HeardFrame& frame)
{
    if (!IsBlockCommand(frame.command) || frame.payload.size() < 2)
        return std::nullopt;
    return BlockNumberFrom(frame.payload.data());
}

}  // namespace

const char* DefaultDeviceName(SimDeviceKind kind)
{
    switch (kind) {
    case SimDeviceKind::Input8: return "ORV-Input8";
    case SimDeviceKind::RS232: return "ORV-RS232";
    case SimDeviceKind::LED4PD: return "ORV-LED4PD";
    case SimDeviceKind::Relay: return "ORV-Relay";
    }
    return "";
}

size_t ConfigMemorySize(SimDeviceKind kind)
{
    switch (kind) {
    case SimDeviceKind::Input8: return INPUT8_MEMORY;
    case SimDeviceKind::RS232: return RS232_MEMORY;
    default: return 0;
    }
}

SimDevice::SimDevice(SimDeviceKind kind, uint8_t address, const SerialNumber& serial)
    : kind_(kind), address_(address), memory_(ConfigMemorySize(kind), 0)
{
    info_.serial = serial;
    info_.name = DefaultDeviceName(kind);
    info_.firmwareMajor = 1;
    info_.firmwareMinor = 0;
    info_.configured = 1;
}

void SimDevice::LoadMemory(const std::vector<uint8_t>& image)
{
    std::fill(memory_.begin(), memory_.end(), 0);
    std::copy_n(image.begin(), std::min(image.size(), memory_.size()), memory_.begin());
}

std::vector<uint8_t> SimDevice::AssembledFirmware() const
{
    std::vector<uint8_t> bytes;
    for (const auto& block : firmwareBlocks_)
        bytes.insert(bytes.end(), block.data.begin(), block.data.end());
    return bytes;
}

bool SimDevice::Acknowledges(const HeardFrame& frame, int request) const
{
    if (faults_.silent || faults_.noAckRequest == request)
        return false;
    if (faults_.noAckCommand != frame.command)
        return true;
    const std::optional<uint16_t> block = BlockOf(frame);
    if (faults_.noAckBlock)
        return block != faults_.noAckBlock;
    if (faults_.noAckFromBlock)
        return !block || *block < *faults_.noAckFromBlock;
    return false;
}

void SimDevice::OnFrame(const HeardFrame& frame, SimReplyWriter& out)
{
    if (frame.destination != address_ && frame.destination != BROADCAST_ADDRESS)
        return;
    if (!Acknowledges(frame, ++requestsHeard_))
        return;
    if (faults_.lateFromRequest && requestsHeard_ >= *faults_.lateFromRequest)
        out.Pause(faults_.lateMicros);
    if (!faults_.strayBytes.empty())
        out.Raw(faults_.strayBytes);
    out.Ack();
    CarryOut(frame, out);
    Babble(out);
}

void SimDevice::Babble(SimReplyWriter& out) const
{
    const auto info = EncodeModuleInfo(info_);
    for (int i = 0; i < faults_.babbleFrames; ++i) {
        out.Pause(BABBLE_PERIOD_MICROS);
        out.Frame(HOST_ADDRESS, address_, MODULE_INFO, info.data(), uint8_t(info.size()));
    }
}

void SimDevice::CarryOut(const HeardFrame& frame, SimReplyWriter& out)
{
    const std::vector<uint8_t>& p = frame.payload;
    switch (frame.command) {
    case MODULE_INFO_REQUEST: {
        const auto info = EncodeModuleInfo(info_);
        Reply(MODULE_INFO, info.data(), uint8_t(info.size()), std::nullopt, out);
        break;
    }
    case CONFIG_BLOCK_WRITE: {
        if (p.size() < size_t(CONFIG_BLOCK_LENGTH))
            break;
        const ConfigBlock block = DecodeConfigBlock(p.data());
        const size_t offset = size_t(block.number) * CONFIG_BLOCK_BYTES;
        for (size_t i = 0; i < block.data.size() && offset + i < memory_.size(); ++i)
            memory_[offset + i] = block.data[i];
        // A device with memory reports a stored configuration from its first block on.
        if (!memory_.empty())
            info_.configured = 1;
        break;
    }
    case CONFIG_BLOCK_READ: {
        if (p.size() < 2)
            break;
        ConfigBlock block;
        block.number = BlockNumberFrom(p.data());
        const size_t offset = size_t(block.number) * CONFIG_BLOCK_BYTES;
        for (size_t i = 0; i < block.data.size() && offset + i < memory_.size(); ++i)
            block.data[i] = memory_[offset + i];
        const auto payload = EncodeConfigBlock(block);
        Reply(CONFIG_BLOCK_DATA, payload.data(), uint8_t(payload.size()), block.number, out);
        break;
    }
    case SET_ADDRESS_BY_SN:
        if (p.size() >= size_t(SET_ADDRESS_LENGTH) && std::equal(info_.serial.begin(), info_.serial.end(), p.begin()))
            address_ = p[4];
        break;
    case RUN_BOOT:
        mode_ = SimDeviceMode::BootLoader;
        firmwareBlocks_.clear();
        break;
    case RUN_FIRMWARE:
        mode_ = SimDeviceMode::Firmware;
        break;
    case FIRMWARE_BLOCK:
        // Only the boot loader takes firmware; the running firmware ignores it.
        if (mode_ == SimDeviceMode::BootLoader && p.size() >= size_t(FIRMWARE_BLOCK_LENGTH)) {
            ReceivedFirmwareBlock block;
            block.number = BlockNumberFrom(p.data());
            std::copy_n(p.begin() + 2, FIRMWARE_BLOCK_BYTES, block.data.begin());
            firmwareBlocks_.push_back(block);
        }
        break;
    case OUTPUT_STRING:
        outputStrings_.push_back(p);
        break;
    default:
        break;
    }
}

void SimDevice::Reply(uint16_t command, const uint8_t* payload, uint8_t length, std::optional<uint16_t> block,
                      SimReplyWriter& out) const
{
    const bool faulty = !faults_.replyFaultBlock || block == faults_.replyFaultBlock;
    if (faulty && faults_.omitReply)
        return;
    uint8_t bytes[MAX_PAYLOAD] = {};
    std::copy_n(payload, length, bytes);
    uint8_t sentLength = length;
    uint16_t sentCommand = command;
    if (faulty && faults_.replyLength)
        sentLength = std::min<uint8_t>(*faults_.replyLength, MAX_PAYLOAD);
    if (faulty && faults_.replyCommand)
        sentCommand = *faults_.replyCommand;
    out.Pause(replyPause_);
    if (!faults_.strayBytesBeforeReply.empty())
        out.Raw(faults_.strayBytesBeforeReply);
    if (faulty && faults_.cutReply) {
        SimReplyWriter whole;
        whole.Frame(HOST_ADDRESS, address_, sentCommand, bytes, sentLength);
        const std::vector<uint8_t>& frame = whole.items.front().bytes;
        out.Raw(std::vector<uint8_t>(frame.begin(), frame.begin() + long(frame.size() / 2)));
    }
    out.Frame(HOST_ADDRESS, address_, sentCommand, bytes, sentLength, faulty && faults_.damageCrc);
}

}  // namespace orv
