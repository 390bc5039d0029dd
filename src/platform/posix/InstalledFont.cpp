#include "platform/InstalledFont.h"

#include <strings.h>

#include <fontconfig/fontconfig.h>

bool findInstalledFont(const std::string& family, FontLocation& found)
{
    // A configuration of its own, given back after the lookup: the
    // library's shared one would stay allocated until the program ends.
    FcConfig* config = family.empty() ? nullptr : FcInitLoadConfigAndFonts();
    if (!config)
        return false;
    FcPattern* pattern = FcPatternCreate();
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
    FcPatternAddInteger(pattern, FC_SLANT, FC_SLANT_ROMAN);
    FcPatternAddInteger(pattern, FC_WEIGHT, FC_WEIGHT_REGULAR);
    FcConfigSubstitute(config, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result = FcResultNoMatch;
    FcPattern* match = FcFontMatch(config, pattern, &result);
    FcPatternDestroy(pattern);
    if (!match) {
        FcConfigDestroy(config);
        return false;
    }
    // fontconfig always answers with some font: only the family asked for counts.
    bool named = false;
    FcChar8* name = nullptr;
    for (int i = 0; FcPatternGetString(match, FC_FAMILY, i, &name) == FcResultMatch; ++i)
        named = named || strcasecmp(reinterpret_cast<const char*>(name), family.c_str()) == 0;
    FcChar8* file = nullptr;
    int index = 0;
    if (named && FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch) {
        FcPatternGetInteger(match, FC_INDEX, 0, &index);
        found = {reinterpret_cast<const char*>(file), index};
    }
    FcPatternDestroy(match);
    FcConfigDestroy(config);
    return named && !found.file.empty();
}
