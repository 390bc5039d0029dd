#pragma once

#include <wx/string.h>

class wxButton;
class wxWindow;

// The words of OK and Cancel buttons and of Yes/No questions in the user's
// language. GTK draws a button of a stock id with its own stock label, which
// does not follow a language chosen in Preferences; the labels given here
// are the program's own translations.

// Shows the button's own label, not GTK's stock one, unless it is the
// English word a stock button shows anyway.
void showOwnLabel(wxButton* button, const wxString& english);

// A Yes/No question with Yes and No in the user's language; true for Yes
// only (Escape gives Cancel).
bool askedYes(wxWindow* parent, const wxString& message, const wxString& caption);
