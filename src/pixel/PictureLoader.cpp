#include "pixel/PictureLoader.h"

#include "pixel/FitInBox.h"
#include "pixel/PictureFile.h"

long long scaledSide(long long size, int numerator)
{
    return (size * numerator + 7) / 8;
}

int jpegScaleNumerator(int width, int height, long long targetWidth, long long targetHeight)
{
    int numerator = 1;
    while (numerator < 8 && (scaledSide(width, numerator) < 2 * targetWidth ||
                             scaledSide(height, numerator) < 2 * targetHeight))
        numerator *= 2;
    return numerator;
}

int boxScaleNumerator(int width, int height, int box)
{
    if (box <= 0 || (width <= box && height <= box))
        return 8;
    const FittedSize target = fitInBox(width, height, box, box);
    return jpegScaleNumerator(width, height, target.width, target.height);
}

bool loadPicture(const std::string& path, int box, LoadedPicture& picture, const std::atomic<bool>* cancel)
{
    return PictureFile(path).load(box, picture, cancel);
}
