#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "jpeg/JpegFrame.h"

// What the batch needs from a JPEG's head, read in one pass: the frame,
// the ICC colour profile and the EXIF orientation.
struct JpegHead {
    bool hasFrame = false;
    JpegFrame frame;
    // Empty when the file has none, and when its chunks do not make one
    // whole profile: numbers missing or twice, counts that disagree, or a
    // profile whose own header gives another length.
    std::vector<unsigned char> iccProfile;
    // As MetadataHandler reports them: exifRead for the last Exif APP1
    // section, orientation 0 when unknown.
    bool exifRead = false;
    int orientation = 0;
    // That section's payload, "Exif\0\0" and its TIFF data, as found.
    std::vector<unsigned char> exif;
    // The date taken as the XMP packet gives it, in EXIF's form; empty when
    // it gives none (see xmpDateTaken).
    std::string xmpDateTaken;
    // The author, rights and lens the XMP packet names (see xmpText).
    std::string xmpCreator, xmpRights, xmpLens;
    // The processing record of a picture this program wrote (see
    // processingRecord); empty when there is none.
    std::string record;
};

// Every record starts so; it is written as a comment (COM) segment.
constexpr const char* recordPrefix = "Tessaly processed ";

// Walks the marker segments of a JPEG stream from its current position up
// to the first start-of-scan (see SegmentCursor), keeping only the frame,
// the ICC chunks, the orientation with its Exif section, and the processing
// record. Bounded: at most maxHeadSegments segments; nothing else is held,
// so a profile of all 255 chunks is read whole. Reads ahead of the scan:
// the caller sets the stream's position afterwards. False when the stream
// is no JPEG, breaks off or exceeds a bound before the scan; what was found
// until then is kept.
bool readJpegHead(std::FILE* stream, JpegHead& head);

constexpr int maxHeadSegments = 1024;
