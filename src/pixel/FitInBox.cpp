#include "pixel/FitInBox.h"

FittedSize fitInBox(long long width, long long height, long long boxWidth, long long boxHeight)
{
    // width / boxWidth >= height / boxHeight, compared without division.
    if (width * boxHeight >= height * boxWidth)
        return {boxWidth, width > 0 ? height * boxWidth / width : 0};
    return {height > 0 ? width * boxHeight / height : 0, boxHeight};
}

FittedSize boxTarget(long long width, long long height, long long box)
{
    if (box <= 0 || (width <= box && height <= box))
        return {0, 0};
    return fitInBox(width, height, box, box);
}
