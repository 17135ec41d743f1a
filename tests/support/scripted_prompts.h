// A Prompts that answers as the test says and records every caption and text.
#pragma once

#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "services/prompts.h"

namespace orv::test {

struct RecordedProgress {
    ProgressOptions options;
    std::vector<int> values;
    std::vector<std::string> messages;  // the message after each update
    bool hidden = false;
};

class ScriptedPrompts : public Prompts {
public:
    // Answers given to message boxes in order; when empty, Yes to a Yes/No question, Cancel to an
    // unsaved-edits question, else Ok.
    std::deque<Answer> boxAnswers;
    // Answers given to file dialogs in order; when empty, cancelled.
    std::deque<std::optional<std::string>> fileAnswers;
    // Answers given to choice dialogs in order; when empty, cancelled.
    std::deque<std::optional<int>> choiceAnswers;
    // How the tick boxes of choice dialogs are left, in order; when empty, as they start.
    std::deque<bool> tickAnswers;
    // Called on each progress update; false reports the abort button as pressed.
    std::function<bool(const RecordedProgress&, int value)> onProgressUpdate;
    // Called on each PumpEvents.
    std::function<void()> onPump;

    std::vector<MessageBoxOptions> boxes;
    std::vector<FileDialogOptions> fileDialogs;
    std::vector<ChoiceOptions> choiceDialogs;
    std::vector<bool> ticksOffered;  // how each tick box of a choice dialog started
    std::vector<std::shared_ptr<RecordedProgress>> progress;
    std::vector<std::pair<int, std::string>> statusTexts;
    int pumps = 0;

    Answer MessageBox(const MessageBoxOptions& options) override;
    std::unique_ptr<ProgressDialog> StartProgress(const ProgressOptions& options) override;
    std::optional<std::string> FileDialog(const FileDialogOptions& options) override;
    std::optional<int> SingleChoice(const ChoiceOptions& options) override;
    void SetStatusText(const std::string& text, int field) override;
    void PumpEvents() override;

    // Captions of all message boxes, in order.
    std::vector<std::string> Captions() const;
    bool ShowedBox(const std::string& caption, const std::string& text) const;
};

}  // namespace orv::test
