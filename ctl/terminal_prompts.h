// The core's prompts and log on a terminal: no boxes are shown, questions get
// fixed answers, file dialogs take the path from the command line, progress
// is a bar on standard error, and log lines go there with -v.
#pragma once

#include <iosfwd>
#include <optional>
#include <string>

#include "ctl/progress_bar.h"
#include "services/log.h"
#include "services/prompts.h"

namespace orv {

// Standard error shared by the progress bar and the log lines: a line is
// written only after the bar has been cleared from the screen.
class ErrorLine {
public:
    explicit ErrorLine(std::ostream& err) : err_(err) {}
    void Line(const std::string& text);
    // Draws the bar in place of the previous one.
    void Bar(const std::string& text);
    void ClearBar();

private:
    std::ostream& err_;
    bool barShown_ = false;
};

// Prints every log line (blanks around it trimmed, control characters
// escaped) when verbose.
class TerminalLog final : public LogSink {
public:
    TerminalLog(ErrorLine& line, bool verbose) : line_(line), verbose_(verbose) {}
    void Message(const std::string& text) override;

private:
    ErrorLine& line_;
    bool verbose_;
};

class TerminalPrompts final : public Prompts {
public:
    // showProgress: draw bars (a terminal, and no --quiet). Boxes and status
    // texts go to log as lines.
    TerminalPrompts(ErrorLine& line, LogSink& log, bool showProgress)
        : line_(line), log_(log), showProgress_(showProgress) {}

    // The answer to " Same Address Warning ": Yes with --resolve, else No.
    // Every other question is answered No, and OK/Cancel with Cancel.
    void ResolveSharedAddresses(bool yes) { resolve_ = yes; }
    // What every file dialog is answered with.
    void AnswerFilesWith(std::string path) { filePath_ = std::move(path); }
    // Progress bars started from now on show the devices found (empty: not).
    void CountFoundWith(FoundCounter found) { found_ = std::move(found); }
    // A progress dialog is cancelled once stopAsked says so.
    void StopWith(StopAsked stopAsked) { stopAsked_ = std::move(stopAsked); }

    Answer MessageBox(const MessageBoxOptions& options) override;
    std::unique_ptr<ProgressDialog> StartProgress(const ProgressOptions& options) override;
    std::optional<std::string> FileDialog(const FileDialogOptions& options) override;
    std::optional<int> SingleChoice(const ChoiceOptions& options) override;
    void SetStatusText(const std::string& text, int field) override;
    void PumpEvents() override {}

private:
    ErrorLine& line_;
    LogSink& log_;
    bool showProgress_;
    bool resolve_ = false;
    std::optional<std::string> filePath_;
    FoundCounter found_;
    StopAsked stopAsked_;
};

// A box or dialog text on one line: line breaks and tabs become blanks, runs
// of blanks one, and the ends are trimmed.
std::string OneLine(const std::string& text);

}  // namespace orv
