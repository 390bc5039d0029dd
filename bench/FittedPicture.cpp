#include "FittedPicture.h"

#include <cmath>

#include "pixel/FitInBox.h"
#include "pixel/Resample.h"

wxImage fittedInto(const LoadedPicture& picture, int box)
{
    const FittedSize size = fitInBox(picture.storedWidth, picture.storedHeight, box, box);
    if (picture.image.GetWidth() == size.width && picture.image.GetHeight() == size.height)
        return picture.image;
    return resampleLanczos3(picture.image, static_cast<int>(size.width), static_cast<int>(size.height));
}

double psnr(const wxImage& a, const wxImage& b)
{
    const long long n = 3LL * a.GetWidth() * a.GetHeight();
    double sum = 0;
    for (long long i = 0; i < n; ++i) {
        const double d = double(a.GetData()[i]) - b.GetData()[i];
        sum += d * d;
    }
    return sum == 0 ? 99.0 : 10 * std::log10(255.0 * 255.0 * n / sum);
}
