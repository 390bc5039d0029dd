#include "batch/PictureLoader.h"

#include "batch/FitInBox.h"
#include "batch/PictureFile.h"

long long reducedSide(long long size, int denominator)
{
    return (size + denominator - 1) / denominator;
}

int jpegScaleDenominator(int width, int height, long long targetWidth, long long targetHeight)
{
    int denominator = 1;
    while (denominator < 8 && reducedSide(width, denominator * 2) >= 2 * targetWidth &&
           reducedSide(height, denominator * 2) >= 2 * targetHeight)
        denominator *= 2;
    return denominator;
}

int boxScaleDenominator(int width, int height, int box)
{
    if (box <= 0 || (width <= box && height <= box))
        return 1;
    const FittedSize target = fitInBox(width, height, box, box);
    return jpegScaleDenominator(width, height, target.width, target.height);
}

bool loadPicture(const std::string& path, int box, LoadedPicture& picture, const std::atomic<bool>* cancel)
{
    return PictureFile(path).load(box, picture, cancel);
}
