#include "ctl/progress_bar.h"

#include <algorithm>

#include "ctl/terminal_prompts.h"
#include "services/log.h"

namespace orv {

namespace {
constexpr int BAR_WIDTH = 30;
}  // namespace

ProgressBar::ProgressBar(ErrorLine& line, const ProgressOptions& options, bool show, FoundCounter found,
                         StopAsked stopAsked)
    : line_(line),
      title_(OneLine(options.title)),
      maximum_(std::max(options.maximum, 1)),
      show_(show),
      found_(std::move(found)),
      stopAsked_(std::move(stopAsked))
{
}

bool ProgressBar::Update(int value, const std::optional<std::string>&)
{
    const bool goOn = !(stopAsked_ && stopAsked_());
    if (!show_ || hidden_)
        return goOn;
    const int done = std::clamp(value, 0, maximum_);
    const int percent = done * 100 / maximum_;
    const int filled = percent * BAR_WIDTH / 100;
    // A discovery's value is the address just asked: one more is done.
    const std::string tail = found_ ? StrF("%d/%d addresses, %zu found", std::min(done + 1, maximum_), maximum_, found_())
                                    : std::to_string(percent) + "%";
    const std::string text = title_ + " [" + std::string(size_t(filled), '#') +
                             std::string(size_t(BAR_WIDTH - filled), '.') + "] " + tail;
    // Redrawn only when it changes: a terminal is slow to write to.
    if (text != shown_)
        line_.Bar(text);
    shown_ = text;
    return goOn;
}

void ProgressBar::Hide()
{
    if (show_ && !hidden_)
        line_.ClearBar();
    hidden_ = true;
}

}  // namespace orv
