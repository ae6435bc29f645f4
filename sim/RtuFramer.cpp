#include "RtuFramer.h"

#include "Crc16.h"

namespace vornex::sim {

namespace {
constexpr std::size_t kMinFrame = 4;  // address, function, CRC
constexpr std::size_t kMaxFrame = 256;
}  // namespace

void RtuFramer::feed(const uint8_t* data, std::size_t size) {
    buffer_.insert(buffer_.end(), data, data + size);
    // A line that never pauses would grow the buffer without end; no frame is that long.
    if (buffer_.size() > 4 * kMaxFrame)
        discard(buffer_.size() - kMaxFrame);
}

int RtuFramer::requestLength(const uint8_t* data, std::size_t size) {
    if (size < 2)
        return 0;
    switch (data[1]) {
        case 0x03:
        case 0x04:
        case 0x06:
            return 8;
        case 0x10:
            // address, function, first (2), count (2), byte count, data, CRC
            return size < 7 ? 0 : 9 + data[6];
        case 0x11:
            return 4;
        default:
            return -1;
    }
}

std::optional<std::vector<uint8_t>> RtuFramer::takeFrame() {
    while (buffer_.size() >= kMinFrame) {
        const int length = requestLength(buffer_.data(), buffer_.size());
        if (length <= 0)
            return std::nullopt;
        // A byte count that no request can carry: the longest RTU frame is 256 bytes.
        if (static_cast<std::size_t>(length) > kMaxFrame) {
            discard(1);
            continue;
        }
        if (buffer_.size() < static_cast<std::size_t>(length))
            return std::nullopt;
        if (hasValidCrc(buffer_.data(), static_cast<std::size_t>(length))) {
            std::vector<uint8_t> frame(buffer_.begin(), buffer_.begin() + length);
            buffer_.erase(buffer_.begin(), buffer_.begin() + length);
            return frame;
        }
        discard(1);
    }
    return std::nullopt;
}

std::optional<std::vector<uint8_t>> RtuFramer::onSilence() {
    while (!buffer_.empty()) {
        if (auto frame = takeFrame())
            return frame;
        // Only a function of unknown length may end with the silence; a known one cut short is
        // noise even when its last two bytes happen to check.
        if (buffer_.size() >= kMinFrame && buffer_.size() <= kMaxFrame &&
            requestLength(buffer_.data(), buffer_.size()) < 0 &&
            hasValidCrc(buffer_.data(), buffer_.size())) {
            std::vector<uint8_t> frame;
            frame.swap(buffer_);
            return frame;
        }
        discard(1);
    }
    return std::nullopt;
}

void RtuFramer::discard(std::size_t count) {
    buffer_.erase(buffer_.begin(), buffer_.begin() + static_cast<std::ptrdiff_t>(count));
    discarded_ += count;
}

}  // namespace vornex::sim
