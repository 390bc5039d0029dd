#include "jpeg/ProgressiveDecoder.h"

#include <algorithm>
#include <iterator>
#include <cstring>

#include "jpeg/CoefficientBits.h"
#include "jpeg/FancyUpsampling.h"
#include "jpeg/JpegHead.h"
#include "jpeg/JpegMarkers.h"
#include "jpeg/ReducedIdct.h"
#include "platform/ProcessorFeatures.h"

namespace {

// The natural (row-major) position of each zigzag position.
constexpr int naturalOrder[64] = {
    0,  1,  8,  16, 9,  2,  3,  10, 17, 24, 32, 25, 18, 11, 4,  5,  12, 19, 26, 33, 40, 48,
    41, 34, 27, 20, 13, 6,  7,  14, 21, 28, 35, 42, 49, 56, 57, 50, 43, 36, 29, 22, 15, 23,
    30, 37, 44, 51, 58, 59, 52, 45, 38, 31, 39, 46, 53, 60, 61, 54, 47, 55, 62, 63};

// The largest side libjpeg decodes; a larger picture is refused there too.
constexpr int maxSide = 65500;

// The most blocks an interleaved MCU may hold.
constexpr int maxBlocksInMcu = 10;

int divideUp(long long value, long long divisor)
{
    return static_cast<int>((value + divisor - 1) / divisor);
}

bool fitsCoefficient(int value)
{
    return value >= -32768 && value <= 32767;
}

// Rounded and clamped as a whole number, which the compiler vectorises.
// With 16-bit coefficients and quantizers up to 255, a sample stays far
// inside what an int holds.
int sample(float value)
{
    return std::clamp(static_cast<int>(value + 0.5f), 0, 255);
}

// The bits set, in a few arithmetic steps: the builtin is a library call
// on processors without a population-count instruction.
int bitCount(std::uint64_t bits)
{
    bits -= (bits >> 1) & 0x5555555555555555u;
    bits = (bits & 0x3333333333333333u) + ((bits >> 2) & 0x3333333333333333u);
    bits = (bits + (bits >> 4)) & 0x0F0F0F0F0F0F0F0Fu;
    return static_cast<int>((bits * 0x0101010101010101u) >> 56);
}

// YCbCr to RGB in 16-bit fixed point, as libjpeg converts.
constexpr int scaleBits = 16;
constexpr int half = 1 << (scaleBits - 1);

constexpr int fixed(double value)
{
    return static_cast<int>(value * (1 << scaleBits) + 0.5);
}

// One row of the three planes as RGB. Each component is rounded to a
// sample in 0..255 first, and the colours are worked out in libjpeg's fixed
// point, so that a picture decoded here matches one libjpeg decodes. A
// colour at a time, which the compiler turns into vector code, then
// interleaved.
inline __attribute__((always_inline)) void rgbRowWith(const float* luma, const float* blue, const float* red,
                                                      int width, std::vector<int>* planes, unsigned char* row)
{
    int* const first = planes[0].data();
    int* const second = planes[1].data();
    int* const third = planes[2].data();
    for (int x = 0; x < width; ++x) {
        first[x] = sample(luma[x] + 128);
        second[x] = sample(blue[x] + 128) - 128;
        third[x] = sample(red[x] + 128) - 128;
    }
    for (int x = 0; x < width; ++x) {
        const int grey = first[x];
        const int cb = second[x];
        const int cr = third[x];
        first[x] = std::clamp(grey + ((fixed(1.402) * cr + half) >> scaleBits), 0, 255);
        second[x] = std::clamp(grey + ((half - fixed(0.34414) * cb - fixed(0.71414) * cr) >> scaleBits), 0, 255);
        third[x] = std::clamp(grey + ((fixed(1.772) * cb + half) >> scaleBits), 0, 255);
    }
    for (int x = 0; x < width; ++x) {
        row[3 * x] = static_cast<unsigned char>(first[x]);
        row[3 * x + 1] = static_cast<unsigned char>(second[x]);
        row[3 * x + 2] = static_cast<unsigned char>(third[x]);
    }
}

void rgbRowPlain(const float* luma, const float* blue, const float* red, int width, std::vector<int>* planes,
                 unsigned char* row)
{
    rgbRowWith(luma, blue, red, width, planes, row);
}

__attribute__((target("avx2"))) void rgbRowAvx2(const float* luma, const float* blue, const float* red, int width,
                                                std::vector<int>* planes, unsigned char* row)
{
    rgbRowWith(luma, blue, red, width, planes, row);
}

}  // namespace

ProgressiveDecoder::ProgressiveDecoder(std::FILE* file, int maxScans, const std::atomic<bool>* cancel)
    : source_(file), cursor_(source_), reader_(source_), maxScans_(maxScans), cancel_(cancel)
{
}

bool ProgressiveDecoder::readHead()
{
    if (!cursor_.startOfImage())
        return false;
    // As many segments as the batch's head reader takes.
    for (int segments = 0; segments < maxHeadSegments; ++segments) {
        const int marker = cursor_.nextMarker();
        if (marker == jpegMarker::sos) {
            if (!framed_)
                return false;
            return components_.size() == 1 || ycbcr() || decline(Decline::notTaken);
        }
        if (marker < 0 || !readSegment(marker))
            return false;
    }
    return false;
}

bool ProgressiveDecoder::readSegment(int marker)
{
    const int length = source_.next16();
    if (length < 2)
        return false;
    const auto size = static_cast<std::size_t>(length - 2);
    const bool parsed = marker == jpegMarker::sof2 || marker == jpegMarker::dht || marker == jpegMarker::dqt || marker == jpegMarker::dri ||
                        marker == jpegMarker::app0 || marker == jpegMarker::app14;
    if (!parsed) {
        const bool skippable = (marker > jpegMarker::app0 && marker <= 0xEF) || marker == jpegMarker::com;
        // Another frame: sequential, or arithmetic, lossless or hierarchical.
        const bool frame = marker >= jpegMarker::sof0 && marker <= 0xCF && marker != jpegMarker::dht &&
                           marker != 0xC8 && marker != 0xCC;
        if (frame)
            return decline(marker <= 0xC1 ? Decline::notProgressive : Decline::notTaken);
        return skippable && source_.skip(size);
    }
    std::vector<std::uint8_t> data(size);
    for (auto& byte : data) {
        const int value = source_.next();
        if (value < 0)
            return false;
        byte = static_cast<std::uint8_t>(value);
    }
    switch (marker) {
    case jpegMarker::sof2:
        return readFrame(data);
    case jpegMarker::dht:
        return readHuffmanTables(data);
    case jpegMarker::dqt:
        return readQuantTables(data);
    case jpegMarker::dri:
        if (size != 2)
            return false;
        restartInterval_ = data[0] << 8 | data[1];
        return true;
    case jpegMarker::app0:
        if (size >= 14 && std::memcmp(data.data(), "JFIF", 5) == 0)
            jfif_ = true;
        return true;
    default:
        if (size >= 12 && std::memcmp(data.data(), "Adobe", 5) == 0) {
            adobe_ = true;
            adobeTransform_ = data[11];
        }
        return true;
    }
}

bool ProgressiveDecoder::readFrame(const std::vector<std::uint8_t>& data)
{
    if (framed_ || data.size() < 6)
        return false;
    const int count = data[5];
    if (data.size() != 6u + 3u * count)
        return false;
    if (data[0] != 8 || (count != 1 && count != 3))
        return decline(Decline::notTaken);
    height_ = data[1] << 8 | data[2];
    width_ = data[3] << 8 | data[4];
    if (width_ == 0 || height_ == 0)
        return false;
    if (width_ > maxSide || height_ > maxSide)
        return decline(Decline::notTaken);
    components_.resize(count);
    for (int c = 0; c < count; ++c) {
        Component& component = components_[c];
        const std::uint8_t* entry = &data[6 + 3 * c];
        component.id = entry[0];
        component.horizontal = entry[1] >> 4;
        component.vertical = entry[1] & 15;
        component.quantTable = entry[2];
        if (component.quantTable > 3)
            return false;
        if (component.horizontal < 1 || component.horizontal > 2 || component.vertical < 1 || component.vertical > 2)
            return decline(Decline::notTaken);
        for (int other = 0; other < c; ++other)
            if (components_[other].id == component.id)
                return false;
        maxHorizontal_ = std::max(maxHorizontal_, component.horizontal);
        maxVertical_ = std::max(maxVertical_, component.vertical);
    }
    mcusAcross_ = divideUp(width_, 8 * maxHorizontal_);
    mcusDown_ = divideUp(height_, 8 * maxVertical_);
    for (Component& component : components_) {
        component.blocksAcross = divideUp(divideUp(1LL * width_ * component.horizontal, maxHorizontal_), 8);
        component.blocksDown = divideUp(divideUp(1LL * height_ * component.vertical, maxVertical_), 8);
        component.storedAcross = mcusAcross_ * component.horizontal;
        component.storedDown = mcusDown_ * component.vertical;
    }
    framed_ = true;
    return true;
}

bool ProgressiveDecoder::readHuffmanTables(const std::vector<std::uint8_t>& data)
{
    std::size_t at = 0;
    while (at < data.size()) {
        if (data.size() - at < 17)
            return false;
        const int type = data[at] >> 4;
        const int index = data[at] & 15;
        if (type > 1 || index > 3)
            return false;
        const std::uint8_t* counts = &data[at + 1];
        std::size_t total = 0;
        for (int i = 0; i < 16; ++i)
            total += counts[i];
        at += 17;
        if (data.size() - at < total)
            return false;
        HuffmanTable& table = type == 0 ? dcTables_[index] : acTables_[index];
        if (!table.build(counts, &data[at], type == 0))
            return false;
        at += total;
    }
    return true;
}

bool ProgressiveDecoder::readQuantTables(const std::vector<std::uint8_t>& data)
{
    std::size_t at = 0;
    while (at < data.size()) {
        const int precision = data[at] >> 4;
        const int index = data[at] & 15;
        const std::size_t bytes = precision == 0 ? 64 : 128;
        if (precision > 1 || index > 3 || data.size() - at - 1 < bytes)
            return false;
        ++at;
        for (int z = 0; z < 64; ++z, at += precision + 1) {
            const int value = precision == 0 ? data[at] : data[at] << 8 | data[at + 1];
            // 16-bit quantizers belong to 12-bit pictures: libjpeg's work.
            if (value > 255)
                return decline(Decline::notTaken);
            quantTables_[index][naturalOrder[z]] = static_cast<std::uint16_t>(value);
        }
        quantDefined_[index] = true;
    }
    return true;
}

// As libjpeg reads three components: YCbCr unless the head says RGB.
bool ProgressiveDecoder::ycbcr() const
{
    if (jfif_)
        return true;
    if (adobe_)
        return adobeTransform_ != 0;
    return !(components_[0].id == 'R' && components_[1].id == 'G' && components_[2].id == 'B');
}

bool ProgressiveDecoder::prepare(int numerator, std::size_t memoryLimit)
{
    const std::size_t outputWidth = divideUp(1LL * width_ * numerator, 8);
    std::uint64_t bytes = outputWidth * 3 * (1 + sizeof(int));
    const int stripRows = numerator * maxVertical_;
    for (Component& component : components_) {
        // A component stored at half the resolution shown is decoded whole
        // and stretched as libjpeg stretches it, which only full size asks.
        const int across = numerator * maxHorizontal_ / component.horizontal;
        const int down = numerator * maxVertical_ / component.vertical;
        if (numerator < 1 || (across > 8 && (numerator != 8 || across != 16)) ||
            (down > 8 && (numerator != 8 || down != 16)))
            return decline(Decline::oddScale);
        component.stretchAcross = across > 8 ? 2 : 1;
        component.stretchDown = down > 8 ? 2 : 1;
        component.across = across / component.stretchAcross;
        component.down = down / component.stretchDown;
        component.kept = component.across * component.down;
        component.samplesAcross = divideUp(1LL * width_ * component.horizontal, maxHorizontal_);
        component.samplesDown = divideUp(1LL * height_ * component.vertical, maxVertical_);
        if (component.stretchAcross == 2 && component.samplesAcross <= 2)
            return decline(Decline::notTaken);
        const std::uint64_t blocks = std::uint64_t(component.storedAcross) * component.storedDown;
        bytes += CoefficientStore::bytesFor(blocks, component.kept);
        // Stretched down, a component keeps two strips and the row above.
        const std::uint64_t rows = component.stretchDown == 2 ? stripRows + 1 : stripRows;
        bytes += (std::uint64_t(component.storedAcross) * component.across * rows + outputWidth + 2) * sizeof(float);
    }
    if (bytes > memoryLimit)
        return decline(Decline::memory);
    for (Component& component : components_) {
        for (int z = 0; z < 64; ++z) {
            const int row = naturalOrder[z] / 8;
            const int column = naturalOrder[z] % 8;
            const bool kept = row < component.down && column < component.across;
            component.slot[z] = static_cast<std::int8_t>(kept ? row * component.across + column : -1);
        }
        component.marks.build(component.slot);
        const std::size_t blocks = std::size_t(component.storedAcross) * component.storedDown;
        // Room for the rare picture whose coefficients must all be wide.
        const std::size_t spare = (memoryLimit - bytes) / components_.size();
        if (!component.coefficients.reset(blocks, component.kept, spare))
            return decline(Decline::memory);
        std::fill(std::begin(component.bits), std::end(component.bits), -1);
    }
    return true;
}

ProgressiveDecoder::Outcome ProgressiveDecoder::decode(int numerator, std::size_t memoryLimit, const RowSink& sink)
{
    decline_ = Decline::damaged;
    if (!framed_ || !prepare(numerator, memoryLimit))
        return Outcome::declined;
    int marker = jpegMarker::sos;
    for (int scans = 0;;) {
        if (marker == jpegMarker::sos) {
            Scan scan;
            if (++scans > maxScans_ || !readScanHeader(scan))
                return Outcome::declined;
            const Outcome outcome = decodeScan(scan, marker);
            if (outcome != Outcome::decoded)
                return outcome;
            continue;
        }
        if (marker == jpegMarker::eoi)
            break;
        if (marker < 0 || marker == EntropyReader::endOfFile || !readSegment(marker))
            return Outcome::declined;
        marker = cursor_.nextMarkerAfterScan();
    }
    for (const Component& component : components_)
        if (!everyCoefficientBitArrived(component.bits))
            return Outcome::declined;
    return emitRows(numerator, sink);
}

bool ProgressiveDecoder::readScanHeader(Scan& scan)
{
    const int length = source_.next16();
    scan.count = source_.next();
    if (scan.count < 1 || scan.count > 4 || length != 6 + 2 * scan.count)
        return false;
    int blocksInMcu = 0;
    for (int i = 0; i < scan.count; ++i) {
        const int id = source_.next();
        const int tables = source_.next();
        if (tables < 0)
            return false;
        const auto found = std::find_if(components_.begin(), components_.end(),
                                        [id](const Component& component) { return component.id == id; });
        const int index = static_cast<int>(found - components_.begin());
        if (found == components_.end() || std::find(scan.components, scan.components + i, index) != scan.components + i)
            return false;
        scan.components[i] = index;
        found->dcTable = tables >> 4;
        found->acTable = tables & 15;
        blocksInMcu += found->horizontal * found->vertical;
    }
    scan.start = source_.next();
    scan.end = source_.next();
    const int approximation = source_.next();
    if (approximation < 0)
        return false;
    scan.high = approximation >> 4;
    scan.low = approximation & 15;
    const bool dc = scan.start == 0;
    if ((dc && scan.end != 0) || (!dc && (scan.end < scan.start || scan.end > 63 || scan.count != 1)) ||
        (scan.high != 0 && scan.low != scan.high - 1) || scan.low > 13 ||
        (scan.count > 1 && blocksInMcu > maxBlocksInMcu))
        return false;
    for (int i = 0; i < scan.count; ++i) {
        Component& component = components_[scan.components[i]];
        if (component.dcTable > 3 || component.acTable > 3)
            return false;
        if (dc && scan.high == 0 && !dcTables_[component.dcTable].defined())
            return false;
        if (!dc && (!acTables_[component.acTable].defined() || component.bits[0] < 0))
            return false;
        // Every bit of every coefficient comes once, the higher ones first.
        for (int z = scan.start; z <= scan.end; ++z) {
            if (scan.high != std::max(component.bits[z], 0))
                return false;
            component.bits[z] = scan.low;
        }
        if (!component.quantTaken) {
            if (!quantDefined_[component.quantTable])
                return false;
            std::copy(std::begin(quantTables_[component.quantTable]), std::end(quantTables_[component.quantTable]),
                      component.quant);
            component.quantTaken = true;
        }
    }
    return true;
}

ProgressiveDecoder::Outcome ProgressiveDecoder::decodeScan(const Scan& scan, int& marker)
{
    eobRun_ = 0;
    for (int i = 0; i < scan.count; ++i)
        components_[scan.components[i]].predictor = 0;
    const Component& single = components_[scan.components[0]];
    const int mcus = scan.count > 1 ? mcusAcross_ * mcusDown_ : single.blocksAcross * single.blocksDown;
    int untilRestart = restartInterval_;
    int restart = 0;
    for (int mcu = 0; mcu < mcus; ++mcu) {
        if (restartInterval_ > 0) {
            if (untilRestart == 0) {
                if (reader_.finish() != jpegMarker::rst0 + restart)
                    return Outcome::declined;
                restart = (restart + 1) % 8;
                untilRestart = restartInterval_;
                eobRun_ = 0;
                for (int i = 0; i < scan.count; ++i)
                    components_[scan.components[i]].predictor = 0;
            }
            --untilRestart;
        }
        if (!decodeMcu(scan, mcu) || reader_.overrun())
            return Outcome::declined;
        if (mcu % 1024 == 0 && cancelled())
            return Outcome::cancelled;
    }
    marker = reader_.finish();
    const bool restartMarker = marker >= jpegMarker::rst0 && marker < jpegMarker::rst0 + 8;
    return marker < 0 || restartMarker ? Outcome::declined : Outcome::decoded;
}

bool ProgressiveDecoder::decodeMcu(const Scan& scan, int mcu)
{
    if (scan.count == 1) {
        Component& component = components_[scan.components[0]];
        const int row = mcu / component.blocksAcross;
        const int column = mcu % component.blocksAcross;
        return decodeBlock(scan, component, row * component.storedAcross + column);
    }
    const int mcuRow = mcu / mcusAcross_;
    const int mcuColumn = mcu % mcusAcross_;
    for (int i = 0; i < scan.count; ++i) {
        Component& component = components_[scan.components[i]];
        for (int v = 0; v < component.vertical; ++v)
            for (int h = 0; h < component.horizontal; ++h) {
                const int block = (mcuRow * component.vertical + v) * component.storedAcross +
                                  mcuColumn * component.horizontal + h;
                if (!decodeBlock(scan, component, block))
                    return false;
            }
    }
    return true;
}

bool ProgressiveDecoder::decodeBlock(const Scan& scan, Component& component, std::size_t block)
{
    if (scan.start == 0) {
        if (scan.high == 0)
            return decodeDcFirst(scan, component, block);
        if (reader_.take(1))
            component.coefficients.setDc(block, component.coefficients.dc(block) | 1 << scan.low);
        return true;
    }
    if (scan.high == 0)
        return decodeAcFirst(scan, component, block);
    return decodeAcRefine(scan, component, block, component.marks(component.coefficients.nonzeroBits(block)));
}

bool ProgressiveDecoder::decodeDcFirst(const Scan& scan, Component& component, std::size_t block)
{
    const int size = reader_.decode(dcTables_[component.dcTable]);
    if (size < 0)
        return false;
    if (size > 0)
        component.predictor += reader_.takeSigned(size);
    const int value = component.predictor * (1 << scan.low);
    if (!fitsCoefficient(value))
        return false;
    component.coefficients.setDc(block, value);
    return true;
}

bool ProgressiveDecoder::decodeAcFirst(const Scan& scan, Component& component, std::size_t block)
{
    if (eobRun_ > 0) {
        --eobRun_;
        return true;
    }
    const HuffmanTable& table = acTables_[component.acTable];
    for (int z = scan.start; z <= scan.end; ++z) {
        const int symbol = reader_.decode(table);
        if (symbol < 0)
            return false;
        const int run = symbol >> 4;
        const int size = symbol & 15;
        if (size == 0) {
            if (run < 15) {
                // This block ends the run of 2^run + extra blocks without
                // further coefficients in the band.
                eobRun_ = (1 << run) - 1 + reader_.take(run);
                break;
            }
            z += 15;
            continue;
        }
        z += run;
        const int value = reader_.takeSigned(size) * (1 << scan.low);
        if (z > scan.end || !fitsCoefficient(value))
            return false;
        if (!setNotZero(component, block, z, value))
            return decline(Decline::memory);
    }
    return true;
}

namespace {

// The bits from position from to position to, both included (to may be
// below from: none).
std::uint64_t bitsBetween(int from, int to)
{
    if (from > to)
        return 0;
    const std::uint64_t upTo = to == 63 ? ~std::uint64_t(0) : (std::uint64_t(2) << to) - 1;
    return upTo & ~((std::uint64_t(1) << from) - 1);
}

}  // namespace

// Each coefficient already not zero gets its next bit from a correction
// bit; runs count only the coefficients that are still zero. Both are found
// by their bits in the block's mask, as most of a band is zero.
bool ProgressiveDecoder::decodeAcRefine(const Scan& scan, Component& component, std::size_t block,
                                        std::uint64_t nonzero)
{
    const int bit = 1 << scan.low;
    // One correction bit for each position, in order, read 16 at a time;
    // those of coefficients that are not kept are passed over. A bit is
    // added without a branch on it, as half of them are ones at random.
    bool stored = true;  // false when a coefficient outside 8 bits found no memory
    const auto refine = [&](std::uint64_t positions) {
        while (positions != 0) {
            const int count = std::min(bitCount(positions), 16);
            unsigned bits = static_cast<unsigned>(reader_.take(count)) << (32 - count);
            for (int i = 0; i < count; ++i, bits <<= 1) {
                const int z = __builtin_ctzll(positions);
                positions &= positions - 1;
                const int slot = component.slot[z];
                if (slot < 0)
                    continue;
                const int coefficient = component.coefficients.ac(block, slot);
                const int step = (coefficient & bit) != 0 ? 0 : coefficient >= 0 ? bit : -bit;
                stored = component.coefficients.setAc(block, slot, coefficient + step * int(bits >> 31)) && stored;
            }
        }
    };
    const HuffmanTable& table = acTables_[component.acTable];
    int z = scan.start;
    if (eobRun_ == 0) {
        for (; z <= scan.end; ++z) {
            const int symbol = reader_.decode(table);
            if (symbol < 0)
                return false;
            const int run = symbol >> 4;
            const int size = symbol & 15;
            int value = 0;
            if (size == 1) {
                value = reader_.take(1) ? bit : -bit;
            } else if (size != 0) {
                return false;
            } else if (run < 15) {
                eobRun_ = (1 << run) + reader_.take(run);
                break;
            }
            // Past run zero coefficients to the next one, which takes the
            // new value (a run of 16 without one); the others on the way
            // are refined.
            std::uint64_t zeros = ~nonzero & bitsBetween(z, scan.end);
            for (int i = 0; i < run; ++i)
                zeros &= zeros - 1;
            const int target = zeros != 0 ? __builtin_ctzll(zeros) : scan.end + 1;
            refine(nonzero & bitsBetween(z, target - 1));
            z = target;
            if (value != 0) {
                if (z > scan.end)
                    return false;
                nonzero |= std::uint64_t(1) << z;
                stored = setNotZero(component, block, z, value) && stored;
            }
        }
    }
    if (eobRun_ > 0) {
        refine(nonzero & bitsBetween(z, scan.end));
        --eobRun_;
    }
    return stored || decline(Decline::memory);
}

ProgressiveDecoder::Outcome ProgressiveDecoder::emitRows(int numerator, const RowSink& sink)
{
    const int outputWidth = divideUp(1LL * width_ * numerator, 8);
    const int outputHeight = divideUp(1LL * height_ * numerator, 8);
    const int stripRows = numerator * maxVertical_;
    const std::size_t count = components_.size();
    // Each component's samples of a strip, or of two for one stretched down:
    // its rows next to a strip's edge need the next strip's first row.
    std::vector<std::vector<float>> planes(count), above(count), stretched(count);
    std::vector<int> work(std::size_t(outputWidth) + 2);
    for (std::size_t c = 0; c < count; ++c) {
        const Component& component = components_[c];
        const std::size_t stride = std::size_t(component.storedAcross) * component.across;
        planes[c].resize(stride * stripRows);
        if (component.stretchDown == 2)
            above[c].resize(stride);
        if (component.stretchAcross * component.stretchDown > 1)
            stretched[c].resize(std::size_t(component.samplesAcross) * component.stretchAcross);
    }
    std::vector<unsigned char> row(std::size_t(outputWidth) * channels());
    std::vector<int> samples[3];
    for (auto& component : samples)
        component.resize(std::size_t(outputWidth));
    std::vector<std::vector<float>> scales(count);
    for (std::size_t c = 0; c < count; ++c)
        for (int k = 0; k < components_[c].kept; ++k)
            scales[c].push_back(components_[c].quant[k / components_[c].across * 8 + k % components_[c].across]);
    float dequantized[64];
    int kept[64];
    // The strip's rows of a component, the first of them at plane.
    const auto transformStrip = [&](std::size_t c, int strip, float* plane) {
        const Component& component = components_[c];
        const std::ptrdiff_t stride = std::ptrdiff_t(component.storedAcross) * component.across;
        for (int v = 0; v < component.vertical; ++v) {
            const int blockRow = strip * component.vertical + v;
            for (int column = 0; column < component.storedAcross; ++column) {
                const std::size_t block = std::size_t(blockRow) * component.storedAcross + column;
                float* samples = plane + v * component.down * stride + column * component.across;
                const CoefficientStore& store = component.coefficients;
                if (store.nonzeroSlots(block) == 0) {
                    // Flat, as many blocks of sky and walls are.
                    const float flat = float(store.dc(block)) * scales[c][0] / 8;
                    for (int j = 0; j < component.down; ++j)
                        std::fill_n(samples + j * stride, component.across, flat);
                    continue;
                }
                component.coefficients.values(block, kept);
                for (int k = 0; k < component.kept; ++k)
                    dequantized[k] = float(kept[k]) * scales[c][k];
                reducedIdct(dequantized, component.across, component.down, samples, stride);
            }
        }
    };
    const auto lastStrip = [&](int strip) { return strip >= mcusDown_ || strip * stripRows >= outputHeight; };
    for (int strip = 0; !lastStrip(strip); ++strip) {
        if (cancelled())
            return Outcome::cancelled;
        for (std::size_t c = 0; c < count; ++c) {
            const Component& component = components_[c];
            const std::size_t half = std::size_t(component.storedAcross) * component.across * stripRows / 2;
            if (component.stretchDown == 1) {
                transformStrip(c, strip, planes[c].data());
                continue;
            }
            // Strip s lies in half s % 2: keep the row above this strip
            // before the next strip takes the other half.
            if (strip == 0)
                transformStrip(c, 0, planes[c].data());
            else
                std::copy_n(planes[c].data() + (strip + 1) % 2 * half + half - above[c].size(), above[c].size(),
                            above[c].data());
            if (!lastStrip(strip + 1))
                transformStrip(c, strip + 1, planes[c].data() + (strip + 1) % 2 * half);
        }
        for (int y = 0; y < stripRows && strip * stripRows + y < outputHeight; ++y) {
            const float* rows[3] = {};
            for (std::size_t c = 0; c < count; ++c) {
                const Component& component = components_[c];
                const std::size_t stride = std::size_t(component.storedAcross) * component.across;
                if (component.stretchAcross * component.stretchDown == 1) {
                    rows[c] = &planes[c][y * stride];
                    continue;
                }
                const float* near = &planes[c][y * stride];
                const float* far = near;
                const bool farBelow = y % 2 == 1;
                if (component.stretchDown == 2) {
                    // Stored rows by their number in the component, the
                    // picture's first and last repeated beyond it.
                    const int rowsInStrip = stripRows / 2;
                    const auto storedRow = [&](int number) -> const float* {
                        number = std::clamp(number, 0, component.samplesDown - 1);
                        const int first = strip * rowsInStrip;
                        if (number < first)
                            return above[c].data();
                        const int parity = number < first + rowsInStrip ? strip % 2 : (strip + 1) % 2;
                        return &planes[c][parity * stride * rowsInStrip + (number % rowsInStrip) * stride];
                    };
                    const int number = (strip * stripRows + y) / 2;
                    near = storedRow(number);
                    far = storedRow(farBelow ? number + 1 : number - 1);
                }
                fancyUpsampleRow(near, far, farBelow, component.samplesAcross, component.stretchAcross,
                                 component.stretchDown, stretched[c].data(), work.data());
                rows[c] = stretched[c].data();
            }
            if (count == 1) {
                for (int x = 0; x < outputWidth; ++x)
                    row[x] = static_cast<unsigned char>(sample(rows[0][x] + 128));
            } else {
                static const auto toRgb = processorHasAvx2() ? rgbRowAvx2 : rgbRowPlain;
                toRgb(rows[0], rows[1], rows[2], outputWidth, samples, row.data());
            }
            sink(strip * stripRows + y, row.data());
        }
    }
    return Outcome::decoded;
}
