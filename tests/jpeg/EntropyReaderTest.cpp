#include <cstdint>
#include <cstdio>
#include <vector>

#include <gtest/gtest.h>

#include "TempDir.h"
#include "jpeg/ByteSource.h"
#include "jpeg/EntropyReader.h"
#include "jpeg/HuffmanTable.h"

namespace {

// A hostile DHT segment must not build a table that reads past its symbols
// or its look-up table, and JPEG's reserved all-ones code stays unused.
TEST(HuffmanTable, RefusesTablesNoEncoderWrites)
{
    static const struct {
        const char* name;
        std::vector<int> counts;  // codes of 1, 2, ... bits
        int symbol;               // every symbol
        bool dc, builds;
    } cases[] = {
        {"0, 10, 110", {1, 1, 1}, 5, true, true},
        {"the all-ones code used", {1, 1, 2}, 5, true, false},
        {"more codes than one bit holds", {3}, 5, false, false},
        {"300 codes", {0, 0, 0, 0, 0, 0, 0, 0, 200, 100}, 5, false, false},
        {"DC size above 15", {1, 1, 1}, 16, true, false},
        {"AC symbol 16", {1, 1, 1}, 16, false, true},
    };
    for (const auto& c : cases) {
        std::uint8_t counts[16] = {};
        for (std::size_t i = 0; i < c.counts.size(); ++i)
            counts[i] = static_cast<std::uint8_t>(c.counts[i]);
        const std::vector<std::uint8_t> symbols(256, static_cast<std::uint8_t>(c.symbol));
        HuffmanTable table;
        EXPECT_EQ(table.build(counts, symbols.data(), c.dc), c.builds) << c.name;
        EXPECT_EQ(table.defined(), c.builds) << c.name;
    }
}

struct Read {
    std::vector<int> symbols;
    bool overrun;
    int marker;
};

// Codes 0, 10, 110, then 1110 and up to twelve bits: the last beyond the
// look-up table's reach.
Read readCodes(std::vector<std::uint8_t> bytes, int rawBits, int count)
{
    std::uint8_t counts[16] = {1, 1, 1, 1, 0, 0, 0, 0, 0, 0, 0, 1};
    const std::uint8_t symbols[] = {1, 2, 3, 4, 12};
    HuffmanTable table;
    EXPECT_TRUE(table.build(counts, symbols, false));
    std::FILE* stream = streamOf(bytes.data(), bytes.size());
    ByteSource source(stream);
    EntropyReader reader(source);
    Read read;
    if (rawBits > 0)
        read.symbols.push_back(reader.take(rawBits));
    for (int i = 0; i < count; ++i)
        read.symbols.push_back(reader.decode(table));
    read.overrun = reader.overrun();
    read.marker = reader.finish();
    std::fclose(stream);
    return read;
}

TEST(EntropyReader, StuffingMarkersAndTheEnd)
{
    static const struct {
        const char* name;
        std::vector<std::uint8_t> bytes;
        int rawBits, count;
        std::vector<int> symbols;
        bool overrun;
        int marker;
    } cases[] = {
        // 0 10 110 1110, then 1s to the byte's end.
        {"codes, then a marker", {0x5B, 0xBF, 0xFF, 0xD0}, 0, 4, {1, 2, 3, 4}, false, 0xD0},
        {"a 12-bit code", {0xF0, 0x0F, 0xFF, 0xFF, 0xD9}, 0, 1, {12}, false, 0xD9},
        // 0xFF as data is followed by a zero that is no data.
        {"a stuffed byte", {0xFF, 0x00, 0x00, 0xFF, 0xD9}, 8, 8, {255, 1, 1, 1, 1, 1, 1, 1, 1}, false, 0xD9},
        {"fill bytes before the marker", {0x00, 0xFF, 0xFF, 0xFF, 0xDA}, 0, 1, {1}, false, 0xDA},
        // Bits past the marker are made up: the decoder must not use them.
        {"past the marker", {0x00, 0xFF, 0xD9}, 0, 9, {1, 1, 1, 1, 1, 1, 1, 1, 1}, true, -1},
        {"a byte left over", {0x00, 0x12, 0xFF, 0xD9}, 0, 1, {1}, false, -1},
        {"no code has these bits", {0xFF, 0x00, 0xFF, 0xD9}, 0, 1, {-1}, false, -1},
        {"the end of the file", {0x00}, 0, 1, {1}, false, EntropyReader::endOfFile},
    };
    for (const auto& c : cases) {
        const Read read = readCodes(c.bytes, c.rawBits, c.count);
        EXPECT_EQ(read.symbols, c.symbols) << c.name;
        EXPECT_EQ(read.overrun, c.overrun) << c.name;
        EXPECT_EQ(read.marker, c.marker) << c.name;
    }
}

}  // namespace
