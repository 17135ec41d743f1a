#include "link/commands.h"

#include <algorithm>
#include <cstring>

namespace orv {

const char* CommandName(uint32_t code)
{
    switch (code) {
    case FIRMWARE_BLOCK: return "FIRMWARE_BLOCK";
    case RUN_FIRMWARE: return "RUN_FIRMWARE";
    case RUN_BOOT: return "RUN_BOOT";
    case MODULE_INFO_REQUEST: return "MODULE_INFO_REQUEST";
    case MODULE_INFO: return "MODULE_INFO";
    case CONFIG_BLOCK_WRITE: return "CONFIG_BLOCK_WRITE";
    case CONFIG_BLOCK_READ: return "CONFIG_BLOCK_READ";
    case CONFIG_BLOCK_DATA: return "CONFIG_BLOCK_DATA";
    case SET_ADDRESS_BY_SN: return "SET_ADDRESS_BY_SN";
    case OUTPUT_STRING: return "OUTPUT_STRING";
    default: return nullptr;
    }
}

std::array<uint8_t, MODULE_INFO_LENGTH> EncodeModuleInfo(const ModuleInfo& info)
{
    std::array<uint8_t, MODULE_INFO_LENGTH> p{};
    std::copy(info.serial.begin(), info.serial.end(), p.begin());
    std::memcpy(&p[4], info.name.data(), std::min<size_t>(info.name.size(), MODULE_NAME_FIELD));
    p[16] = uint8_t(info.reserved16 >> 8);
    p[17] = uint8_t(info.reserved16);
    p[18] = info.firmwareMinor;
    p[19] = info.firmwareMajor;
    p[20] = info.configured;
    p[21] = info.reservedFlag;
    return p;
}

ModuleInfo DecodeModuleInfo(const uint8_t* p)
{
    ModuleInfo info;
    std::copy(p, p + 4, info.serial.begin());
    const char* name = reinterpret_cast<const char*>(p + 4);
    info.name.assign(name, strnlen(name, MODULE_NAME_FIELD));
    info.reserved16 = uint16_t(p[16] << 8 | p[17]);
    info.firmwareMinor = p[18];
    info.firmwareMajor = p[19];
    info.configured = p[20];
    info.reservedFlag = p[21];
    return info;
}

std::array<uint8_t, CONFIG_BLOCK_LENGTH> EncodeConfigBlock(const ConfigBlock& block)
{
    std::array<uint8_t, CONFIG_BLOCK_LENGTH> p{};
    p[0] = uint8_t(block.number);
    p[1] = uint8_t(block.number >> 8);
    std::copy(block.data.begin(), block.data.end(), p.begin() + 2);
    return p;
}

ConfigBlock DecodeConfigBlock(const uint8_t* payload)
{
    ConfigBlock block;
    block.number = BlockNumberFrom(payload);
    std::copy(payload + 2, payload + 2 + CONFIG_BLOCK_BYTES, block.data.begin());
    return block;
}

std::array<uint8_t, 2> BlockNumberPayload(uint16_t block)
{
    return {uint8_t(block), uint8_t(block >> 8)};
}

uint16_t BlockNumberFrom(const uint8_t* payload)
{
    return uint16_t(payload[0] | payload[1] << 8);
}

std::array<uint8_t, FIRMWARE_BLOCK_LENGTH> EncodeFirmwareBlock(uint16_t block, const uint8_t* data32)
{
    std::array<uint8_t, FIRMWARE_BLOCK_LENGTH> p{};
    p[0] = uint8_t(block);
    p[1] = uint8_t(block >> 8);
    std::copy(data32, data32 + FIRMWARE_BLOCK_BYTES, p.begin() + 2);
    return p;
}

std::array<uint8_t, SET_ADDRESS_LENGTH> SetAddressPayload(const SerialNumber& serial, uint8_t newAddress)
{
    return {serial[0], serial[1], serial[2], serial[3], newAddress};
}

bool IsModuleInfoReply(const BusReply& reply)
{
    return reply.command == MODULE_INFO && reply.length == MODULE_INFO_LENGTH;
}

bool IsConfigBlockData(const BusReply& reply)
{
    return reply.command == CONFIG_BLOCK_DATA && reply.length == CONFIG_BLOCK_LENGTH;
}

}  // namespace orv
