#include "config/rs232_files.h"

#include <algorithm>
#include <fstream>
#include <vector>

#include "config/rs232_image.h"
#include "config/safe_file_write.h"

namespace orv {

namespace {

const char* const DEFAULT_FILE = "ORV_RS232_Config.bin";
const char* const WILDCARD = "Binary files (*.bin)|*.bin";

// The first RS232_IMAGE_SIZE bytes of a file fit to load, zero after its end:
// its length a non-zero multiple of 4.
std::optional<std::vector<uint8_t>> ReadImageFile(const std::string& path)
{
    std::ifstream file(path, std::ios::binary | std::ios::ate);
    if (!file)
        return std::nullopt;
    const std::streamoff length = file.tellg();
    if (length <= 0 || length % 4 != 0)
        return std::nullopt;
    std::vector<uint8_t> buffer(RS232_IMAGE_SIZE, 0);
    const std::streamsize wanted = std::min<std::streamsize>(length, std::streamsize(buffer.size()));
    file.seekg(0);
    if (!file.read(reinterpret_cast<char*>(buffer.data()), wanted))
        return std::nullopt;
    return buffer;
}

}  // namespace

bool ExportRS232Config(const RS232Config& config, Services& services)
{
    FileDialogOptions options;
    options.save = true;
    options.overwritePrompt = true;
    options.message = "Save RS323 Configuration as ... ";
    options.defaultFile = DEFAULT_FILE;
    options.wildcard = WILDCARD;
    const std::optional<std::string> path = services.prompts.FileDialog(options);
    if (!path)
        return false;

    const auto image = BuildRS232Image(config, std::nullopt, true, services);
    if (!image)
        return false;
    const FileWriteResult result = WriteFileSafely(*path, image->buffer.data(), image->buffer.size());
    if (!result.written) {
        ShowFileWriteError(services.prompts, *path, result.reason);
        return false;
    }
    services.prompts.Message(" Config Saved ", " SUCCESS \n RS232 Configuration has been saved Succesfully",
                             Buttons::Ok, Icon::Information);
    return true;
}

std::optional<RS232Config> ImportRS232Config(Prompts& prompts)
{
    FileDialogOptions options;
    options.mustExist = true;
    options.message = "Load RS232 Configuration from .... ";
    options.defaultFile = DEFAULT_FILE;
    options.wildcard = WILDCARD;
    const std::optional<std::string> path = prompts.FileDialog(options);
    if (!path)
        return std::nullopt;

    const auto buffer = ReadImageFile(*path);
    std::optional<RS232Config> config;
    if (buffer)
        config = ParseRS232Image(*buffer);
    if (!config)
        prompts.Message("Error Loading Data ", "Corrupt Data / Incorrect File Loaded.\n Try Again", Buttons::Ok,
                        Icon::Exclamation);
    return config;
}

void ShowRS232Loaded(Prompts& prompts)
{
    prompts.Message(" Config Loaded ", " SUCCESS \n RS232 Configuration has been Loaded Succesfully", Buttons::Ok,
                    Icon::Information);
}

}  // namespace orv
