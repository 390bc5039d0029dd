#include "pixel/PictureLoader.h"

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

int targetScaleNumerator(int width, int height, const FittedSize& target)
{
    if ((target.width <= 0 && target.height <= 0) || (target.width >= width && target.height >= height))
        return 8;
    return jpegScaleNumerator(width, height, target.width, target.height);
}

int boxScaleNumerator(int width, int height, int box)
{
    return targetScaleNumerator(width, height, boxTarget(width, height, box));
}

bool loadPicture(const std::string& path, int box, LoadedPicture& picture, const std::atomic<bool>* cancel)
{
    PictureFile file(path);
    std::uint32_t width = 0, height = 0;
    file.declaredSize(width, height);
    return file.load(boxTarget(width, height, box), picture, cancel);
}
