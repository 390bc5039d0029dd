#include "pixel/FitInBox.h"

FittedSize fitInBox(long long width, long long height, long long boxWidth, long long boxHeight)
{
    // width / boxWidth >= height / boxHeight, compared without division.
    if (width * boxHeight >= height * boxWidth)
        return {boxWidth, width > 0 ? height * boxWidth / width : 0};
    return {height > 0 ? width * boxHeight / height : 0, boxHeight};
}
