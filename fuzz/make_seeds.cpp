// Writes the seed corpora of the fuzz targets, one folder per target under
// the folder given, every seed made by the project's own encoders: frames of
// the command set, the demo bus's configuration images in both forms, files
// as the tool exports them. Run it again after a layout changes.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "config/config_kind.h"
#include "link/commands.h"
#include "link/frame_codec.h"
#include "model/catalogue.h"
#include "model/input8_image.h"
#include "model/rs232_image.h"
#include "services/settings_text.h"
#include "sim/demo_images.h"
#include "wholebus/backup_folder.h"

namespace {

using Bytes = std::vector<uint8_t>;

std::filesystem::path root;

void Seed(const std::string& target, const std::string& name, const Bytes& bytes)
{
    const std::filesystem::path folder = root / target;
    std::filesystem::create_directories(folder);
    std::ofstream(folder / name, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}


template <size_t N>
Bytes ToBytes(const std::array<uint8_t, N>& array)
{
    return Bytes(array.begin(), array.end());
}

Bytes Frame(uint8_t destination, uint8_t source, uint16_t command, const Bytes& payload)
{
    uint8_t frame[orv::MAX_FRAME];
    uint8_t body = 0;
    orv::EncodeMessage(destination, source, command, payload.data(), uint8_t(payload.size()), frame, body);
    return Bytes(frame, frame + body + 2);
}

Bytes Join(std::initializer_list<Bytes> parts)
{
    Bytes all;
    for (const Bytes& part : parts)
        all.insert(all.end(), part.begin(), part.end());
    return all;
}

orv::ModuleInfo Info(const char* name)
{
    orv::ModuleInfo info;
    info.serial = {0x78, 0x56, 0x34, 0x12};
    info.name = name;
    info.firmwareMajor = 1;
    info.firmwareMinor = 0x20;
    info.configured = 1;
    return info;
}

orv::ConfigBlock Block(const Bytes& image, uint16_t number)
{
    orv::ConfigBlock block;
    block.number = number;
    for (size_t i = 0; i < block.data.size() && number * 32u + i < image.size(); ++i)
        block.data[i] = image[number * 32u + i];
    return block;
}

// The replies target reads destination, source, command (low byte first) and the payload.
Bytes ReplyInput(uint8_t source, uint16_t command, const Bytes& payload)
{
    return Join({{0, source, uint8_t(command), uint8_t(command >> 8)}, payload});
}

Bytes TextBytes(const std::string& text)
{
    return Bytes(text.begin(), text.end());
}

std::string Hex(const Bytes& bytes)
{
    std::string text;
    char digits[4];
    for (uint8_t byte : bytes) {
        std::snprintf(digits, sizeof digits, "%02X ", byte);
        text += digits;
    }
    text.back() = '\n';
    return text;
}

void LinkSeeds()
{
    const Bytes request = Frame(orv::BROADCAST_ADDRESS, orv::HOST_ADDRESS, orv::MODULE_INFO_REQUEST, Bytes{0});
    const Bytes relayInfo = ToBytes(orv::EncodeModuleInfo(Info("ORV-Relay")));
    const Bytes rs232Info = ToBytes(orv::EncodeModuleInfo(Info("ORV-RS232")));
    const Bytes block = ToBytes(orv::EncodeConfigBlock(Block(orv::DemoInput8Image(), 1)));
    const Bytes relayFrame = Frame(0, 9, orv::MODULE_INFO, relayInfo);
    const Bytes rs232Frame = Frame(0, 5, orv::MODULE_INFO, rs232Info);
    const Bytes blockFrame = Frame(0, 3, orv::CONFIG_BLOCK_DATA, block);
    const Bytes blockRead = Frame(3, 0, orv::CONFIG_BLOCK_READ, ToBytes(orv::BlockNumberPayload(14)));
    const Bytes ack{orv::ACK_BYTE};
    const Bytes cut(relayFrame.begin(), relayFrame.begin() + 12);  // cut by the start of the next frame

    Seed("receiver", "ack_then_two_module_infos", Join({ack, relayFrame, rs232Frame}));
    Seed("receiver", "stray_bytes_ack_block_data", Join({{0x41, 0x7F, 0x8E}, ack, blockFrame}));
    Seed("receiver", "cut_frame_then_reply", Join({cut, relayFrame, ack}));
    Seed("receiver", "request_and_block_read", Join({request, blockRead}));

    Seed("orvctl_decode", "broadcast_discovery",
         TextBytes(Hex(request) + Hex(ack) + Hex(relayFrame) + Hex(rs232Frame) + Hex(Join({cut, {0x12, 0x34}}))));
    Seed("orvctl_decode", "config_read", TextBytes(Hex(blockRead) + "00\n" + Hex(blockFrame)));

    Seed("replies", "module_info_relay", ReplyInput(9, orv::MODULE_INFO, relayInfo));
    Seed("replies", "module_info_rs232", ReplyInput(5, orv::MODULE_INFO, rs232Info));
    Seed("replies", "config_block_data", ReplyInput(3, orv::CONFIG_BLOCK_DATA, block));
    Seed("replies", "config_block_data_short", ReplyInput(3, orv::CONFIG_BLOCK_DATA, Bytes(block.begin(), block.end() - 1)));

    // The frame round trip reads destination, command (32 bits), payload length, the bit to flip and the payload.
    Seed("frame_roundtrip", "module_info_request", Join({{255, 4, 0, 0, 0, 1, 3, 2}, {0}}));
    Seed("frame_roundtrip", "config_block_write", Join({{3, 6, 0, 0, 0, 34, 40, 6}, block}));
    Seed("frame_roundtrip", "full_payload", Join({{0, 8, 1, 0, 0, 64, 79, 0}, block, block}));
}

void ImageSeeds()
{
    const Bytes input8 = orv::DemoInput8Image();
    const Bytes rs232 = orv::DemoRS232Image();
    orv::ReadOutcome read;
    read.result = orv::ReadResult::Intact;
    read.buffer = rs232;
    read.buffer.resize(orv::RS232_IMAGE_SIZE, 0);
    read.imageLength = rs232.size();
    const Bytes rs232File = orv::FileFormOfRead(orv::ConfigKind::RS232, read);
    Bytes input8File = input8;
    input8File[451] = input8File[452] = 0;

    Seed("input8_image", "demo_device_form", Join({input8, {5, orv::TYPE_RS232, 7, orv::TYPE_LED4PD}}));
    Seed("input8_image", "demo_file_form", input8File);
    Seed("rs232_image", "demo_device_form", rs232);
    Seed("rs232_image", "demo_file_form", rs232File);

    Seed("config_files", "input8_demo", input8File);
    Seed("config_files", "input8_twice", Join({input8File, input8File}));
    Seed("config_files", "rs232_demo", rs232File);
    Seed("config_files", "rs232_short", Bytes(rs232File.begin(), rs232File.begin() + 4000));

    Seed("firmware_file", "two_blocks_and_a_rest", Bytes(input8.begin(), input8.begin() + 70));
    Seed("firmware_file", "one_block", Bytes(rs232.begin(), rs232.begin() + 32));

    orv::DeviceRecord hall;
    hall.name = "ORV-Input8";
    hall.serialNumber = {0x31, 0x10, 0x00, 0x21};
    hall.address = 3;
    hall.firmwareMajor = 1;
    hall.firmwareMinor = 0x20;
    hall.configured = true;
    orv::DeviceRecord relay = hall;
    relay.name = "ORV-Relay";
    relay.address = 9;
    const std::string manifest = orv::BackupManifestText({{hall, "input8-21001031.bin", {}}, {relay, std::nullopt, {}}});
    Seed("backup_manifest", "two_devices", TextBytes(manifest));
}

// The settings file as the program keeps it, one with every escape, and the
// three bytes the toolkit stopped the program on.
void SettingsSeeds()
{
    const orv::SettingsValues kept = {{"/Format", "1"},
                                      {"/Interface/Port", "rfc2217://bench-server:2001"},
                                      {"/Windows/Frame/X", "-8"},
                                      {"/Windows/Frame/Y", "0"},
                                      {"/Windows/Frame/Width", "1100"},
                                      {"/Windows/Frame/Height", "750"},
                                      {"/Windows/Frame/Maximised", "0"},
                                      {"/Windows/LogWindow/Shown", "1"},
                                      {"/Folders/Firmware", "/home/technician/firmware"}};
    Seed("settings_text", "kept", TextBytes(orv::SettingsTextOf(kept)));
    const orv::SettingsValues escaped = {{"/Format", "1"},
                                         {"/Folders/Input8", " C:\\Orvanta\t\"quoted\" Grüße\r\n"},
                                         {"/Folders/RS232", "/srv/\"x\"  "}};
    Seed("settings_text", "escaped", TextBytes(orv::SettingsTextOf(escaped)));
    Seed("settings_text", "no_name", TextBytes("=x"));
}

// The RS232 round trip reads a configuration field by field: the name, the
// rate, the number of rows, then per row its type, text, destination, action
// and parameters, and last whether a row is left out.
void ConfigSeeds()
{
    const auto text = [](const std::string& s) { return Join({{uint8_t(s.size())}, TextBytes(s)}); };
    Seed("rs232_roundtrip", "ascii_and_hex_rows",
         Join({text("Gate"), {3, 2},
               {1}, text("OPEN"), {9, orv::ACTION_RELAY_ENERGIZE, 2, 0},
               {0x10}, {3, 0x02, 0, 0xFE, 1, 0xA1}, {7, orv::ACTION_SET_LED_AUTOMODE, 1, 0}, text("100"), text("5"),
               {0}}));
    Seed("rs232_roundtrip", "command_row_left_out",
         Join({text("Hall"), {9, 2}, {1}, text("AT"), {100, 0}, text("PWR ON"), {1}, text("B"), {7, 0}, text(""), {1, 0}}));
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: fuzz_seeds CORPUS_FOLDER\n");
        return 2;
    }
    root = argv[1];
    LinkSeeds();
    ImageSeeds();
    ConfigSeeds();
    SettingsSeeds();
    return 0;
}
