#include <gtest/gtest.h>
#include <wx/image.h>
#include <wx/init.h>
#include <wx/log.h>

namespace {

// wx's base services (threads, logs) and the image handlers, without a display.
class WxEnvironment : public testing::Environment {
public:
    void SetUp() override
    {
        ASSERT_TRUE(wxInitialize());
        // An assertion inside wx fails the test instead of waiting for a click.
        wxSetAssertHandler([](const wxString& file, int line, const wxString& func, const wxString& cond,
                              const wxString& msg) {
            ADD_FAILURE_AT(file.utf8_str(), line) << "wx assertion in " << func << ": " << cond << " " << msg;
        });
        wxInitAllImageHandlers();
    }
    void TearDown() override { wxUninitialize(); }
};

}  // namespace

int main(int argc, char** argv)
{
    testing::InitGoogleTest(&argc, argv);
    testing::AddGlobalTestEnvironment(new WxEnvironment);
    return RUN_ALL_TESTS();
}
