#include "jpeg/ByteSource.h"

namespace {

constexpr std::size_t bufferBytes = 65536;

}  // namespace

ByteSource::ByteSource(std::FILE* file) : file_(file), buffer_(bufferBytes) {}

int ByteSource::next16()
{
    const int high = next();
    const int low = next();
    return high < 0 || low < 0 ? -1 : (high << 8) | low;
}

bool ByteSource::skip(std::size_t count)
{
    while (count > 0) {
        if (at_ == end_ && !refill())
            return false;
        const std::size_t step = std::min(count, end_ - at_);
        at_ += step;
        count -= step;
    }
    return true;
}

std::size_t ByteSource::read(unsigned char* out, std::size_t count)
{
    std::size_t done = 0;
    while (done < count) {
        if (at_ == end_ && !refill())
            break;
        const std::size_t step = std::min(count - done, end_ - at_);
        std::copy(buffer_.begin() + static_cast<std::ptrdiff_t>(at_),
                  buffer_.begin() + static_cast<std::ptrdiff_t>(at_ + step), out + done);
        at_ += step;
        done += step;
    }
    return done;
}

bool ByteSource::refill()
{
    at_ = 0;
    end_ = std::fread(buffer_.data(), 1, buffer_.size(), file_);
    return end_ > 0;
}
