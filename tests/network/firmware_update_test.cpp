#include <gtest/gtest.h>

#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "network/firmware_file.h"
#include "network/firmware_update.h"
#include "tests/network/firmware_fixture.h"

namespace orv::test {
namespace {

using Commands = std::vector<uint16_t>;
using Blocks = std::vector<uint16_t>;

const std::string STATUS = " Firmware Update Status ";
const std::string COMPLETE =
    "\n  Firmware Update Complete \n\n Firmware was successfully updated   \n\n  Click 'OK' to Refresh List ";
// An update that stops after RUN_BOOT leaves the device at address 7 in its boot loader.
const std::string LEFT_IN_BOOT_LOADER =
    "The device at address 7 is left in its boot loader. \n To finish, repeat the firmware update on address 7; if "
    "the device is no longer listed there, use the Emergency Firmware Update with only this device on the bus.";
const std::string NOT_RESPONDING =
    "\n Firmware Update Aborted \n\n Reason: Device not responding. \n\n Please try again \n\n " + LEFT_IN_BOOT_LOADER;

using FirmwareUpdate = FirmwareFixture;

TEST_F(FirmwareUpdate, SixtyFourBytesGoAsTwoBlocksAndTheListIsRefreshed)
{
    SimDevice& device = AddDevice(7, 0x11);
    SelectDevice(device);
    const std::string path = WriteImage(64);
    prompts.fileAnswers.push_back(path);

    EXPECT_EQ(UpdateFirmware(context, false), FirmwareUpdateOutcome::Updated);

    ASSERT_EQ(prompts.fileDialogs.size(), 1u);
    const FileDialogOptions& dialog = prompts.fileDialogs[0];
    EXPECT_FALSE(dialog.save);
    EXPECT_TRUE(dialog.mustExist);
    EXPECT_EQ(dialog.message, "Load Firmware File ..");
    EXPECT_EQ(dialog.defaultDir, "");
    EXPECT_EQ(dialog.defaultFile, " ");
    EXPECT_EQ(dialog.wildcard, "Binary files (*.bin)|*.bin");

    // RUN_BOOT, the blocks, RUN_FIRMWARE, then the quick discovery after OK.
    const Commands heard = HeardCommands();
    ASSERT_GE(heard.size(), 5u);
    EXPECT_EQ(Commands(heard.begin(), heard.begin() + 4),
              (Commands{RUN_BOOT, FIRMWARE_BLOCK, FIRMWARE_BLOCK, RUN_FIRMWARE}));
    EXPECT_EQ(heard[4], MODULE_INFO_REQUEST);
    EXPECT_EQ(bus.Heard()[4].destination, BROADCAST_ADDRESS);
    for (size_t i = 0; i < 4; ++i)
        EXPECT_EQ(bus.Heard()[i].destination, 7);
    EXPECT_EQ(HeardBlockNumbers(), (Blocks{0, 1}));
    // Two 550 ms pauses between the switch to the boot loader and the first
    // block; 50 ms after each acknowledged block before the next is sent.
    EXPECT_GE(bus.Heard()[1].atMicros - bus.Heard()[0].atMicros, 1100000u);
    const uint64_t betweenBlocks = bus.Heard()[2].atMicros - bus.Heard()[1].atMicros;
    EXPECT_GE(betweenBlocks, 50000u);
    EXPECT_LT(betweenBlocks, 60000u);

    EXPECT_EQ(device.AssembledFirmware(), ReadFile(path));
    EXPECT_EQ(device.Mode(), SimDeviceMode::Firmware);

    ASSERT_GE(prompts.progress.size(), 2u);
    const RecordedProgress& progress = *prompts.progress[0];
    EXPECT_EQ(progress.options.title, "Firmware Update In Progress.. ");
    EXPECT_EQ(progress.options.message, "Firmware Update Progress: 0  % ");
    EXPECT_EQ(progress.options.maximum, 2);
    EXPECT_FALSE(progress.options.canAbort);
    EXPECT_TRUE(progress.options.appModal && progress.options.autoHide && progress.options.smooth);
    EXPECT_EQ(progress.values, (std::vector<int>{1, 1, 1, 2}));
    EXPECT_EQ(progress.messages[1], "Firmware Update Progress: 50  % ");
    EXPECT_EQ(progress.messages[2], "Firmware Update Progress: 99 % \n Device restarting .... ");
    EXPECT_TRUE(progress.hidden);
    EXPECT_EQ(prompts.progress[1]->options.title, "Looking for Orvanta Devices");

    ASSERT_FALSE(prompts.boxes.empty());
    EXPECT_EQ(prompts.boxes[0].caption, STATUS);
    EXPECT_EQ(prompts.boxes[0].text, COMPLETE);
    EXPECT_EQ(prompts.boxes[0].icon, Icon::Information);
    ASSERT_EQ(registry.Count(), 1u);
    EXPECT_EQ(registry.Record(0).address, 7);
    EXPECT_EQ(view.refreshes, 1);

    for (const char* line : {" ORV-Relay selected for Firmware update. Sending to address 7", "ACK FOR BOOT REQUEST",
                             " --- START FW UPDATE (2 Blocks) ----- ", " block 0: ACK Received ",
                             " block 1: ACK Received ", "ACK FOR UNCONFIGURED FW REQUEST"})
        EXPECT_TRUE(log.Contains(line)) << line;
}

TEST_F(FirmwareUpdate, APartialLastBlockIsNumberedNextAndFilledWithErasedBytes)
{
    SimDevice& device = AddDevice(7, 0x11);
    SelectDevice(device);
    const std::string path = WriteImage(70);
    prompts.fileAnswers.push_back(path);

    EXPECT_EQ(UpdateFirmware(context, false), FirmwareUpdateOutcome::Updated);

    EXPECT_EQ(HeardBlockNumbers(), (Blocks{0, 1, 2}));
    ASSERT_EQ(device.FirmwareBlocks().size(), 3u);
    std::vector<uint8_t> expected = ReadFile(path);
    expected.resize(96, 0xFF);
    EXPECT_EQ(device.AssembledFirmware(), expected);
    EXPECT_TRUE(log.Contains(" --- START FW UPDATE (2 Blocks) ----- "));
    EXPECT_EQ(prompts.progress[0]->options.maximum, 3);
    EXPECT_EQ(prompts.progress[0]->values, (std::vector<int>{1, 1, 2, 3, 2, 3}));
    EXPECT_EQ(prompts.progress[0]->messages[2], "Firmware Update Progress: 66  % ");
}

// A device that stops answering somewhere in the update.
struct SilenceCase {
    const char* name;
    size_t imageSize;
    uint16_t command;
    std::optional<uint16_t> fromBlock;
    FirmwareUpdateOutcome outcome;
    Commands heard;
    Blocks blocks;
    std::string text;
    const char* logLine;
};

void PrintTo(const SilenceCase& c, std::ostream* os) { *os << c.name; }

class FirmwareSilence : public FirmwareFixture, public ::testing::WithParamInterface<SilenceCase> {};

TEST_P(FirmwareSilence, StopsWhereTheDeviceFallsSilent)
{
    const SilenceCase& c = GetParam();
    SimDevice& device = AddDevice(7, 0x11);
    device.Faults().noAckCommand = c.command;
    device.Faults().noAckFromBlock = c.fromBlock;
    SelectDevice(device);
    prompts.fileAnswers.push_back(WriteImage(c.imageSize));

    EXPECT_EQ(UpdateFirmware(context, false), c.outcome);

    EXPECT_EQ(HeardCommands(), c.heard);
    EXPECT_EQ(HeardBlockNumbers(), c.blocks);
    ASSERT_EQ(prompts.boxes.size(), 1u);
    EXPECT_EQ(prompts.boxes[0].caption, STATUS);
    EXPECT_EQ(prompts.boxes[0].text, c.text);
    EXPECT_EQ(prompts.boxes[0].icon, Icon::Error);
    EXPECT_TRUE(prompts.progress[0]->hidden);
    EXPECT_EQ(prompts.progress[0]->values.back(), prompts.progress[0]->options.maximum);
    if (c.logLine) {
        EXPECT_TRUE(log.Contains(c.logLine));
    }
    EXPECT_EQ(registry.Count(), 1u) << "no discovery after a failed update";
}

Commands BootAndBlocks(int blocks, std::vector<uint16_t> after = {})
{
    Commands commands{RUN_BOOT};
    commands.insert(commands.end(), size_t(blocks), FIRMWARE_BLOCK);
    commands.insert(commands.end(), after.begin(), after.end());
    return commands;
}

Blocks Numbers(uint16_t count)
{
    Blocks numbers;
    for (uint16_t b = 0; b < count; ++b)
        numbers.push_back(b);
    return numbers;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FirmwareSilence,
    ::testing::Values(
        SilenceCase{"BootRequest", 64, RUN_BOOT, std::nullopt, FirmwareUpdateOutcome::BootNotAcknowledged,
                    {RUN_BOOT}, {},
                    "\n Firmware Update Aborted \n\n Reason: Device Not Responding. \n\n Please try again",
                    " NO ACK FOR BOOT REQUEST"},
        SilenceCase{"BlockTenOfTwenty", 640, FIRMWARE_BLOCK, 10, FirmwareUpdateOutcome::BlockNotAcknowledged,
                    BootAndBlocks(11), Numbers(11),
                    "\n Firmware Update Aborted \n\n Reason: Device not responding to FW Update. \n\n Please try "
                    "again \n\n " + LEFT_IN_BOOT_LOADER,
                    " block 9: ACK Received "},
        SilenceCase{"PartialBlock", 70, FIRMWARE_BLOCK, 2, FirmwareUpdateOutcome::LastBlockNotAcknowledged,
                    BootAndBlocks(3), Numbers(3), NOT_RESPONDING, nullptr},
        SilenceCase{"RunFirmware", 64, RUN_FIRMWARE, std::nullopt, FirmwareUpdateOutcome::RunFirmwareNotAcknowledged,
                    BootAndBlocks(2, {RUN_FIRMWARE}), Numbers(2), NOT_RESPONDING,
                    "SORRY NO ACK FOR UNCONFIGURED FW REQUEST"}),
    [](const ::testing::TestParamInfo<SilenceCase>& info) { return std::string(info.param.name); });

TEST_F(FirmwareUpdate, EmergencyWithNobodyAnsweringTheCountStillUpdatesThroughTheBroadcastAddress)
{
    SimDevice& device = AddDevice(9, 0x11);
    device.Faults().noAckCommand = MODULE_INFO_REQUEST;
    const std::string path = WriteImage(64);
    prompts.fileAnswers.push_back(path);

    EXPECT_EQ(UpdateFirmware(context, true), FirmwareUpdateOutcome::Updated);

    EXPECT_EQ(prompts.fileDialogs.size(), 1u);
    size_t updateFrames = 0;
    for (const auto& frame : bus.Heard()) {
        EXPECT_EQ(frame.destination, BROADCAST_ADDRESS);
        updateFrames += frame.command != MODULE_INFO_REQUEST;
    }
    EXPECT_EQ(updateFrames, 4u);
    EXPECT_EQ(device.AssembledFirmware(), ReadFile(path));
}

TEST_F(FirmwareUpdate, EmergencyWithTwoDevicesStopsAndLeavesTheRegistryEmpty)
{
    SelectDevice(AddDevice(3, 0x11));
    AddDevice(4, 0x12);
    prompts.fileAnswers.push_back(WriteImage(64));

    EXPECT_EQ(UpdateFirmware(context, true), FirmwareUpdateOutcome::TooManyDevices);

    ASSERT_EQ(prompts.boxes.size(), 1u);
    EXPECT_EQ(prompts.boxes[0].caption, " Firmware Update Confirm ");
    EXPECT_EQ(prompts.boxes[0].text,
              "\n More than 1 ORVANTA devices found \n\n Please ensure that only one device is connected and try "
              "again \n Quiting Firmware update");
    EXPECT_EQ(prompts.boxes[0].icon, Icon::Exclamation);
    EXPECT_TRUE(prompts.fileDialogs.empty());
    EXPECT_EQ(HeardCommands(), (Commands{MODULE_INFO_REQUEST}));
    EXPECT_EQ(registry.Count(), 0u);
    EXPECT_EQ(view.resets, 1);
}

// The menu's emergency update asks once the count has found at most one
// device, before the file dialog; No sends nothing more.
struct QuestionCase {
    const char* name;
    bool answersCount;
    Answer answer;
    FirmwareUpdateOutcome outcome;
};

void PrintTo(const QuestionCase& c, std::ostream* os) { *os << c.name; }

class EmergencyQuestionAsked : public FirmwareFixture, public ::testing::WithParamInterface<QuestionCase> {};

TEST_P(EmergencyQuestionAsked, BeforeAnythingIsSentToTheDeviceOnTheBus)
{
    const QuestionCase& c = GetParam();
    SimDevice& device = AddDevice(9, 0x11);
    if (!c.answersCount)
        device.Faults().noAckCommand = MODULE_INFO_REQUEST;
    const std::string path = WriteImage(64);
    prompts.boxAnswers = {c.answer};
    prompts.fileAnswers.push_back(path);

    EXPECT_EQ(UpdateFirmware(context, true, nullptr, EmergencyQuestion::Ask), c.outcome);

    ASSERT_FALSE(prompts.boxes.empty());
    EXPECT_EQ(prompts.boxes[0].caption, " Firmware Update Confirm ");
    EXPECT_EQ(prompts.boxes[0].text,
              std::string(c.answersCount ? "Replace the firmware of the one device on the bus"
                                         : "No device answered the count.\nReplace the firmware of the device on "
                                           "the bus") +
                  " (emergency update, address 255)?\nThe firmware file is chosen next.");
    EXPECT_EQ(prompts.boxes[0].buttons, Buttons::YesNo);
    EXPECT_TRUE(prompts.boxes[0].defaultNo);
    if (c.answer == Answer::No) {
        EXPECT_EQ(prompts.boxes.size(), 1u);
        EXPECT_TRUE(prompts.fileDialogs.empty());
        EXPECT_EQ(HeardCommands(), (Commands{MODULE_INFO_REQUEST}));
        EXPECT_EQ(device.Mode(), SimDeviceMode::Firmware);
    } else {
        EXPECT_EQ(prompts.fileDialogs.size(), 1u);
        EXPECT_EQ(device.AssembledFirmware(), ReadFile(path));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, EmergencyQuestionAsked,
    ::testing::Values(QuestionCase{"OneAnswersNo", true, Answer::No, FirmwareUpdateOutcome::Declined},
                      QuestionCase{"NoneAnswersNo", false, Answer::No, FirmwareUpdateOutcome::Declined},
                      QuestionCase{"OneAnswersYes", true, Answer::Yes, FirmwareUpdateOutcome::Updated}),
    [](const ::testing::TestParamInfo<QuestionCase>& info) { return std::string(info.param.name); });

TEST_F(FirmwareUpdate, EmergencyWithTwoDevicesAsksNothingMore)
{
    AddDevice(3, 0x11);
    AddDevice(4, 0x12);

    EXPECT_EQ(UpdateFirmware(context, true, nullptr, EmergencyQuestion::Ask), FirmwareUpdateOutcome::TooManyDevices);

    EXPECT_EQ(prompts.Captions(), std::vector<std::string>{" Firmware Update Confirm "});
    EXPECT_EQ(prompts.boxes[0].buttons, Buttons::Ok);
}

TEST_F(FirmwareUpdate, CancelledFileDialogSendsNothing)
{
    SelectDevice(AddDevice(7, 0x11));

    EXPECT_EQ(UpdateFirmware(context, false), FirmwareUpdateOutcome::NoFile);

    EXPECT_EQ(prompts.fileDialogs.size(), 1u);
    EXPECT_TRUE(bus.Heard().empty());
    EXPECT_TRUE(prompts.progress.empty());
    EXPECT_TRUE(prompts.boxes.empty());
}

struct RefusedFile {
    const char* name;
    std::string (*make)(FirmwareFixture&);
    const char* reason;
};

void PrintTo(const RefusedFile& c, std::ostream* os) { *os << c.name; }

class FirmwareFileRefused : public FirmwareFixture, public ::testing::WithParamInterface<RefusedFile> {};

TEST_P(FirmwareFileRefused, BeforeAnythingIsSent)
{
    SimDevice& device = AddDevice(7, 0x11);
    SelectDevice(device);
    prompts.fileAnswers.push_back(GetParam().make(*this));

    EXPECT_EQ(UpdateFirmware(context, false), FirmwareUpdateOutcome::FileRefused);

    EXPECT_TRUE(bus.Heard().empty());
    EXPECT_TRUE(prompts.progress.empty());
    ASSERT_EQ(prompts.boxes.size(), 1u);
    EXPECT_EQ(prompts.boxes[0].caption, STATUS);
    EXPECT_EQ(prompts.boxes[0].icon, Icon::Error);
    EXPECT_NE(prompts.boxes[0].text.find(GetParam().reason), std::string::npos) << prompts.boxes[0].text;
    EXPECT_EQ(device.Mode(), SimDeviceMode::Firmware);
}

INSTANTIATE_TEST_SUITE_P(
    Files, FirmwareFileRefused,
    ::testing::Values(
        RefusedFile{"Empty", [](FirmwareFixture& f) { return f.WriteFile("empty.bin", {}); }, "file is empty"},
        RefusedFile{"OneByteOverTheLastBlockNumber",
                    [](FirmwareFixture& f) { return f.SparseFile("big.bin", MAX_FIRMWARE_BYTES + 1); },
                    "larger than 2097120 bytes"},
        RefusedFile{"SizeUnknown", [](FirmwareFixture& f) { return f.scratch.string(); }, "cannot be read"}),
    [](const ::testing::TestParamInfo<RefusedFile>& info) { return std::string(info.param.name); });

TEST_F(FirmwareUpdate, TheLargestImageFillsEveryBlockNumber)
{
    FirmwareImage image;
    ASSERT_EQ(LoadFirmwareImage(SparseFile("max.bin", MAX_FIRMWARE_BYTES), image), FirmwareFileStatus::Ok);
    const FirmwareBlockCounts counts = image.Counts();
    EXPECT_EQ(counts.full, 65535);
    EXPECT_EQ(counts.rest, 0);
    EXPECT_EQ(counts.total, 65535);
}

}  // namespace
}  // namespace orv::test
