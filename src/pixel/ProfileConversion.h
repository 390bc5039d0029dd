#pragma once

#include <vector>

#include <wx/image.h>

// Converts a picture's rows from its own colour space into sRGB through
// its ICC colour profile, with lcms2. For the CMYK and grey pictures whose
// profile cannot go onto the rewritten RGB picture: the colours are made
// right once, and the result needs no profile.
class ProfileConversion {
public:
    enum class Input { cmyk, invertedCmyk, grey };

    ProfileConversion() = default;
    ~ProfileConversion();
    ProfileConversion(const ProfileConversion&) = delete;
    ProfileConversion& operator=(const ProfileConversion&) = delete;

    // False, with nothing to convert, when the profile does not open or
    // does not describe the input's colour space.
    bool open(const std::vector<unsigned char>& profile, Input input);
    // Between an RGB profile and sRGB, either way; false when the profile
    // does not open or describes no RGB.
    bool openRgb(const std::vector<unsigned char>& profile, bool toSrgb);
    bool isOpen() const { return transform_ != nullptr; }
    // width pixels of the input (4 or 1 bytes each) into 3-byte RGB.
    void convert(const unsigned char* input, unsigned char* rgb, unsigned width) const;

private:
    void* transform_ = nullptr;
};

// Whether the profile's header says it describes RGB pixels: only such a
// profile may go with the rewritten picture.
bool describesRgb(const std::vector<unsigned char>& profile);

// Converts the RGB picture's pixels, in place, from the RGB profile's
// colour space into sRGB (toSrgb) or from sRGB into it. False, with the
// picture unchanged, when the profile cannot be used.
bool convertRgbPicture(wxImage& picture, const std::vector<unsigned char>& profile, bool toSrgb);
