// The value fields of one row's action, shared by the Input8 and RS232
// panels: a text field per parameter, the bounded values first, each with its
// range. A spin control would clamp a typed value to its range; here the
// value stays as typed and a wrong one is coloured and explained.
#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include <wx/string.h>

#include "model/catalogue.h"
#include "model/input8_config.h"

class wxScrolledWindow;
class wxSizer;
class wxTextCtrl;
class wxWindow;

namespace orv {

class ParameterFields {
public:
    // Replaces the fields by one per parameter of spec, in parent, with the
    // ids firstId, firstId + 1, ...; rowNumber (from 1) names the row in a
    // refusal. values: what a configuration holds, remembered as taken; none
    // starts every bounded value at its minimum and every free one empty.
    // onEdited(j) runs after the user's every edit of value j. The old fields
    // are destroyed; the caller puts the new ones in its sizer (AddTo).
    void Build(wxWindow* parent, int firstId, size_t rowNumber, const ParamSpec& spec,
               const std::optional<ParameterValues>& values, std::function<void(size_t j)> onEdited);
    // Destroys the fields.
    void Clear();
    void AddTo(wxSizer& sizer, int border) const;

    size_t Count() const { return fields_.size(); }
    const std::vector<wxTextCtrl*>& Fields() const { return fields_; }
    bool Fits(size_t j) const;
    // The user changed value j since the configuration was taken (always, for a new action).
    bool Edited(size_t j) const;
    // Value j coloured and explained in its tool tip while it does not fit.
    void Mark(size_t j);
    // "Row 3: a parameter must be a number between 1 and 4"
    std::string Refusal(size_t j) const;
    // The first value that does not fit; with typedOnly, the first the user typed.
    std::optional<size_t> FirstWrong(bool typedOnly = false) const;
    // Value j focused with its text selected, scrolled into page.
    void Focus(size_t j, wxScrolledWindow* page) const;
    // The values as the configurations take them: a bounded value is the
    // number its text starts with, a free value its text.
    ParameterValues Values() const;

private:
    std::vector<wxTextCtrl*> fields_;
    std::vector<ParamSpec::Range> ranges_;
    size_t boundedCount_ = 0;
    size_t rowNumber_ = 0;
    // The texts shown when the configuration was taken; empty for a new action.
    std::vector<wxString> takenTexts_;
};

}  // namespace orv
