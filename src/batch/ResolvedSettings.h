#pragma once

#include <vector>

#include "pixel/ResultEncoder.h"
#include "pixel/ResultSize.h"
#include "pixel/Sharpening.h"
#include "settings/BatchSettings.h"

// The settings' texts read once, at the start of a batch, into what the
// plan and the pixel steps take: no picture reads a setting's text again.
struct ResolvedSettings {
    bool resize = true;
    bool rotate = true;
    SizeRule fit{FitMode::box, 800, 800, 2};
    ResultFormat format = ResultFormat::jpeg;
    Sharpening sharpening = Sharpening::off;
    std::vector<int> autoPlaces;  // empty: the mark stays at its placement
    bool toneByGround = false;    // a text mark light or dark by the ground under it
    bool focusOnDetail = true;    // a cover frame keeps the most detailed part, else the centre
    unsigned char background[3] = {255, 255, 255};  // around a picture in a contain frame
};

// Settings the table allowed; a text it would not allow reads as its default.
ResolvedSettings resolveSettings(const BatchSettings& settings);
