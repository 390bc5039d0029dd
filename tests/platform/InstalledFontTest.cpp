#include <gtest/gtest.h>

#include "platform/InstalledFont.h"
#include "platform/RegularFile.h"

namespace {

// Installed fonts by family name, as the text mark's font setting names
// them: case aside, never a substitute for a family that is not there.
// Both systems' test machines have DejaVu Sans installed.
TEST(InstalledFont, FamiliesByNameAndNoSubstitute)
{
    static const struct {
        const char* family;
        bool found;
    } cases[] = {{"DejaVu Sans", true}, {"dejavu SANS", true}, {"DejaVu Sans Mono", true},
                 {"DejaVu", false},     {"No Such Family", false}, {"", false}};
    for (const auto& c : cases) {
        FontLocation font;
        EXPECT_EQ(findInstalledFont(c.family, font), c.found) << c.family;
        if (c.found) {
            EXPECT_TRUE(isRegularFile(font.file)) << font.file;
            EXPECT_EQ(font.file.find("Bold"), std::string::npos) << "the regular style: " << font.file;
        }
    }
    FontLocation sans, mono;
    ASSERT_TRUE(findInstalledFont("DejaVu Sans", sans) && findInstalledFont("DejaVu Sans Mono", mono));
    EXPECT_NE(sans.file, mono.file);
}

}  // namespace
