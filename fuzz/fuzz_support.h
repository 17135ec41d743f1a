// What the fuzz targets share: a reader that takes typed values from the
// fuzzer's bytes, a check that ends the run loudly, and a scratch file for the
// readers that take a path.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "services/prompts.h"

// The entry point libFuzzer calls, and the corpus replay too.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace orv::fuzz {

// A broken property is a finding like a crash: libFuzzer keeps the input.
#define FUZZ_CHECK(condition)                                                                    \
    do {                                                                                         \
        if (!(condition)) {                                                                      \
            std::fprintf(stderr, "%s:%d: property broken: %s\n", __FILE__, __LINE__, #condition); \
            std::abort();                                                                        \
        }                                                                                        \
    } while (false)

// True when text sets nothing on a terminal: no control character but line
// breaks, neither C0 nor DEL nor (UTF-8) C1.
bool TerminalSafe(const std::string& text);

// Takes values from the front of the input; past its end every value is 0.
class InputReader {
public:
    InputReader(const uint8_t* data, size_t size) : data_(data), size_(size) {}

    bool Empty() const { return pos_ >= size_; }
    uint8_t Byte() { return pos_ < size_ ? data_[pos_++] : 0; }
    uint16_t Word() { return uint16_t(Byte() | Byte() << 8); }
    uint32_t Number(uint32_t limit) { return limit == 0 ? 0 : Word() % limit; }
    std::vector<uint8_t> Bytes(size_t count)
    {
        std::vector<uint8_t> bytes;
        while (bytes.size() < count && !Empty())
            bytes.push_back(Byte());
        return bytes;
    }
    // A length byte, then at most that many bytes (and at most limit) as text.
    std::string Text(size_t limit)
    {
        const size_t length = Byte() % (limit + 1);
        const std::vector<uint8_t> bytes = Bytes(length);
        return std::string(bytes.begin(), bytes.end());
    }
    std::vector<uint8_t> Rest() { return Bytes(size_ - pos_); }

private:
    const uint8_t* data_;
    size_t size_;
    size_t pos_ = 0;
};

// Prompts that answer every box with its first button, cancel choices, give
// filePath to file dialogs and count the boxes.
class QuietPrompts final : public Prompts {
public:
    std::optional<std::string> filePath;
    int boxes = 0;

    Answer MessageBox(const MessageBoxOptions& options) override;
    std::unique_ptr<ProgressDialog> StartProgress(const ProgressOptions& options) override;
    std::optional<std::string> FileDialog(const FileDialogOptions&) override { return filePath; }
    std::optional<int> SingleChoice(const ChoiceOptions&) override { return std::nullopt; }
    void SetStatusText(const std::string&, int) override {}
    void PumpEvents() override {}
};

// A file named for the target in the temporary folder, holding the bytes
// given; removed when the holder goes.
class ScratchFile {
public:
    ScratchFile(const std::string& target, const uint8_t* data, size_t size);
    ~ScratchFile();
    ScratchFile(const ScratchFile&) = delete;
    ScratchFile& operator=(const ScratchFile&) = delete;

    const std::string& Path() const { return path_; }

private:
    std::string path_;
};

}  // namespace orv::fuzz
