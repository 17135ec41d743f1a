#include "sim/demo_images.h"

#include <cstring>

#include "config/image_crc.h"
#include "config/input8_image.h"
#include "network/catalogue.h"

namespace orv {

namespace {

// Where the demo bus puts the devices the Input8 rows act on.
constexpr uint8_t DEMO_RS232_ADDRESS = 5;
constexpr uint8_t DEMO_LED4PD_ADDRESS = 7;
constexpr uint8_t DEMO_RELAY_ADDRESS = 9;
constexpr size_t RS232_EMPTY_IMAGE_SIZE = 48;
constexpr size_t NAME_OFFSET = 2;
constexpr size_t RS232_BAUD_OFFSET = 34;
constexpr size_t RS232_STRING_TABLE_OFFSET_FIELD = 44;

void PutWord(std::vector<uint8_t>& image, size_t offset, uint32_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        image[offset + size_t(i)] = uint8_t(value >> (8 * i));
}

void PutName(std::vector<uint8_t>& image, const char* name)
{
    std::memcpy(image.data() + NAME_OFFSET, name, std::strlen(name));
}

}  // namespace

std::vector<uint8_t> DemoInput8Image()
{
    Input8Config config;
    config.name = "Hall Switches";
    // Input 1 closed: LED 1 to 200 and relay 1 on; opened: relay 1 off. Input 2
    // changed: the RS232 sends string 1. Input 3 opened: the LEDs run preset 3.
    config.rows[0] = {0, ChangeType::Close, DEMO_LED4PD_ADDRESS, ACTION_SET_1_LED_LEVEL,
                      EncodeParameters(ACTION_SET_1_LED_LEVEL, {{1, 200}, {}, ""})};
    config.rows[1] = {0, ChangeType::Close, DEMO_RELAY_ADDRESS, ACTION_RELAY_ENERGIZE,
                      EncodeParameters(ACTION_RELAY_ENERGIZE, {{1}, {}, ""})};
    config.rows[2] = {0, ChangeType::Open, DEMO_RELAY_ADDRESS, ACTION_RELAY_DEENERGIZE,
                      EncodeParameters(ACTION_RELAY_DEENERGIZE, {{1}, {}, ""})};
    config.rows[3] = {1, ChangeType::Change, DEMO_RS232_ADDRESS, ACTION_SEND_STRING,
                      EncodeParameters(ACTION_SEND_STRING, {{1}, {}, ""})};
    config.rows[4] = {2, ChangeType::Open, DEMO_LED4PD_ADDRESS, ACTION_SET_LED_AUTOMODE,
                      EncodeParameters(ACTION_SET_LED_AUTOMODE, {{3}, {"20", "150"}, ""})};
    return EncodeInput8Image(config, ImageForm::Device);
}

std::vector<uint8_t> DemoRS232Image()
{
    std::vector<uint8_t> image(RS232_EMPTY_IMAGE_SIZE, 0);
    PutWord(image, 0, 1, 2);
    PutName(image, "Projector Gateway");
    PutWord(image, RS232_BAUD_OFFSET, 9600, 4);
    // No rows and no strings: the string table starts right after the header.
    PutWord(image, RS232_STRING_TABLE_OFFSET_FIELD, 46, 2);
    StoreImageCrc(image.data(), image.size());
    return image;
}

}  // namespace orv
