#include "fuzz/fuzz_support.h"

#include <filesystem>
#include <fstream>
#include <random>

namespace orv::fuzz {

namespace {
class SilentProgress final : public ProgressDialog {
public:
    bool Update(int, const std::optional<std::string>&) override { return true; }
    void Hide() override {}
};
}  // namespace

Answer QuietPrompts::MessageBox(const MessageBoxOptions& options)
{
    ++boxes;
    return options.buttons == Buttons::YesNo ? Answer::Yes : Answer::Ok;
}

std::unique_ptr<ProgressDialog> QuietPrompts::StartProgress(const ProgressOptions&)
{
    return std::make_unique<SilentProgress>();
}

bool TerminalSafe(const std::string& text)
{
    for (size_t i = 0; i < text.size(); ++i) {
        const auto byte = static_cast<unsigned char>(text[i]);
        const auto next = i + 1 < text.size() ? static_cast<unsigned char>(text[i + 1]) : 0;
        if ((byte < 0x20 && byte != '\n') || byte == 0x7F || (byte == 0xC2 && next >= 0x80 && next <= 0x9F))
            return false;
    }
    return true;
}

namespace {
// One name per run, so that runs of one target in several build folders at once keep to their own files.
std::string RunTag()
{
    static const std::string tag = std::to_string(std::random_device{}());
    return tag;
}
}  // namespace

ScratchFile::ScratchFile(const std::string& target, const uint8_t* data, size_t size)
    : path_((std::filesystem::temp_directory_path() / ("orv_fuzz_" + target + "_" + RunTag() + ".bin")).string())
{
    std::ofstream(path_, std::ios::binary | std::ios::trunc).write(reinterpret_cast<const char*>(data),
                                                                     std::streamsize(size));
}

ScratchFile::~ScratchFile()
{
    std::error_code ignored;
    std::filesystem::remove(path_, ignored);
}

}  // namespace orv::fuzz
