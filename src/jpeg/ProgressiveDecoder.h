#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <vector>

#include "jpeg/ByteSource.h"
#include "jpeg/CoefficientStore.h"
#include "jpeg/SegmentCursor.h"
#include "jpeg/EntropyReader.h"
#include "jpeg/HuffmanTable.h"
#include "jpeg/ZigzagMarks.h"

// Decodes a progressive JPEG at M/8 of its size and keeps of
// every block only the coefficients that size shows, with one bit for each
// of the others (a refinement scan needs to know which are not zero).
// libjpeg holds all 64 coefficients of every block until the last scan, in
// two bytes each: 96 MiB for a 16-megapixel picture, whatever the scale.
// Here they take a byte each (CoefficientStore), and the same picture needs
// a sixth of that at half size, a tenth at a quarter and about half at
// full size, where its pixels are libjpeg's, colour stored at half
// resolution included.
//
// It takes grey and YCbCr pictures with 8-bit samples, Huffman coding and
// sampling factors of 1 and 2: what encoders write for photographs. Any
// other stream, and any fault, it declines, so that libjpeg judges the file
// as it judges every other.
class ProgressiveDecoder {
public:
    enum class Outcome { decoded, declined, cancelled };
    // Why a picture was left to libjpeg: a frame that is not progressive, a
    // scale between half and full size that would need more samples than a
    // block holds, a precision, sampling, colour space or size this decoder
    // does not take, more memory than the limit, or a fault in the data
    // (libjpeg then judges the damage).
    enum class Decline { notProgressive, oddScale, notTaken, memory, damaged };
    // One row of samples from the top: RGB, or grey for one component.
    using RowSink = std::function<void(int row, const unsigned char* samples)>;

    // Reads the stream from the file's position, at most maxScans scans; a
    // cancel flag that becomes set stops it.
    ProgressiveDecoder(std::FILE* file, int maxScans, const std::atomic<bool>* cancel = nullptr);

    // Reads the head up to the first scan. False for a stream this decoder
    // does not take.
    bool readHead();
    int width() const { return width_; }
    int height() const { return height_; }
    int channels() const { return components_.size() == 1 ? 1 : 3; }

    // Decodes every scan, then hands over the rows of the picture at
    // numerator/8 of its size, rounded up as libjpeg rounds, keeping no
    // more than memoryLimit bytes. At full size, a component sampled at
    // half the picture's resolution is stretched as libjpeg stretches it.
    // Declined when such a component would need more than 8 samples a
    // block at another scale (numerator 5 to 7), and for anything short of
    // a clean stream: a code no table has, data left over or cut short,
    // scans out of order or more than maxScans, the end of the file before
    // the end-of-image marker, a coefficient bit that no scan delivered, or
    // more memory than the limit.
    Outcome decode(int numerator, std::size_t memoryLimit, const RowSink& sink);
    // After readHead gave false or decode declined: why.
    Decline declineReason() const { return decline_; }

private:
    struct Component {
        int id = 0;
        int horizontal = 1, vertical = 1;   // sampling factors
        int quantTable = 0;
        int blocksAcross = 0, blocksDown = 0;  // blocks of the component's own area
        int storedAcross = 0, storedDown = 0;  // blocks of whole MCUs
        int across = 1, down = 1;              // samples a block gives at the output scale
        int kept = 1;                          // across x down coefficients kept per block
        int stretchAcross = 1, stretchDown = 1;  // 2: stored at half the resolution shown
        int samplesAcross = 0, samplesDown = 0;  // of the component's own area
        std::int8_t slot[64] = {};             // zigzag position -> place among the kept, -1 none
        ZigzagMarks marks;                     // which are not zero, from what the store tells
        CoefficientStore coefficients;
        std::uint16_t quant[64] = {};          // natural order, taken at the component's first scan
        bool quantTaken = false;
        int bits[64] = {};  // per coefficient: -1 before any scan, then the lowest bit delivered
        int dcTable = 0, acTable = 0;
        int predictor = 0;
    };
    struct Scan {
        int count = 0;
        int components[4] = {};
        int start = 0, end = 0, high = 0, low = 0;
    };

    bool readSegment(int marker);
    bool readFrame(const std::vector<std::uint8_t>& data);
    bool readHuffmanTables(const std::vector<std::uint8_t>& data);
    bool readQuantTables(const std::vector<std::uint8_t>& data);
    bool ycbcr() const;
    bool prepare(int numerator, std::size_t memoryLimit);
    bool readScanHeader(Scan& scan);
    Outcome decodeScan(const Scan& scan, int& marker);
    bool decodeMcu(const Scan& scan, int mcu);
    bool decodeBlock(const Scan& scan, Component& component, std::size_t block);
    bool decodeDcFirst(const Scan& scan, Component& component, std::size_t block);
    bool decodeAcFirst(const Scan& scan, Component& component, std::size_t block);
    bool decodeAcRefine(const Scan& scan, Component& component, std::size_t block, std::uint64_t nonzero);
    // A coefficient becomes not zero: its value kept, or its mark set.
    static bool setNotZero(Component& component, std::size_t block, int zigzag, int value)
    {
        const int slot = component.slot[zigzag];
        if (slot >= 0)
            return component.coefficients.setAc(block, slot, value);
        component.coefficients.markNotKept(block, component.marks.notKeptIndex(zigzag));
        return true;
    }
    bool cancelled() const { return cancel_ && cancel_->load(std::memory_order_relaxed); }
    Outcome emitRows(int numerator, const RowSink& sink);

    // Sets why, for a false on the way out.
    bool decline(Decline why)
    {
        decline_ = why;
        return false;
    }

    ByteSource source_;
    SegmentCursor cursor_;
    EntropyReader reader_;
    int maxScans_;
    const std::atomic<bool>* cancel_;

    HuffmanTable dcTables_[4], acTables_[4];
    std::uint16_t quantTables_[4][64] = {};
    bool quantDefined_[4] = {};
    int restartInterval_ = 0;
    bool jfif_ = false, adobe_ = false;
    int adobeTransform_ = 0;

    bool framed_ = false;
    int width_ = 0, height_ = 0;
    std::vector<Component> components_;
    int maxHorizontal_ = 1, maxVertical_ = 1;
    int mcusAcross_ = 0, mcusDown_ = 0;
    int eobRun_ = 0;
    Decline decline_ = Decline::damaged;
};
