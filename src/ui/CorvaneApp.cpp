#include "ui/CorvaneApp.h"

#include <cstdio>

#include <wx/filefn.h>
#include <wx/image.h>

#include "ui/CorvaneDialog.h"

bool CorvaneApp::ranDialog = false;

bool CorvaneApp::OnInit()
{
    wxInitAllImageHandlers();
    {
        CorvaneDialog dialog(nullptr);
        // "tessaly FOLDER", as the file manager's "Open with" starts it.
        if (argc > 1) {
            if (wxDirExists(argv[1]))
                dialog.selectFolder(argv[1]);
            else
                std::fprintf(stderr, "tessaly: %s: no such folder\n", static_cast<const char*>(argv[1].utf8_str()));
        }
        SetTopWindow(&dialog);
        dialog.ShowModal();
        SetTopWindow(nullptr);
    }
    ranDialog = true;
    return false;
}
