#pragma once

#include <string>

// What the user chooses for a batch: the window's controls and
// Preferences, prefs.cfg and tessaly-batch's options all read and write
// this one record. Plain values, texts in UTF-8, so that every front end
// and the file share it; the defaults are those of a new prefs.cfg.
// A field added here must also be added to forEachSetting, or the program
// does not build.
struct BatchSettings {
    std::string waterImgFile;      // watermark image path
    bool resize = true;            // shrink into the width x width box
    bool useWatermark = true;
    bool rotate = true;            // turn upright by the EXIF orientation
    int width = 800;               // the box's side in pixels; the measure of the other fit modes
    int height = 800;              // kept in prefs.cfg; the box is square, a frame's height
    std::string fitMode = "box";   // box, long, short, width, height, frame, cover or contain (width x height) or mp
    double fitMegapixels = 2;      // with the fit mode mp
    double alpha = 0.2;            // opacity of a watermark without alpha channel
    int quality = 82;              // JPEG quality in percent
    bool includeSubdirectories = false;
    int wmPlacement = 5;           // watermark position 1..9, row by row
    bool skipUnreadable = false;   // go on past a picture that cannot be read
    bool saveToFolder = false;     // write results below resultsFolder, keeping the originals
    std::string resultsFolder;
    bool keepExif = false;         // carry date, camera and copyright over
    bool keepGps = false;          // with keepExif: the GPS position too
    double watermarkSize = 0;      // % of the picture's longer side; 0: the watermark's own size
    double watermarkMargin = 0;    // % of the picture's longer side
    bool convertToSrgb = false;    // pictures with a colour profile converted into sRGB
    bool skipProcessed = false;    // leave pictures already processed with the same settings
    bool textWatermark = false;    // the watermark is a line of text instead of the picture
    std::string watermarkText = "\u00a9 {artist} {year}";  // with tokens from the picture
    std::string textFont;          // family name or font file; empty: the font that comes with the program
    std::string textColour = "#FFFFFF";
    double textSize = 4;           // letter height in % of the picture's longer side
    bool textShadow = true;        // a soft shadow in the other tone keeps the text readable
    std::string outputFormat = "jpeg";  // "jpeg", or "webp": written beside the originals, never over them
    bool progressive = false;      // JPEG results in progressive scans
    bool fullChroma = false;       // JPEG colour at full resolution (4:4:4) at every quality
    int maxFileSize = 0;           // at most this many KB (1000 bytes) a result; 0: no limit
    std::string sharpening = "off";  // after the shrink: off, low, standard or high
    bool autoPlacement = false;    // the mark goes to the calmest of autoPlaces, not to wmPlacement
    std::string autoPlaces = "top-left,top-right,bottom-left,bottom-right";
    std::string brightWatermark;   // the picture mark's version for bright ground (a dark logo)
    std::string nameTemplate;      // with a results folder: the results' names and subfolders, with tokens
    std::string focus = "detail";  // what a cover frame keeps: the most detailed part, or the centre
    std::string background = "#FFFFFF";  // around a picture in a contain frame
    double textOpacity = 0.8;      // a text mark's own opacity: a signature is read, not guessed at
};
