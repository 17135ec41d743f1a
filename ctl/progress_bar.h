// A progress dialog of the core drawn as a bar on standard error: the title,
// the bar and the percentage, or, while a discovery counts its devices, the
// addresses done and the devices found.
#pragma once

#include <functional>
#include <string>

#include "services/prompts.h"

namespace orv {

class ErrorLine;

// The number of devices found so far.
using FoundCounter = std::function<size_t()>;
// Whether the user has asked to stop: the dialog's Cancel.
using StopAsked = std::function<bool()>;

class ProgressBar final : public ProgressDialog {
public:
    // show false: a dialog that draws nothing. found: set for a discovery.
    ProgressBar(ErrorLine& line, const ProgressOptions& options, bool show, FoundCounter found = {},
                StopAsked stopAsked = {});
    ~ProgressBar() override { Hide(); }

    bool Update(int value, const std::optional<std::string>& message = std::nullopt) override;
    void Hide() override;

private:
    ErrorLine& line_;
    std::string title_;
    int maximum_;
    bool show_;
    FoundCounter found_;
    StopAsked stopAsked_;
    bool hidden_ = false;
    std::string shown_;
};

}  // namespace orv
