#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/image.h>
#include <wx/init.h>
#include <wx/log.h>

namespace {

// Starts the toolkit with its display here, not in main, so that listing
// the tests needs no display. The toolkit is not shut down: the process
// ends right after the tests, and GTK's clean-up can wait on its own
// helper threads.
class GuiEnvironment : public testing::Environment {
public:
    void SetUp() override
    {
        wxApp::SetInstance(new wxApp);
        static char name[] = "tessaly_gui_tests";
        static char* argv[] = {name, nullptr};
        int argc = 1;
        ASSERT_TRUE(wxEntryStart(argc, argv)) << "no display";
        wxTheApp->CallOnInit();
        // An assertion inside wx fails the test instead of opening a dialog.
        wxSetAssertHandler([](const wxString& file, int line, const wxString& func, const wxString& cond,
                              const wxString& msg) {
            ADD_FAILURE_AT(file.utf8_str(), line) << "wx assertion in " << func << ": " << cond << " " << msg;
        });
        wxInitAllImageHandlers();
    }
};

}  // namespace

int main(int argc, char** argv)
{
    testing::InitGoogleTest(&argc, argv);
    testing::AddGlobalTestEnvironment(new GuiEnvironment);
    return RUN_ALL_TESTS();
}
