#include "batch/PictureLoader.h"

#include "batch/FitInBox.h"
#include "batch/PictureFile.h"

long long scaledSide(long long size, int numerator)
{
    return (size * numerator + 7) / 8;
}

int jpegScaleNumerator(int width, int height, long long targetWidth, long long targetHeight, int cover)
{
    int numerator = 1;
    while (numerator < 8 && (2 * scaledSide(width, numerator) < cover * targetWidth ||
                             2 * scaledSide(height, numerator) < cover * targetHeight))
        numerator *= 2;
    return numerator;
}

namespace {

int numeratorForBox(int width, int height, int box, int cover)
{
    if (box <= 0 || (width <= box && height <= box))
        return 8;
    const FittedSize target = fitInBox(width, height, box, box);
    return jpegScaleNumerator(width, height, target.width, target.height, cover);
}

}  // namespace

int boxScaleNumerator(int width, int height, int box)
{
    return numeratorForBox(width, height, box, 4);
}

int reducedScaleNumerator(int width, int height, int box)
{
    return numeratorForBox(width, height, box, 3);
}

bool loadPicture(const std::string& path, int box, LoadedPicture& picture, const std::atomic<bool>* cancel)
{
    return PictureFile(path).load(box, picture, cancel);
}
