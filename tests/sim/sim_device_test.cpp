// Conversations with each kind of simulated device through the bus link.
#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>

#include "sim/sim_device.h"
#include "tests/sim/link_fixture.h"

namespace orv::test {
namespace {

constexpr uint8_t ADDRESS = 6;
constexpr SerialNumber SERIAL{0x78, 0x56, 0x34, 0x12};

struct KindCase {
    SimDeviceKind kind;
    const char* name;
    size_t memory;
};

void PrintTo(const KindCase& c, std::ostream* os)
{
    *os << c.name;
}

const KindCase KINDS[] = {
    {SimDeviceKind::Input8, "ORV-Input8", 453},
    {SimDeviceKind::RS232, "ORV-RS232", 4064},
    {SimDeviceKind::LED4PD, "ORV-LED4PD", 0},
    {SimDeviceKind::Relay, "ORV-Relay", 0},
};

class DeviceConversation : public LinkFixture, public ::testing::WithParamInterface<KindCase> {
protected:
    SimDevice device{GetParam().kind, ADDRESS, SERIAL};

    void SetUp() override
    {
        LinkFixture::SetUp();
        bus.Attach(device);
    }
};

ConfigBlock PatternBlock(uint16_t number)
{
    ConfigBlock block;
    block.number = number;
    std::iota(block.data.begin(), block.data.end(), uint8_t(0x40 + number));
    return block;
}

TEST_P(DeviceConversation, ModuleInfoReplyCarriesTheDeviceFields)
{
    device.Info().firmwareMajor = 2;
    device.Info().firmwareMinor = 0x17;
    device.Info().configured = 0;
    device.Info().reserved16 = 0xBEEF;
    device.Info().reservedFlag = 7;

    const Exchange ex = AskModuleInfo(ADDRESS);

    ASSERT_TRUE(ex.acked);
    ASSERT_TRUE(ex.reply);
    EXPECT_TRUE(IsModuleInfoReply(*ex.reply));
    EXPECT_EQ(ex.reply->source, ADDRESS);
    const ModuleInfo info = DecodeModuleInfo(ex.reply->payload);
    EXPECT_EQ(info.serial, SERIAL);
    EXPECT_EQ(info.name, GetParam().name);
    EXPECT_EQ(info.firmwareMajor, 2);
    EXPECT_EQ(info.firmwareMinor, 0x17);
    EXPECT_EQ(info.configured, 0);
    EXPECT_EQ(info.reserved16, 0xBEEF);
    EXPECT_EQ(info.reservedFlag, 7);
}

// Blocks inside, across the end of (Input8 block 14) and past each memory
// read back as far as the memory holds them, the rest as zeros.
TEST_P(DeviceConversation, WrittenBlocksReadBackAsFarAsTheMemoryHoldsThem)
{
    const size_t memory = GetParam().memory;
    for (uint16_t number : {0, 14, 15, 126, 127, 300}) {
        SCOPED_TRACE(number);
        const ConfigBlock written = PatternBlock(number);
        ASSERT_TRUE(WriteBlock(ADDRESS, written).acked);

        const Exchange ex = ReadBlock(ADDRESS, number);

        ASSERT_TRUE(ex.acked);
        ASSERT_TRUE(ex.reply);
        ASSERT_TRUE(IsConfigBlockData(*ex.reply));
        const ConfigBlock read = DecodeConfigBlock(ex.reply->payload);
        EXPECT_EQ(read.number, number);
        for (size_t i = 0; i < read.data.size(); ++i) {
            const bool held = number * size_t(CONFIG_BLOCK_BYTES) + i < memory;
            EXPECT_EQ(read.data[i], held ? written.data[i] : 0) << "byte " << i;
        }
    }
    EXPECT_EQ(device.Memory().size(), memory);
}

TEST_P(DeviceConversation, ReadPastTheMemoryGivesZeros)
{
    device.LoadMemory(std::vector<uint8_t>(GetParam().memory, 0xA5));
    const uint16_t past = uint16_t((GetParam().memory + CONFIG_BLOCK_BYTES - 1) / CONFIG_BLOCK_BYTES);

    const Exchange ex = ReadBlock(ADDRESS, past);

    ASSERT_TRUE(ex.reply);
    ASSERT_TRUE(IsConfigBlockData(*ex.reply));
    const ConfigBlock read = DecodeConfigBlock(ex.reply->payload);
    EXPECT_EQ(read.number, past);
    EXPECT_EQ(read.data, (std::array<uint8_t, CONFIG_BLOCK_BYTES>{}));
}

TEST_P(DeviceConversation, SetAddressBySerialTakesOnlyTheMatchingSerial)
{
    const auto wrong = SetAddressPayload({0x78, 0x56, 0x34, 0x13}, 20);
    EXPECT_TRUE(Ask(SET_ADDRESS_BY_SN, ADDRESS, {wrong.begin(), wrong.end()}).acked);
    EXPECT_EQ(device.Address(), ADDRESS);
    EXPECT_TRUE(AskModuleInfo(ADDRESS).reply);

    const auto right = SetAddressPayload(SERIAL, 20);
    EXPECT_TRUE(Ask(SET_ADDRESS_BY_SN, ADDRESS, {right.begin(), right.end()}).acked);
    EXPECT_EQ(device.Address(), 20);
    EXPECT_FALSE(AskModuleInfo(ADDRESS).acked);
    const Exchange ex = AskModuleInfo(20);
    ASSERT_TRUE(ex.reply);
    EXPECT_EQ(ex.reply->source, 20);
}

TEST_P(DeviceConversation, BootLoaderCollectsFirmwareBlocksUntilRunFirmware)
{
    // 80 bytes: two full blocks, then the short last one, numbered as the
    // update numbers it, with the previous block's bytes behind the file's end.
    std::vector<uint8_t> file(80);
    std::iota(file.begin(), file.end(), uint8_t(1));
    std::array<uint8_t, FIRMWARE_BLOCK_BYTES> buffer{};
    const uint16_t numbers[] = {0, 1, 3};

    ASSERT_TRUE(Ask(RUN_BOOT, ADDRESS).acked);
    EXPECT_EQ(device.Mode(), SimDeviceMode::BootLoader);
    for (int i = 0; i < 3; ++i) {
        const size_t offset = size_t(i) * FIRMWARE_BLOCK_BYTES;
        std::copy(file.begin() + long(offset), file.begin() + long(std::min(offset + 32, file.size())), buffer.begin());
        const auto payload = EncodeFirmwareBlock(numbers[i], buffer.data());
        ASSERT_TRUE(Ask(FIRMWARE_BLOCK, ADDRESS, {payload.begin(), payload.end()}).acked);
        clock.Sleep(50);
    }
    ASSERT_TRUE(Ask(RUN_FIRMWARE, ADDRESS).acked);

    EXPECT_EQ(device.Mode(), SimDeviceMode::Firmware);
    ASSERT_EQ(device.FirmwareBlocks().size(), 3u);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(device.FirmwareBlocks()[size_t(i)].number, numbers[i]);
    const std::vector<uint8_t> assembled = device.AssembledFirmware();
    ASSERT_EQ(assembled.size(), 96u);
    EXPECT_EQ(std::vector<uint8_t>(assembled.begin(), assembled.begin() + 80), file);
    EXPECT_EQ(assembled[80], file[48]);
}

TEST_P(DeviceConversation, RunningFirmwareAcknowledgesButIgnoresFirmwareBlocks)
{
    const uint8_t data[FIRMWARE_BLOCK_BYTES] = {0xEE};
    const auto payload = EncodeFirmwareBlock(0, data);

    EXPECT_TRUE(Ask(FIRMWARE_BLOCK, ADDRESS, {payload.begin(), payload.end()}).acked);

    EXPECT_TRUE(device.FirmwareBlocks().empty());
}

TEST_P(DeviceConversation, OutputStringsAreRecorded)
{
    EXPECT_TRUE(Ask(OUTPUT_STRING, ADDRESS, {'0'}).acked);
    EXPECT_TRUE(Ask(OUTPUT_STRING, ADDRESS, {'7'}).acked);

    EXPECT_EQ(device.OutputStrings(), (std::vector<std::vector<uint8_t>>{{'0'}, {'7'}}));
}

TEST_P(DeviceConversation, RequestsForOtherAddressesGoUnanswered)
{
    EXPECT_FALSE(AskModuleInfo(ADDRESS + 1).acked);
    EXPECT_FALSE(Ask(OUTPUT_STRING, ADDRESS + 1, {'0'}).acked);
    EXPECT_TRUE(device.OutputStrings().empty());
}

INSTANTIATE_TEST_SUITE_P(Kinds, DeviceConversation, ::testing::ValuesIn(KINDS),
                         [](const auto& info) { return std::string(info.param.name).substr(4); });

class Broadcast : public LinkFixture {};

TEST_F(Broadcast, EachDeviceAnswersModuleInfoRequestInTurn)
{
    SimDevice led(SimDeviceKind::LED4PD, 7, {1, 0, 0, 0});
    SimDevice relay(SimDeviceKind::Relay, 9, {2, 0, 0, 0});
    SimDevice rs232(SimDeviceKind::RS232, 5, {3, 0, 0, 0});
    for (SimDevice* d : {&led, &relay, &rs232})
        bus.Attach(*d);

    Send(MODULE_INFO_REQUEST, BROADCAST_ADDRESS, {0x00});
    ASSERT_TRUE(WaitForAck());
    const std::vector<BusReply> replies = CollectReplies();

    ASSERT_EQ(replies.size(), 3u);
    const uint8_t sources[] = {7, 9, 5};
    const char* names[] = {"ORV-LED4PD", "ORV-Relay", "ORV-RS232"};
    for (size_t i = 0; i < 3; ++i) {
        EXPECT_TRUE(IsModuleInfoReply(replies[i]));
        EXPECT_EQ(replies[i].source, sources[i]);
        EXPECT_EQ(DecodeModuleInfo(replies[i].payload).name, names[i]);
    }
    // The first reply follows the acknowledgement that WaitForAck consumed;
    // the next ones each bring their own acknowledgement byte.
    EXPECT_TRUE(log.Contains(" ORV_RECV read 34 bytes"));
    EXPECT_EQ(std::count(log.lines.begin(), log.lines.end(), " ORV_RECV read 35 bytes"), 2);
    EXPECT_TRUE(log.Contains(" ORV_RECV read 0 bytes"));
}

TEST_F(Broadcast, SetAddressBySerialMovesOnlyTheMatchingDeviceOfASharedAddress)
{
    SimDevice first(SimDeviceKind::Relay, 9, {1, 0, 0, 0});
    SimDevice second(SimDeviceKind::Relay, 9, {2, 0, 0, 0});
    bus.Attach(first);
    bus.Attach(second);

    const auto payload = SetAddressPayload({2, 0, 0, 0}, 10);
    EXPECT_TRUE(Ask(SET_ADDRESS_BY_SN, 9, {payload.begin(), payload.end()}).acked);

    EXPECT_EQ(first.Address(), 9);
    EXPECT_EQ(second.Address(), 10);
}

}  // namespace
}  // namespace orv::test
