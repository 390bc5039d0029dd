#include "jpeg/ExifBuilder.h"

#include <filesystem>
#include <fstream>
#include <stdexcept>

ByteWriter& ByteWriter::u8(std::uint8_t v)
{
    data.push_back(v);
    return *this;
}

ByteWriter& ByteWriter::u16(std::uint16_t v)
{
    if (big_)
        return u8(v >> 8).u8(v & 0xFF);
    return u8(v & 0xFF).u8(v >> 8);
}

ByteWriter& ByteWriter::u32(std::uint32_t v)
{
    if (big_)
        return u16(v >> 16).u16(v & 0xFFFF);
    return u16(v & 0xFFFF).u16(v >> 16);
}

ByteWriter& ByteWriter::text(const std::string& s)
{
    data.insert(data.end(), s.begin(), s.end());
    return *this;
}

void ByteWriter::patch32(std::size_t at, std::uint32_t v)
{
    ByteWriter w(big_);
    w.u32(v);
    std::copy(w.data.begin(), w.data.end(), data.begin() + at);
}

void patchTiff32(Bytes& tiff, bool bigEndian, std::size_t at, std::uint32_t v)
{
    ByteWriter w(bigEndian);
    w.data = tiff;
    w.patch32(at, v);
    tiff = w.data;
}

std::uint32_t appendDirectory(Bytes& tiff, bool bigEndian, const std::vector<TestEntry>& entries,
                              std::uint32_t next)
{
    ByteWriter w(bigEndian);
    w.u16(static_cast<std::uint16_t>(entries.size()));
    for (const TestEntry& e : entries) {
        w.u16(e.tag).u16(e.format).u32(e.count);
        if (e.shortInline)
            w.u16(static_cast<std::uint16_t>(e.value)).u16(0);
        else
            w.u32(e.value);
    }
    w.u32(next);
    const auto offset = static_cast<std::uint32_t>(tiff.size());
    tiff.insert(tiff.end(), w.data.begin(), w.data.end());
    return offset;
}

Bytes tiffData(bool bigEndian, const std::vector<TestEntry>& entries, std::uint32_t next,
               std::uint32_t firstOffset)
{
    ByteWriter w(bigEndian);
    w.text(bigEndian ? "MM" : "II").u16(42).u32(firstOffset);
    while (w.size() < firstOffset)
        w.u8(0);
    appendDirectory(w.data, bigEndian, entries, next);
    return w.data;
}

TestEntry orientationShort(std::uint16_t value)
{
    return {0x0112, 3, 1, value, true};
}

Bytes exifPayload(const Bytes& tiff)
{
    Bytes payload = {'E', 'x', 'i', 'f', 0, 0};
    return payload + tiff;
}

Bytes segment(int marker, const Bytes& payload)
{
    const std::size_t size = payload.size() + 2;
    if (size > 0xFFFF)
        throw std::length_error("segment too large");
    Bytes s = {0xFF, static_cast<std::uint8_t>(marker), static_cast<std::uint8_t>(size >> 8),
               static_cast<std::uint8_t>(size & 0xFF)};
    return s + payload;
}

Bytes jpegOf(const std::vector<Bytes>& segments)
{
    Bytes out = {0xFF, 0xD8};
    for (const Bytes& s : segments)
        out = out + s;
    return out;
}

Bytes sosSegment()
{
    return segment(0xDA, {1, 1, 0, 0, 0x3F, 0});
}

Bytes jpegWithOrientation(bool bigEndian, std::uint16_t orientation)
{
    return jpegOf({segment(0xE1, exifPayload(tiffData(bigEndian, {orientationShort(orientation)}))),
                   sosSegment()});
}

Bytes operator+(Bytes a, const Bytes& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

void writeFile(const std::string& path, const Bytes& bytes)
{
    std::ofstream out(std::filesystem::u8path(path), std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!out)
        throw std::runtime_error("cannot write " + path);
}

Bytes exifWithTexts(bool big, const Texts& ifd0, const Texts& exif)
{
    const std::uint32_t ifd0Size = 2 + 12 * std::uint32_t(ifd0.size() + !exif.empty()) + 4;
    const std::uint32_t exifAt = 8 + ifd0Size;
    std::uint32_t textAt = exifAt + (exif.empty() ? 0 : 2 + 12 * std::uint32_t(exif.size()) + 4);
    ByteWriter w(big), strings(big);
    w.u8(big ? 'M' : 'I').u8(big ? 'M' : 'I').u16(42).u32(8);
    const auto entries = [&](const Texts& texts, bool link) {
        w.u16(std::uint16_t(texts.size() + link));
        for (const auto& [tag, text] : texts) {
            const std::uint32_t count = std::uint32_t(text.size() + 1);
            w.u16(tag).u16(2).u32(count);
            if (count <= 4) {
                w.text(text).u8(0);
                for (std::uint32_t i = count; i < 4; ++i)
                    w.u8(0);
            } else {
                w.u32(textAt + std::uint32_t(strings.size()));
                strings.text(text).u8(0);
            }
        }
        if (link)
            w.u16(0x8769).u16(4).u32(1).u32(exifAt);
        w.u32(0);
    };
    entries(ifd0, !exif.empty());
    if (!exif.empty())
        entries(exif, false);
    w.data.insert(w.data.end(), strings.data.begin(), strings.data.end());
    return exifPayload(w.data);
}
