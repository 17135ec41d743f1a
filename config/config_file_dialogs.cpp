#include "config/config_file_dialogs.h"

#include "config/safe_file_write.h"

namespace orv {

std::optional<std::string> AskConfigFile(Prompts& prompts, bool save, const std::string& message,
                                         const std::string& defaultFile)
{
    FileDialogOptions options;
    options.save = save;
    options.overwritePrompt = save;
    options.mustExist = !save;
    options.message = message;
    options.defaultFile = defaultFile;
    options.wildcard = "Binary files (*.bin)|*.bin";
    return prompts.FileDialog(options);
}

bool WriteConfigFile(Prompts& prompts, LogSink& log, const std::string& path, std::span<const uint8_t> bytes,
                     const std::string& successText, FolderFlush flushFolder)
{
    const FileWriteResult result = WriteFileSafely(path, bytes.data(), bytes.size(), flushFolder);
    if (!result.written) {
        ShowFileWriteError(prompts, path, result.reason);
        return false;
    }
    if (!result.warning.empty())
        log.Message(" Warning: " + result.warning + " ");
    prompts.Message(" Config Saved ", successText, Buttons::Ok, Icon::Information);
    return true;
}

std::optional<std::vector<uint8_t>> LoadConfigFileOrWarn(Prompts& prompts, const std::string& path, ConfigKind kind)
{
    ConfigFile file = LoadConfigFile(path, kind);
    if (file.status != ConfigFileStatus::Ok) {
        ShowCorruptConfigFile(prompts);
        return std::nullopt;
    }
    return std::move(file.image);
}

void ShowCorruptConfigFile(Prompts& prompts)
{
    prompts.Message("Error Loading Data ", "Corrupt Data / Incorrect File Loaded.\n Try Again", Buttons::Ok,
                    Icon::Exclamation);
}

}  // namespace orv
