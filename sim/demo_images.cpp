#include "sim/demo_images.h"

#include "model/catalogue.h"
#include "model/image_crc.h"
#include "model/input8_image.h"
#include "model/rs232_image.h"
#include "services/log.h"

namespace orv {

namespace {

// Where the demo bus puts the devices the Input8 and RS232 rows act on.
constexpr uint8_t DEMO_RS232_ADDRESS = 5;
constexpr uint8_t DEMO_LED4PD_ADDRESS = 7;
constexpr uint8_t DEMO_RELAY_ADDRESS = 9;

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
    RS232Config config;
    config.name = "Projector Gateway";
    config.baudRate = 9600;
    // "PWR ON" arriving switches relay 1 on; the Hex string (STX L1 ETX) sets
    // LED 1 to 200; "LAMP?" goes to every device as the command STATUS.
    RS232Row power;
    power.text = "PWR ON";
    power.destination = DEMO_RELAY_ADDRESS;
    power.action = ACTION_RELAY_ENERGIZE;
    power.spinValues = {1};
    RS232Row light;
    light.text = "02 4C 31 03";
    light.type = StringType::Hex;
    light.destination = DEMO_LED4PD_ADDRESS;
    light.action = ACTION_SET_1_LED_LEVEL;
    light.spinValues = {1, 200};
    RS232Row lamp;
    lamp.text = "LAMP?";
    lamp.destination = DEST_BROADCAST;
    lamp.command = "STATUS";
    config.rows = {power, light, lamp};

    NullLog log;
    const auto built = BuildRS232ImageOrRefusal(config, std::nullopt, log).image;
    if (!built)
        return {};
    std::vector<uint8_t> image(built->buffer.begin(), built->buffer.begin() + long(built->length));
    StoreImageCrc(image.data(), image.size());
    return image;
}

}  // namespace orv
