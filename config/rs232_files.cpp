#include "config/rs232_files.h"

#include <vector>

#include "config/config_file_dialogs.h"
#include "config/rs232_build.h"

namespace orv {

namespace {
const char* const DEFAULT_FILE = "ORV_RS232_Config.bin";
}  // namespace

bool ExportRS232Config(const RS232Config& config, Services& services)
{
    const std::optional<std::string> path =
        AskConfigFile(services.prompts, true, "Save RS323 Configuration as ... ", DEFAULT_FILE);
    if (!path)
        return false;
    const auto image = BuildRS232Image(config, std::nullopt, true, services);
    if (!image)
        return false;
    return WriteConfigFile(services.prompts, services.log, *path, image->buffer,
                           " SUCCESS \n RS232 Configuration has been saved Succesfully");
}

std::optional<RS232Config> ImportRS232Config(Prompts& prompts)
{
    const std::optional<std::string> path =
        AskConfigFile(prompts, false, "Load RS232 Configuration from .... ", DEFAULT_FILE);
    if (!path)
        return std::nullopt;
    const std::optional<std::vector<uint8_t>> buffer = LoadConfigFileOrWarn(prompts, *path, ConfigKind::RS232);
    if (!buffer)
        return std::nullopt;
    std::optional<RS232Config> config = ParseRS232Image(*buffer);
    if (!config)
        ShowCorruptConfigFile(prompts);
    return config;
}

void ShowRS232Loaded(Prompts& prompts)
{
    prompts.Message(" Config Loaded ", " SUCCESS \n RS232 Configuration has been Loaded Succesfully", Buttons::Ok,
                    Icon::Information);
}

}  // namespace orv
