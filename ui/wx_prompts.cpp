#include "ui/wx_prompts.h"

#include <algorithm>
#include <memory>

#include <wx/app.h>
#include <wx/arrstr.h>
#include <wx/checkbox.h>
#include <wx/choicdlg.h>
#include <wx/display.h>
#include <wx/filedlg.h>
#include <wx/frame.h>
#include <wx/listbox.h>
#include <wx/msgdlg.h>
#include <wx/progdlg.h>
#include <wx/sizer.h>
#include <wx/statusbr.h>

#include "ui/centre_next_dialog.h"
#include "ui/settings.h"
#include "ui/wx_text.h"

namespace orv {

TickChoiceDialog::TickChoiceDialog(wxWindow* parent, const wxString& message, const wxString& caption,
                                   const wxArrayString& choices, const wxString& tickLabel, bool ticked)
    : wxSingleChoiceDialog(parent, message, caption, choices)
{
    tick_ = new wxCheckBox(this, wxID_ANY, tickLabel);
    tick_->SetValue(ticked);
    // Between the list and the buttons, on screen and for Tab.
    tick_->MoveAfterInTabOrder(static_cast<wxListBox*>(m_listbox));
    wxSizer* sizer = GetSizer();
    for (size_t i = 0; i < sizer->GetItemCount(); ++i)
        if (sizer->GetItem(i)->GetWindow() == m_listbox) {
            sizer->Insert(i + 1, tick_, 0, wxLEFT | wxRIGHT | wxTOP, 15);
            break;
        }
    sizer->SetSizeHints(this);
    CentreOnParent();
}

bool TickChoiceDialog::Ticked() const
{
    return tick_->GetValue();
}

namespace {

long ButtonStyle(Buttons buttons)
{
    switch (buttons) {
    case Buttons::YesNo:
        return wxYES_NO;
    case Buttons::OkCancel:
        return wxOK | wxCANCEL;
    case Buttons::SaveDiscardCancel:
        return wxYES_NO | wxCANCEL;
    case Buttons::Ok:
        break;
    }
    return wxOK;
}

long IconStyle(Icon icon)
{
    switch (icon) {
    case Icon::Information:
        return wxICON_INFORMATION;
    case Icon::Exclamation:
        return wxICON_EXCLAMATION;
    case Icon::Error:
        return wxICON_ERROR;
    case Icon::Question:
        return wxICON_QUESTION;
    case Icon::None:
        break;
    }
    return wxICON_NONE;
}

Answer ToAnswer(int result, Buttons buttons)
{
    const bool saveDiscard = buttons == Buttons::SaveDiscardCancel;
    switch (result) {
    case wxID_YES:
        return saveDiscard ? Answer::Save : Answer::Yes;
    case wxID_NO:
        return saveDiscard ? Answer::Discard : Answer::No;
    case wxID_CANCEL:
        return Answer::Cancel;
    default:
        return Answer::Ok;
    }
}

// Puts box over the middle of parent's window, within the screen. Some window
// managers place a new dialog where they like (a corner of the screen), and
// Windows' own progress dialog may go to the corner of its parent.
void CentreOver(wxWindow& box, wxWindow* parent)
{
    wxWindow* top = parent ? wxGetTopLevelParent(parent) : nullptr;
    const wxSize size = box.GetSize();
    if (!top || !top->IsShownOnScreen() || size.x <= 0 || size.y <= 0)
        return;
    const wxRect over = top->GetScreenRect();
    wxRect place(wxPoint(over.x + (over.width - size.x) / 2, over.y + (over.height - size.y) / 2), size);
    const wxRect screen = wxDisplay(top).GetClientArea();
    place.x = std::clamp(place.x, screen.x, std::max(screen.x, screen.GetRight() + 1 - size.x));
    place.y = std::clamp(place.y, screen.y, std::max(screen.y, screen.GetBottom() + 1 - size.y));
    box.Move(place.GetPosition());
}

class WxProgress final : public ProgressDialog {
public:
    WxProgress(wxWindow* parent, const ProgressOptions& options) : maximum_(std::max(options.maximum, 1))
    {
        int style = 0;
        if (options.canAbort)
            style |= wxPD_CAN_ABORT;
        if (options.appModal)
            style |= wxPD_APP_MODAL;
        if (options.autoHide)
            style |= wxPD_AUTO_HIDE;
        if (options.smooth)
            style |= wxPD_SMOOTH;
        dialog_ = std::make_unique<wxProgressDialog>(ToWx(options.title), ToWx(options.message), maximum_, parent,
                                                     style);
        CentreOver(*dialog_, parent);
    }

    bool Update(int value, const std::optional<std::string>& message) override
    {
        // wx asserts on values outside the range; the callers step to the maximum to finish.
        value = std::clamp(value, 0, maximum_);
        bool goOn = message ? dialog_->Update(value, ToWx(*message)) : dialog_->Update(value);
        if (!goOn)
            aborted_ = true;
        return !aborted_;
    }

    void Hide() override { dialog_->Hide(); }

private:
    int maximum_;
    // Deleted at once, not at idle time: an application-modal dialog keeps the
    // other windows disabled until it is gone.
    std::unique_ptr<wxProgressDialog> dialog_;
    bool aborted_ = false;
};

}  // namespace

wxString WithAllFiles(const wxString& wildcard)
{
    const wxString allFiles(wxALL_FILES);
    if (wildcard.empty())
        return allFiles;
    // Pairs of label and pattern: one of the patterns may be "all files" already.
    const wxArrayString parts = wxSplit(wildcard, '|', '\0');
    for (size_t i = 1; i < parts.size(); i += 2)
        if (parts[i] == wxALL_FILES_PATTERN)
            return wildcard;
    return wildcard + "|" + allFiles;
}

void WxPrompts::CloseCover()
{
    wxWindow* cover = cover_.get();
    if (!cover)
        return;
    cover_ = nullptr;
    cover->Hide();
    cover->Destroy();
    // Taken off the screen before the dialog is put on it.
    wxTheApp->Yield(true);
}

Answer WxPrompts::MessageBox(const MessageBoxOptions& options)
{
    CloseCover();
    long style = ButtonStyle(options.buttons) | IconStyle(options.icon) | wxCENTRE;
    if (options.defaultNo && (options.buttons == Buttons::YesNo || options.buttons == Buttons::SaveDiscardCancel))
        style |= wxNO_DEFAULT;
    wxMessageDialog dialog(parent_, ToWx(options.text), ToWx(options.caption), style);
    if (options.buttons == Buttons::SaveDiscardCancel)
        dialog.SetYesNoCancelLabels(_("&Save"), _("&Discard"), _("Cancel"));
    CentreNextDialog centred(parent_);
    return ToAnswer(dialog.ShowModal(), options.buttons);
}

std::unique_ptr<ProgressDialog> WxPrompts::StartProgress(const ProgressOptions& options)
{
    CloseCover();
    return std::make_unique<WxProgress>(parent_, options);
}

std::optional<std::string> WxPrompts::FileDialog(const FileDialogOptions& options)
{
    CloseCover();
    long style = options.save ? wxFD_SAVE : wxFD_OPEN;
    if (options.mustExist)
        style |= wxFD_FILE_MUST_EXIST;
    if (options.overwritePrompt)
        style |= wxFD_OVERWRITE_PROMPT;
    const wxString wildcard = WithAllFiles(ToWx(options.wildcard));
    // Where the last dialog of its kind was confirmed, unless the caller names a folder.
    const wxString folder = options.defaultDir.empty() ? LastFolder(options) : ToWx(options.defaultDir);
    wxFileDialog dialog(parent_, ToWx(options.message), folder, ToWx(options.defaultFile), wildcard, style,
                        wxDefaultPosition, wxDefaultSize, "filedlg");
    CentreNextDialog centred(parent_);
    if (dialog.ShowModal() != wxID_OK)
        return std::nullopt;
    SaveLastFolder(options, dialog.GetDirectory());
    return FromWx(dialog.GetPath());
}

std::optional<int> WxPrompts::SingleChoice(const ChoiceOptions& options)
{
    CloseCover();
    wxArrayString choices;
    for (const std::string& choice : options.choices)
        choices.Add(ToWx(choice));
    if (options.ticked && !options.tickLabel.empty()) {
        TickChoiceDialog dialog(parent_, ToWx(options.message), ToWx(options.caption), choices,
                                ToWx(options.tickLabel), *options.ticked);
        if (dialog.ShowModal() != wxID_OK)
            return std::nullopt;
        *options.ticked = dialog.Ticked();
        return dialog.GetSelection();
    }
    wxSingleChoiceDialog dialog(parent_, ToWx(options.message), ToWx(options.caption), choices);
    if (dialog.ShowModal() != wxID_OK)
        return std::nullopt;
    return dialog.GetSelection();
}

void WxPrompts::SetStatusText(const std::string& text, int field)
{
    wxWindow* window = parent_ ? wxGetTopLevelParent(parent_) : wxTheApp->GetTopWindow();
    wxFrame* frame = wxDynamicCast(window, wxFrame);
    if (!frame || !frame->GetStatusBar() || field < 0 || field >= frame->GetStatusBar()->GetFieldsCount())
        return;
    frame->SetStatusText(ToWx(text), field);
}

void WxPrompts::PumpEvents()
{
    wxTheApp->Yield(true);
}

}  // namespace orv
