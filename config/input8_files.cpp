#include "config/input8_files.h"

#include <fstream>
#include <vector>

#include "config/input8_image.h"
#include "config/safe_file_write.h"

namespace orv {

namespace {

const char* const DEFAULT_FILE = "ORV_Input8_Config.bin";
const char* const WILDCARD = "Binary files (*.bin)|*.bin";

// The image in a file fit to load: its length a whole, non-zero multiple of
// the image size, the first image read completely.
std::optional<std::vector<uint8_t>> ReadImageFile(const std::string& path)
{
    std::ifstream file(path, std::ios::binary | std::ios::ate);
    if (!file)
        return std::nullopt;
    const std::streamoff length = file.tellg();
    if (length <= 0 || length % std::streamoff(INPUT8_IMAGE_SIZE) != 0)
        return std::nullopt;
    std::vector<uint8_t> image(INPUT8_IMAGE_SIZE, 0);
    file.seekg(0);
    if (!file.read(reinterpret_cast<char*>(image.data()), std::streamsize(image.size())))
        return std::nullopt;
    return image;
}

}  // namespace

bool ExportInput8Config(const Input8Config& config, Prompts& prompts)
{
    FileDialogOptions options;
    options.save = true;
    options.overwritePrompt = true;
    options.message = "Save Input8 Configuration as ... ";
    options.defaultFile = DEFAULT_FILE;
    options.wildcard = WILDCARD;
    const std::optional<std::string> path = prompts.FileDialog(options);
    if (!path)
        return false;

    const std::vector<uint8_t> image = EncodeInput8Image(config, ImageForm::File);
    const FileWriteResult result = WriteFileSafely(*path, image.data(), image.size());
    if (!result.written) {
        ShowFileWriteError(prompts, *path, result.reason);
        return false;
    }
    prompts.Message(" Config Saved ", " SUCCESS \n Input8 Configuration has been saved Succesfully", Buttons::Ok,
                    Icon::Information);
    return true;
}

std::optional<Input8Config> ImportInput8Config(Prompts& prompts)
{
    FileDialogOptions options;
    options.mustExist = true;
    options.message = "Load Input8 Configuration from .... ";
    options.defaultFile = DEFAULT_FILE;
    options.wildcard = WILDCARD;
    const std::optional<std::string> path = prompts.FileDialog(options);
    if (!path)
        return std::nullopt;

    const std::optional<std::vector<uint8_t>> image = ReadImageFile(*path);
    if (!image) {
        prompts.Message("Error Loading Data ", "Corrupt Data / Incorrect File Loaded.\n Try Again", Buttons::Ok,
                        Icon::Exclamation);
        return std::nullopt;
    }
    return DecodeInput8Image(image->data());
}

void ShowInput8Loaded(Prompts& prompts)
{
    prompts.Message(" Config Loaded ", " SUCCESS \n Input8 Configuration has been Loaded Succesfully", Buttons::Ok,
                    Icon::Information);
}

}  // namespace orv
