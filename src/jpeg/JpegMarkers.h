#pragma once

// The codes of the JPEG markers this program reads or writes, behind 0xFF.
namespace jpegMarker {

constexpr int sof0 = 0xC0;  // baseline frame
constexpr int sof2 = 0xC2;  // progressive frame
constexpr int dht = 0xC4;   // Huffman tables
constexpr int rst0 = 0xD0;  // the first of eight restart markers
constexpr int soi = 0xD8;
constexpr int eoi = 0xD9;
constexpr int sos = 0xDA;
constexpr int dqt = 0xDB;   // quantization tables
constexpr int dri = 0xDD;   // restart interval
constexpr int app0 = 0xE0;  // JFIF
constexpr int app1 = 0xE1;  // Exif, XMP
constexpr int app2 = 0xE2;  // ICC profile chunks
constexpr int app14 = 0xEE; // Adobe
constexpr int com = 0xFE;   // comment

}  // namespace jpegMarker
