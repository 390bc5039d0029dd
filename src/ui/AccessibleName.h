#pragma once

#include <wx/string.h>

class wxWindow;

// Gives a control the name a screen reader reads for it. On Windows through
// wx's accessibility API (MSAA). wx has none on GTK, so there the name goes
// onto the native widget's ATK object, and onto those of the widgets it
// wraps, whichever of them the accessibility bus shows.
void setAccessibleName(wxWindow* window, const wxString& name);
