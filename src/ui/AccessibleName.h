#pragma once

#include <wx/string.h>

class wxWindow;

// Gives a control the name a screen reader reads for it. On Windows through
// wx's accessibility API (MSAA). wx has none on GTK, so there the name goes
// onto the native widget's ATK object, and onto those of the widgets it
// wraps, whichever of them the accessibility bus shows.
void setAccessibleName(wxWindow* window, const wxString& name);

// Makes a read-only combo box one stop of the Tab key, as on Windows: GTK
// gives its text and its arrow button a stop each. The text keeps it, the
// stop a screen reader announces with the box's name.
void oneTabStop(wxWindow* comboBox);
