#pragma once

#include <wx/app.h>

// Shows the main dialog modally for the whole run. OnInit returns false
// once the dialog has closed, so that the toolkit's main loop never runs.
class CorvaneApp : public wxApp {
public:
    bool OnInit() override;

    // Whether the main dialog was shown and closed (a normal run). Kept
    // outside the object: the toolkit deletes the application on its way out.
    static bool ranDialog;
};
