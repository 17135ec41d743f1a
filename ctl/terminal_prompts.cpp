#include "ctl/terminal_prompts.h"

#include <algorithm>
#include <ostream>

#include "network/address_management.h"

namespace orv {

namespace {

constexpr int BAR_WIDTH = 30;

// A progress dialog as a bar on standard error, or as nothing.
class TerminalProgress final : public ProgressDialog {
public:
    TerminalProgress(ErrorLine& line, const ProgressOptions& options, bool show)
        : line_(line), title_(OneLine(options.title)), maximum_(std::max(options.maximum, 1)), show_(show)
    {
    }
    ~TerminalProgress() override { Hide(); }

    bool Update(int value, const std::optional<std::string>&) override
    {
        if (!show_ || hidden_)
            return true;
        const int percent = std::clamp(value, 0, maximum_) * 100 / maximum_;
        if (percent == shownPercent_)
            return true;
        shownPercent_ = percent;
        const int filled = percent * BAR_WIDTH / 100;
        line_.Bar(title_ + " [" + std::string(size_t(filled), '#') + std::string(size_t(BAR_WIDTH - filled), '.') +
                  "] " + std::to_string(percent) + "%");
        return true;
    }

    void Hide() override
    {
        if (show_ && !hidden_)
            line_.ClearBar();
        hidden_ = true;
    }

private:
    ErrorLine& line_;
    std::string title_;
    int maximum_;
    bool show_;
    bool hidden_ = false;
    int shownPercent_ = -1;
};

}  // namespace

void ErrorLine::Line(const std::string& text)
{
    ClearBar();
    err_ << text << '\n';
    err_.flush();
}

void ErrorLine::Bar(const std::string& text)
{
    err_ << "\r\033[K" << text;
    err_.flush();
    barShown_ = true;
}

void ErrorLine::ClearBar()
{
    if (!barShown_)
        return;
    err_ << "\r\033[K";
    err_.flush();
    barShown_ = false;
}

void TerminalLog::Message(const std::string& text)
{
    if (verbose_)
        line_.Line(OneLine(text));
}

Answer TerminalPrompts::MessageBox(const MessageBoxOptions& options)
{
    log_.Message("[" + OneLine(options.caption) + "] " + OneLine(options.text));
    switch (options.buttons) {
    case Buttons::YesNo:
        return options.caption == SAME_ADDRESS_CAPTION && resolve_ ? Answer::Yes : Answer::No;
    case Buttons::OkCancel:
        return Answer::Cancel;
    case Buttons::Ok:
        break;
    }
    return Answer::Ok;
}

std::unique_ptr<ProgressDialog> TerminalPrompts::StartProgress(const ProgressOptions& options)
{
    return std::make_unique<TerminalProgress>(line_, options, showProgress_);
}

std::optional<std::string> TerminalPrompts::FileDialog(const FileDialogOptions& options)
{
    if (filePath_)
        log_.Message("[" + OneLine(options.message) + "] " + *filePath_);
    return filePath_;
}

std::optional<int> TerminalPrompts::SingleChoice(const ChoiceOptions& options)
{
    log_.Message("[" + OneLine(options.caption) + "] not answered on the command line");
    return std::nullopt;
}

void TerminalPrompts::SetStatusText(const std::string& text, int)
{
    log_.Message(text);
}

std::string OneLine(const std::string& text)
{
    std::string line;
    bool blank = false;
    for (char c : text) {
        if (c == ' ' || c == '\n' || c == '\r' || c == '\t') {
            blank = !line.empty();
            continue;
        }
        if (blank)
            line += ' ';
        blank = false;
        line += c;
    }
    return line;
}

}  // namespace orv
