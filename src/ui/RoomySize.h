#pragma once

#include <wx/gdicmn.h>
#include <wx/string.h>

class wxTextCtrl;
class wxWindow;

// The dialogs give some controls fixed sizes (a 51 x 23 button, a 45 pixel
// field). GTK's themes draw more padding than that leaves room for, which
// would clip the labels: these grow such a control to its natural size
// where that is larger, and keep the given size otherwise.
void growToFit(wxWindow* control);
// Grows a text field to hold the sample text without clipping.
void growToFitText(wxTextCtrl* field, const wxString& sample);
