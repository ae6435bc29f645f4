#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace vornex::sim {

// Cuts the byte stream of a serial line into Modbus RTU request frames. A frame is taken as soon
// as its length, known from the function code, is complete and its CRC matches, so back-to-back
// requests need no gap between them. Bytes that do not form a frame are dropped one at a time
// until a frame lines up, and whatever is left when the line falls silent is either one frame of
// a function the framer does not know (CRC over all of it) or noise.
class RtuFramer {
public:
    void feed(const uint8_t* data, std::size_t size);

    // The next complete request, if the buffered bytes hold one.
    std::optional<std::vector<uint8_t>> takeFrame();

    // Called after 3.5 characters of silence, repeatedly until it returns nothing: every frame
    // still buffered, then noise dropped until the buffer is empty.
    std::optional<std::vector<uint8_t>> onSilence();

    bool pending() const { return !buffer_.empty(); }
    std::size_t discardedBytes() const { return discarded_; }

    // Length of a request of the given function code from its first bytes: 0 while more bytes are
    // needed to tell, -1 for a function code whose request length is unknown.
    static int requestLength(const uint8_t* data, std::size_t size);

private:
    void discard(std::size_t count);

    std::vector<uint8_t> buffer_;
    std::size_t discarded_ = 0;
};

}  // namespace vornex::sim
