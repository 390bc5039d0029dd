#pragma once

#include <wx/string.h>

class wxWindow;

// Gives a control the name a screen reader reads for it. wx has no
// accessibility API of its own on GTK, so the name goes onto the native
// widget's ATK object, and onto those of the widgets it wraps, whichever of
// them the accessibility bus shows.
void setAccessibleName(wxWindow* window, const wxString& name);
