#include "ui/parameter_fields.h"

#include <algorithm>

#include <wx/scrolwin.h>
#include <wx/sizer.h>
#include <wx/textctrl.h>

#include "model/parameter_text.h"
#include "ui/rows_page.h"
#include "ui/wx_text.h"

namespace orv {

namespace {

// Wide enough for three digits where the platform's fields have wide margins.
constexpr int FIELD_WIDTH = 33;
constexpr unsigned long FIELD_CHARS = 3;
const wxColour WRONG_VALUE_COLOUR(255, 190, 190);

}  // namespace

void ParameterFields::Build(wxWindow* parent, int firstId, size_t rowNumber, const ParamSpec& spec,
                            const std::optional<ParameterValues>& values, std::function<void(size_t j)> onEdited)
{
    Clear();
    rowNumber_ = rowNumber;
    boundedCount_ = spec.spinCount;
    const std::vector<ParamSpec::Range> ranges = spec.Ranges();
    for (size_t j = 0; j < size_t(spec.spinCount) + spec.textCount; ++j) {
        const bool bounded = j < spec.spinCount;
        const ParamSpec::Range range =
            bounded ? (j < ranges.size() ? ranges[j] : ParamSpec::Range{0, 0}) : PARAMETER_BYTE_RANGE;
        wxString value;
        if (bounded)
            value = wxString::Format("%d", values && j < values->spins.size() ? values->spins[j] : range.minimum);
        else if (values && j - spec.spinCount < values->texts.size())
            value = ToWx(values->texts[j - spec.spinCount]);
        auto* field = new wxTextCtrl(parent, firstId + int(j), wxEmptyString, wxDefaultPosition,
                                     wxSize(FIELD_WIDTH, -1));
        // A longer stored value is shown whole, not cut to the length one may type.
        field->SetMaxLength(std::max<unsigned long>(FIELD_CHARS, value.length()));
        field->ChangeValue(value);
        const wxSize digits = field->GetSizeFromTextSize(field->GetTextExtent("000"));
        field->SetInitialSize(wxSize(std::max(FIELD_WIDTH, digits.GetWidth()), -1));
        field->Bind(wxEVT_TEXT, [onEdited, j](wxCommandEvent& event) {
            event.Skip();
            onEdited(j);
        });
        fields_.push_back(field);
        ranges_.push_back(range);
        if (values)
            takenTexts_.push_back(value);
        Mark(j);
    }
}

void ParameterFields::Clear()
{
    for (wxTextCtrl* field : fields_)
        field->Destroy();
    fields_.clear();
    ranges_.clear();
    takenTexts_.clear();
    boundedCount_ = 0;
}

void ParameterFields::AddTo(wxSizer& sizer, int border) const
{
    for (wxTextCtrl* field : fields_)
        sizer.Add(field, 0, wxALIGN_CENTER_VERTICAL | wxALL, border);
}

bool ParameterFields::Fits(size_t j) const
{
    return CheckParameter(FromWx(fields_[j]->GetValue()), ranges_[j]) == ParameterCheck::Fits;
}

bool ParameterFields::Edited(size_t j) const
{
    return j >= takenTexts_.size() || fields_[j]->GetValue() != takenTexts_[j];
}

void ParameterFields::Mark(size_t j)
{
    wxTextCtrl* field = fields_[j];
    const bool fits = Fits(j);
    field->SetBackgroundColour(fits ? wxNullColour : WRONG_VALUE_COLOUR);
    field->SetToolTip(fits ? wxString() : ToWx(Refusal(j)));
    field->Refresh();
}

std::string ParameterFields::Refusal(size_t j) const
{
    return ParameterRefusal(rowNumber_, ranges_[j]);
}

std::optional<size_t> ParameterFields::FirstWrong(bool typedOnly) const
{
    for (size_t j = 0; j < fields_.size(); ++j)
        if (!Fits(j) && (!typedOnly || Edited(j)))
            return j;
    return std::nullopt;
}

void ParameterFields::Focus(size_t j, wxScrolledWindow* page) const
{
    wxTextCtrl* field = fields_[j];
    field->SetFocus();
    field->SelectAll();
    RowsPage::ShowWindow(page, field);
}

ParameterValues ParameterFields::Values() const
{
    ParameterValues values;
    for (size_t j = 0; j < fields_.size(); ++j) {
        const std::string text = FromWx(fields_[j]->GetValue());
        if (j < boundedCount_)
            values.spins.push_back(int(LeadingNumber(text)));
        else
            values.texts.push_back(text);
    }
    return values;
}

}  // namespace orv
