#include "config/input8_files.h"

#include <vector>

#include "config/config_file_dialogs.h"
#include "model/input8_image.h"

namespace orv {

namespace {
const char* const DEFAULT_FILE = "ORV_Input8_Config.bin";
}  // namespace

bool ExportInput8Config(const Input8Config& config, Prompts& prompts, LogSink& log)
{
    const std::optional<std::string> path =
        AskConfigFile(prompts, true, "Save Input8 Configuration as ... ", DEFAULT_FILE);
    if (!path)
        return false;
    return WriteConfigFile(prompts, log, *path, EncodeInput8Image(config, ImageForm::File),
                           " SUCCESS \n Input8 Configuration has been saved Succesfully");
}

std::optional<Input8Config> ImportInput8Config(Prompts& prompts)
{
    const std::optional<std::string> path =
        AskConfigFile(prompts, false, "Load Input8 Configuration from .... ", DEFAULT_FILE);
    if (!path)
        return std::nullopt;
    const std::optional<std::vector<uint8_t>> image = LoadConfigFileOrWarn(prompts, *path, ConfigKind::Input8);
    if (!image)
        return std::nullopt;
    return DecodeInput8Image(image->data());
}

void ShowInput8Loaded(Prompts& prompts)
{
    prompts.Message(" Config Loaded ", " SUCCESS \n Input8 Configuration has been Loaded Succesfully", Buttons::Ok,
                    Icon::Information);
}

}  // namespace orv
