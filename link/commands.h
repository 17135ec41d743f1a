// The command set of the bus: codes, names, payload layouts and the checks
// of the two replies. Every layout is written here once; senders, the
// simulated devices and orvctl's decoder all use it.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "link/frame_codec.h"

namespace orv {

enum CommandCode : uint16_t {
    FIRMWARE_BLOCK = 0,
    RUN_FIRMWARE = 2,
    RUN_BOOT = 3,
    MODULE_INFO_REQUEST = 4,
    MODULE_INFO = 5,
    CONFIG_BLOCK_WRITE = 6,
    CONFIG_BLOCK_READ = 7,
    CONFIG_BLOCK_DATA = 8,
    SET_ADDRESS_BY_SN = 9,
    OUTPUT_STRING = 10,
};

// "MODULE_INFO_REQUEST" and so on; nullptr for a code the bus does not use.
const char* CommandName(uint32_t code);

constexpr int MODULE_INFO_LENGTH = 22;
constexpr int CONFIG_BLOCK_BYTES = 32;
constexpr int CONFIG_BLOCK_LENGTH = 2 + CONFIG_BLOCK_BYTES;
constexpr int FIRMWARE_BLOCK_BYTES = 32;
constexpr int FIRMWARE_BLOCK_LENGTH = 2 + FIRMWARE_BLOCK_BYTES;
constexpr int SET_ADDRESS_LENGTH = 5;
constexpr int MODULE_NAME_FIELD = 12;

using SerialNumber = std::array<uint8_t, 4>;  // in the order the device sent it

// MODULE_INFO payload.
struct ModuleInfo {
    SerialNumber serial{};
    std::string name;          // up to the first zero byte of the 12-byte field
    uint16_t reserved16 = 0;   // bytes 16..17, high byte first; unused by the tool
    uint8_t firmwareMinor = 0;
    uint8_t firmwareMajor = 0;
    uint8_t configured = 0;
    uint8_t reservedFlag = 0;  // byte 21; unused by the tool
};
std::array<uint8_t, MODULE_INFO_LENGTH> EncodeModuleInfo(const ModuleInfo& info);
ModuleInfo DecodeModuleInfo(const uint8_t* payload);

// Payload of CONFIG_BLOCK_WRITE and CONFIG_BLOCK_DATA.
struct ConfigBlock {
    uint16_t number = 0;
    std::array<uint8_t, CONFIG_BLOCK_BYTES> data{};
};
std::array<uint8_t, CONFIG_BLOCK_LENGTH> EncodeConfigBlock(const ConfigBlock& block);
ConfigBlock DecodeConfigBlock(const uint8_t* payload);

// Payload of CONFIG_BLOCK_READ: the block number, low byte first.
std::array<uint8_t, 2> BlockNumberPayload(uint16_t block);
uint16_t BlockNumberFrom(const uint8_t* payload);

std::array<uint8_t, FIRMWARE_BLOCK_LENGTH> EncodeFirmwareBlock(uint16_t block, const uint8_t* data32);

std::array<uint8_t, SET_ADDRESS_LENGTH> SetAddressPayload(const SerialNumber& serial, uint8_t newAddress);

// The only checks the tool makes on a reply: its command and exact length.
bool IsModuleInfoReply(const BusReply& reply);
bool IsConfigBlockData(const BusReply& reply);

}  // namespace orv
