#include "pixel/ProfileConversion.h"

#include <cstring>

#include <lcms2.h>

ProfileConversion::~ProfileConversion()
{
    if (transform_)
        cmsDeleteTransform(static_cast<cmsHTRANSFORM>(transform_));
}

bool ProfileConversion::open(const std::vector<unsigned char>& profile, Input input)
{
    if (profile.empty())
        return false;
    cmsHPROFILE source = cmsOpenProfileFromMem(profile.data(), static_cast<cmsUInt32Number>(profile.size()));
    if (!source)
        return false;
    const cmsColorSpaceSignature space = input == Input::grey ? cmsSigGrayData : cmsSigCmykData;
    if (cmsGetColorSpace(source) == space) {
        const cmsUInt32Number format = input == Input::grey           ? TYPE_GRAY_8
                                       : input == Input::invertedCmyk ? TYPE_CMYK_8_REV
                                                                      : TYPE_CMYK_8;
        cmsHPROFILE srgb = cmsCreate_sRGBProfile();
        // Perceptual, as colour-managed viewers and print tools use by default.
        transform_ = cmsCreateTransform(source, format, srgb, TYPE_RGB_8, INTENT_PERCEPTUAL, 0);
        cmsCloseProfile(srgb);
    }
    cmsCloseProfile(source);
    return transform_ != nullptr;
}

bool ProfileConversion::openRgb(const std::vector<unsigned char>& profile, bool toSrgb)
{
    if (!describesRgb(profile))
        return false;
    cmsHPROFILE own = cmsOpenProfileFromMem(profile.data(), static_cast<cmsUInt32Number>(profile.size()));
    if (!own)
        return false;
    if (cmsGetColorSpace(own) == cmsSigRgbData) {
        cmsHPROFILE srgb = cmsCreate_sRGBProfile();
        transform_ = toSrgb ? cmsCreateTransform(own, TYPE_RGB_8, srgb, TYPE_RGB_8, INTENT_PERCEPTUAL, 0)
                            : cmsCreateTransform(srgb, TYPE_RGB_8, own, TYPE_RGB_8, INTENT_PERCEPTUAL, 0);
        cmsCloseProfile(srgb);
    }
    cmsCloseProfile(own);
    return transform_ != nullptr;
}

void ProfileConversion::convert(const unsigned char* input, unsigned char* rgb, unsigned width) const
{
    cmsDoTransform(static_cast<cmsHTRANSFORM>(transform_), input, rgb, width);
}

bool describesRgb(const std::vector<unsigned char>& profile)
{
    // The data colour space stands at bytes 16..19 of the header.
    return profile.size() >= 20 && std::memcmp(profile.data() + 16, "RGB ", 4) == 0;
}

bool convertRgbPicture(wxImage& picture, const std::vector<unsigned char>& profile, bool toSrgb)
{
    ProfileConversion conversion;
    if (!picture.IsOk() || !conversion.openRgb(profile, toSrgb))
        return false;
    unsigned char* rgb = picture.GetData();
    const unsigned width = static_cast<unsigned>(picture.GetWidth());
    for (int y = 0; y < picture.GetHeight(); ++y, rgb += 3 * std::size_t(width))
        conversion.convert(rgb, rgb, width);
    return true;
}
