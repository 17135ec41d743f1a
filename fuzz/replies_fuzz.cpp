// Every reply decoder of the command set, given whatever a device could send:
// a frame of any command, source and payload, decoded by the link's decoder
// and then taken apart as the callers take MODULE_INFO and CONFIG_BLOCK_DATA.
#include <algorithm>

#include "ctl/run.h"
#include "fuzz/fuzz_support.h"
#include "link/commands.h"
#include "link/frame_codec.h"
#include "network/device_registry.h"

namespace {

void CheckModuleInfo(const orv::BusReply& reply)
{
    const orv::ModuleInfo info = orv::DecodeModuleInfo(reply.payload);
    FUZZ_CHECK(info.name.size() <= size_t(orv::MODULE_NAME_FIELD));
    const auto coded = orv::EncodeModuleInfo(info);
    const orv::ModuleInfo again = orv::DecodeModuleInfo(coded.data());
    FUZZ_CHECK(again.serial == info.serial && again.name == info.name && again.reserved16 == info.reserved16 &&
               again.firmwareMinor == info.firmwareMinor && again.firmwareMajor == info.firmwareMajor &&
               again.configured == info.configured && again.reservedFlag == info.reservedFlag);

    const orv::DeviceRecord record = orv::RecordFromReply(reply);
    FUZZ_CHECK(record.name.size() <= orv::DEVICE_NAME_LENGTH);
    FUZZ_CHECK(record.address == reply.source);
    FUZZ_CHECK(std::equal(record.serialNumber.begin(), record.serialNumber.end(), reply.payload));
    // What orvctl prints of a device: its name cannot set the terminal's title.
    FUZZ_CHECK(orv::fuzz::TerminalSafe(orv::DescribeDevice(record)));
    orv::DeviceRowText(record);
    orv::FirmwareText(record);
}

void CheckConfigBlock(const orv::BusReply& reply)
{
    const orv::ConfigBlock block = orv::DecodeConfigBlock(reply.payload);
    FUZZ_CHECK(block.number == orv::BlockNumberFrom(reply.payload));
    const auto coded = orv::EncodeConfigBlock(block);
    FUZZ_CHECK(std::equal(coded.begin(), coded.end(), reply.payload));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    orv::fuzz::InputReader input(data, size);
    const uint8_t destination = input.Byte();
    const uint8_t source = input.Byte();
    const uint16_t command = input.Word();
    const std::vector<uint8_t> payload = input.Bytes(orv::MAX_PAYLOAD);

    uint8_t frame[orv::MAX_FRAME];
    uint8_t bodyLength = 0;
    FUZZ_CHECK(orv::EncodeMessage(destination, source, command, payload.data(), uint8_t(payload.size()), frame,
                                  bodyLength));
    orv::BusReply reply;
    orv::NullLog log;
    if (!orv::DecodeFrame(frame + 1, bodyLength, true, reply, &log))
        return 0;
    FUZZ_CHECK(reply.length == payload.size() && reply.source == source && reply.command == command);
    if (orv::IsModuleInfoReply(reply))
        CheckModuleInfo(reply);
    if (orv::IsConfigBlockData(reply))
        CheckConfigBlock(reply);
    return 0;
}
