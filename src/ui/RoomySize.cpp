#include "ui/RoomySize.h"

#include <algorithm>

#include <wx/textctrl.h>

namespace {

void atLeast(wxWindow* control, const wxSize& needed)
{
    const wxSize given = control->GetMinSize();
    const wxSize size(std::max(given.x, needed.x), std::max(given.y, needed.y));
    control->SetMinSize(size);
    control->SetSize(size);
}

}  // namespace

void growToFit(wxWindow* control)
{
    atLeast(control, control->GetBestSize());
}

void growToFitText(wxTextCtrl* field, const wxString& sample)
{
    atLeast(field, field->GetSizeFromTextSize(field->GetTextExtent(sample)));
}
