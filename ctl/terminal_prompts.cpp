#include "ctl/terminal_prompts.h"

#include <algorithm>
#include <ostream>

#include "ctl/device_list.h"
#include "ctl/progress_bar.h"
#include "network/address_management.h"

namespace orv {

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
        line_.Line(TerminalText(OneLine(text)));
}

Answer TerminalPrompts::MessageBox(const MessageBoxOptions& options)
{
    log_.Message("[" + OneLine(options.caption) + "] " + OneLine(options.text));
    switch (options.buttons) {
    case Buttons::YesNo:
        return options.caption == SAME_ADDRESS_CAPTION && resolve_ ? Answer::Yes : Answer::No;
    case Buttons::OkCancel:
    case Buttons::SaveDiscardCancel:
        return Answer::Cancel;
    case Buttons::Ok:
        break;
    }
    return Answer::Ok;
}

std::unique_ptr<ProgressDialog> TerminalPrompts::StartProgress(const ProgressOptions& options)
{
    return std::make_unique<ProgressBar>(line_, options, showProgress_, found_, stopAsked_);
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
