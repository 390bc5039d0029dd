// Prints "path<TAB>orientation" for each file, the orientation as
// MetadataHandler reads it ("-" when readExif() fails), to compare with
// other EXIF readers: bench/orientation_check.sh.
#include <cstdio>

#include "jpeg/MetadataHandler.h"

int main(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i) {
        MetadataHandler handler(argv[i], false);
        if (handler.readExif())
            std::printf("%s\t%d\n", argv[i], handler.orientation());
        else
            std::printf("%s\t-\n", argv[i]);
    }
    return 0;
}
