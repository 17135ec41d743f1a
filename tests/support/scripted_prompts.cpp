#include "tests/support/scripted_prompts.h"

namespace orv::test {

namespace {
class RecordingProgress final : public ProgressDialog {
public:
    RecordingProgress(std::shared_ptr<RecordedProgress> record, ScriptedPrompts& owner)
        : record_(std::move(record)), owner_(owner) {}

    bool Update(int value, const std::optional<std::string>& message) override
    {
        if (message)
            current_ = *message;
        record_->values.push_back(value);
        record_->messages.push_back(current_);
        if (record_->options.autoHide && value >= record_->options.maximum)
            record_->hidden = true;
        return owner_.onProgressUpdate ? owner_.onProgressUpdate(*record_, value) : true;
    }
    void Hide() override { record_->hidden = true; }

private:
    std::shared_ptr<RecordedProgress> record_;
    ScriptedPrompts& owner_;
    std::string current_ = record_->options.message;
};
}  // namespace

Answer ScriptedPrompts::MessageBox(const MessageBoxOptions& options)
{
    boxes.push_back(options);
    if (!boxAnswers.empty()) {
        Answer a = boxAnswers.front();
        boxAnswers.pop_front();
        return a;
    }
    switch (options.buttons) {
    case Buttons::YesNo:
        return Answer::Yes;
    case Buttons::SaveDiscardCancel:
        // Unscripted, an unsaved-edits question changes nothing.
        return Answer::Cancel;
    case Buttons::Ok:
    case Buttons::OkCancel:
        break;
    }
    return Answer::Ok;
}

std::unique_ptr<ProgressDialog> ScriptedPrompts::StartProgress(const ProgressOptions& options)
{
    auto record = std::make_shared<RecordedProgress>();
    record->options = options;
    progress.push_back(record);
    return std::make_unique<RecordingProgress>(record, *this);
}

std::optional<std::string> ScriptedPrompts::FileDialog(const FileDialogOptions& options)
{
    fileDialogs.push_back(options);
    if (fileAnswers.empty())
        return std::nullopt;
    auto answer = fileAnswers.front();
    fileAnswers.pop_front();
    return answer;
}

std::optional<int> ScriptedPrompts::SingleChoice(const ChoiceOptions& options)
{
    choiceDialogs.push_back(options);
    if (options.ticked && !options.tickLabel.empty()) {
        ticksOffered.push_back(*options.ticked);
        if (!tickAnswers.empty()) {
            *options.ticked = tickAnswers.front();
            tickAnswers.pop_front();
        }
    }
    if (choiceAnswers.empty())
        return std::nullopt;
    auto answer = choiceAnswers.front();
    choiceAnswers.pop_front();
    return answer;
}

void ScriptedPrompts::SetStatusText(const std::string& text, int field)
{
    statusTexts.emplace_back(field, text);
}

void ScriptedPrompts::PumpEvents()
{
    ++pumps;
    if (onPump)
        onPump();
}

std::vector<std::string> ScriptedPrompts::Captions() const
{
    std::vector<std::string> captions;
    for (const auto& box : boxes)
        captions.push_back(box.caption);
    return captions;
}

bool ScriptedPrompts::ShowedBox(const std::string& caption, const std::string& text) const
{
    for (const auto& box : boxes)
        if (box.caption == caption && box.text == text)
            return true;
    return false;
}

}  // namespace orv::test
