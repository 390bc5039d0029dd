#pragma once

#include <string>

#include "pixel/FitInBox.h"

// How a result is fitted: into the square box (the default), by its long
// or short side, to a width or a height, into a width x height frame, to a
// number of megapixels, or to fill a frame (cover: shrunk until it covers
// the frame, then cropped to it) or fit one with a border (contain).
enum class FitMode { box, longSide, shortSide, width, height, frame, megapixels, cover, contain };

// A fit mode with its measures: width for the box and the sides, width
// and height for the frame, megapixels for the area.
struct SizeRule {
    FitMode mode = FitMode::box;
    long long width = 0;
    long long height = 0;
    double megapixels = 0;
};

// "box", "long", "short", "width", "height", "frame", "mp", "cover" and "contain".
const char* fitModeName(FitMode mode);
bool fitModeFromName(const std::string& name, FitMode& mode);

// A rule as tessaly-batch's --fit takes it: "long:1600", "short:1080",
// "width:1200", "height:900", "box:800", "1920x1080", "mp:2",
// "cover:1080x1350" or "contain:1080x1080". False for anything else, a zero
// measure among it.
bool sizeRuleFromText(const std::string& text, SizeRule& rule);
// Megapixels as "2" or "1.5": digits, "." and at most two decimals, from
// 0.01 to 1000.
bool megapixelsFromText(const std::string& text, double& megapixels);
// The rule in that form.
std::string sizeRuleText(const SizeRule& rule);

// Whether an upright width x height picture is shrunk by the rule, and to
// what size. Never enlarged: a picture within the rule keeps its size.
// Exact integer arithmetic; the box keeps fitInBox's rule to the pixel.
// Cover shrinks until both sides reach the frame's, no further.
bool shrinksUnder(const SizeRule& rule, long long width, long long height, FittedSize& fitted);

// The part of an upright width x height picture (shrunk by the rule) that a
// cover frame keeps: the frame, or where the picture is smaller than the
// frame, the largest part of the frame's shape it holds, at its own size.
FittedSize coverCrop(const SizeRule& rule, long long width, long long height);
