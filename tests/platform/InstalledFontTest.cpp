#include <gtest/gtest.h>

#include "platform/InstalledFont.h"
#include "platform/RegularFile.h"

#ifdef _WIN32
#include <string>

#include <windows.h>
#endif

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

#ifdef _WIN32
// A font list entry longer than any family name (some installers write
// them) is passed over, not the end of the list.
TEST(InstalledFont, AnOverlongEntryEndsNoLookUp)
{
    FontLocation sans;
    ASSERT_TRUE(findInstalledFont("DejaVu Sans", sans));
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Fonts", 0,
                              nullptr, 0, KEY_READ | KEY_WRITE, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    const std::wstring longName(600, L'x'), added = L"Tessaly Test Face (TrueType)";
    const std::wstring file(sans.file.begin(), sans.file.end());
    const auto set = [key](const std::wstring& name, const std::wstring& value) {
        return RegSetValueExW(key, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                              static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
    };
    EXPECT_EQ(set(longName, file), ERROR_SUCCESS);
    EXPECT_EQ(set(added, file), ERROR_SUCCESS);
    FontLocation found;
    EXPECT_TRUE(findInstalledFont("Tessaly Test Face", found));
    RegDeleteValueW(key, longName.c_str());
    RegDeleteValueW(key, added.c_str());
    RegCloseKey(key);
}
#endif

}  // namespace
