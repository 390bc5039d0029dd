#include "batch/ResolvedSettings.h"

#include "pixel/MarkPlaces.h"
#include "text/ColourText.h"

ResolvedSettings resolveSettings(const BatchSettings& settings)
{
    ResolvedSettings resolved;
    resolved.resize = settings.resize;
    resolved.rotate = settings.rotate;
    if (!fitModeFromName(settings.fitMode, resolved.fit.mode))
        resolved.fit.mode = FitMode::box;
    resolved.fit.width = settings.width;
    resolved.fit.height = settings.height;
    resolved.fit.megapixels = settings.fitMegapixels;
    resolved.format = settings.outputFormat == "webp" ? ResultFormat::webp : ResultFormat::jpeg;
    sharpeningFromName(settings.sharpening, resolved.sharpening);
    if (settings.autoPlacement && !placesFromList(settings.autoPlaces, resolved.autoPlaces))
        resolved.autoPlaces.clear();
    resolved.toneByGround = settings.textWatermark && settings.textColour == "auto";
    resolved.focusOnDetail = settings.focus != "centre";
    colourFromText(settings.background, resolved.background);
    return resolved;
}
