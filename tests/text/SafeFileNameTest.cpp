#include <gtest/gtest.h>

#include "text/SafeFileName.h"

// Names that Windows refuses or misreads, and names too long for any file
// system, made safe the same way on every system.
TEST(SafeFileName, ValuesAndNames)
{
    static const struct {
        std::string value, expected;
    } values[] = {
        {"AC/DC\\live", "AC_DC_live"},
        {"12:30:05", "12-30-05"},
        {"a*b?c\"d<e>f|g", "a_b_c_d_e_f_g"},
        {"tab\there\x01", "tab_here_"},
        {"\xE9t\xE9", "\xC3\xA9t\xC3\xA9"},  // Latin-1 from an old camera, as UTF-8
        {"Zoë", "Zoë"},
    };
    for (const auto& v : values)
        EXPECT_EQ(nameValue(v.value), v.expected) << v.value;

    const std::string e = "\xC3\xA9", euro = "\xE2\x82\xAC";
    std::string longE, longEuro;
    for (int i = 0; i < 300; ++i) {
        longE += e;
        longEuro += euro;
    }
    static const struct {
        std::string name, tail, expected;
    } names[] = {
        {"CON", ".jpg", "CON_.jpg"},
        {"con.tar", ".jpg", "con_.tar.jpg"},
        {"Aux ", "", "Aux_"},
        {"COM1", " (2).jpg", "COM1_ (2).jpg"},
        {"lpt9", "", "lpt9_"},
        {"COM\xC2\xB9", ".jpg", "COM\xC2\xB9_.jpg"},
        {"COM0", ".jpg", "COM0.jpg"},
        {"CONSOLE", ".jpg", "CONSOLE.jpg"},
        {"NULL", "", "NULL"},
        {"end. . ", ".jpg", "end.jpg"},
        {"..", "", "_"},
        {"", ".jpg", "_.jpg"},
        {"2024:05:01 a/b", "", "2024-05-01 a_b"},
        // Shortened by whole characters, room kept for the tail.
        {longE, ".jpg", std::string(longE, 0, 250) + ".jpg"},
        {longEuro, ".jpg", std::string(longEuro, 0, 249) + ".jpg"},
        {std::string(300, 'a') + " .", "", std::string(254, 'a')},
    };
    for (const auto& n : names) {
        const std::string made = safeName(n.name, n.tail);
        EXPECT_EQ(made, n.expected) << n.name;
        EXPECT_LE(made.size(), mostNameBytes) << n.name;
    }
}
