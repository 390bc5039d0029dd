#include <cstdio>
#include <cstdlib>

#include <wx/init.h>
#ifndef __WXMSW__
#include <glib.h>
#endif

#include "platform/SharedHeap.h"
#include "ui/CorvaneApp.h"

int main(int argc, char** argv)
{
    shareOneHeap();
#ifndef __WXMSW__
    if (!std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY")) {
        std::fprintf(stderr, "Tessaly needs a graphical display and none is set; "
                             "to run it without one, use: xvfb-run -a %s\n",
                     argv[0]);
        return 1;
    }
    // The window's class (and Wayland application id) is the program name:
    // it must match the desktop entry for the desktop to show our icon.
    g_set_prgname("example.tessaly.Tessaly");
#endif
    wxApp::SetInstance(new CorvaneApp);
    const int status = wxEntry(argc, argv);
    // OnInit returns false after a normal run, which the toolkit reports as a failure.
    return CorvaneApp::ranDialog ? EXIT_SUCCESS : status;
}
