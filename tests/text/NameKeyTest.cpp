#include <gtest/gtest.h>

#include "text/NameKey.h"

namespace {

// Names that one case-blind file system takes for one file share a key;
// names it tells apart do not.
TEST(NameKey, OneFileOnCaseBlindSystems)
{
    static const struct {
        const char* one;
        const char* other;
        bool same;
    } cases[] = {
        {"IMG_1.JPG", "img_1.jpg", true},
        {u8"\u00C9mile.jpg", u8"\u00E9mile.jpg", true},   // É and é
        {u8"\u00E9mile.jpg", u8"e\u0301mile.jpg", true},  // NFC and NFD
        {u8"\u00C9mile.jpg", u8"e\u0301mile.jpg", true},
        {u8"\u0395\u039B\u039B\u0391\u03A3", u8"\u03B5\u03BB\u03BB\u03B1\u03C2", true},  // final sigma
        {u8"\u0424\u043E\u0442\u043E", u8"\u0444\u043E\u0442\u043E", true},              // Фото, фото
        {u8"\u212Aelvin", "kelvin", true},  // the Kelvin sign
        {"a.jpg", "b.jpg", false},
        {u8"\u00E9mile.jpg", "emile.jpg", false},
        {"\xC9mile.jpg", "\xE9mile.jpg", false},  // Latin-1 bytes: no letters to fold
        {"ABC\xFF", "abc\xFF", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.one) + " / " + c.other);
        EXPECT_EQ(nameKey(c.one) == nameKey(c.other), c.same);
    }
}

}  // namespace
