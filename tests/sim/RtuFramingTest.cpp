#include <gtest/gtest.h>

#include <vector>

#include "sim/Crc16.h"
#include "sim/RtuFramer.h"

namespace vornex::sim {
namespace {

using Bytes = std::vector<uint8_t>;

Bytes withCrc(Bytes frame) {
    appendCrc(frame);
    return frame;
}

class FramerTest : public ::testing::Test {
protected:
    void feed(const Bytes& bytes) { framer.feed(bytes.data(), bytes.size()); }
    std::vector<Bytes> takeAll() {
        std::vector<Bytes> frames;
        while (auto f = framer.takeFrame())
            frames.push_back(*f);
        return frames;
    }

    RtuFramer framer;
    const Bytes readInput = withCrc({0x02, 0x04, 0x03, 0xE8, 0x00, 0x02});
    const Bytes writeBlock = withCrc(
        {0x03, 0x10, 0x00, 0x02, 0x00, 0x04, 0x08, 0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x08});
    const Bytes reportId = withCrc({0x05, 0x11});
};

TEST_F(FramerTest, TakesFramesAsSoonAsTheirLengthIsCompleteHoweverTheBytesArrive) {
    for (std::size_t i = 0; i + 1 < writeBlock.size(); ++i) {
        feed({writeBlock[i]});
        EXPECT_FALSE(framer.takeFrame()) << "after byte " << i;
    }
    feed({writeBlock.back()});
    EXPECT_EQ(takeAll(), std::vector<Bytes>{writeBlock});

    Bytes burst = readInput;
    burst.insert(burst.end(), reportId.begin(), reportId.end());
    burst.insert(burst.end(), writeBlock.begin(), writeBlock.end());
    feed(burst);
    EXPECT_EQ(takeAll(), (std::vector<Bytes>{readInput, reportId, writeBlock}));
    EXPECT_FALSE(framer.pending());
}

TEST_F(FramerTest, ResynchronisesAfterNoiseAndCorruptFrames) {
    Bytes corrupt = readInput;
    corrupt[4] ^= 0xFF;
    Bytes stream{0xFF, 0x00, 0x37};
    stream.insert(stream.end(), corrupt.begin(), corrupt.end());
    stream.insert(stream.end(), readInput.begin(), readInput.end());
    feed(stream);
    std::vector<Bytes> frames = takeAll();
    while (auto f = framer.onSilence())
        frames.push_back(*f);
    EXPECT_EQ(frames, std::vector<Bytes>{readInput});
    EXPECT_FALSE(framer.pending());
    EXPECT_EQ(framer.discardedBytes(), 3 + corrupt.size());

    // A half frame cut off by silence is dropped, and the next request is taken whole.
    feed(Bytes(readInput.begin(), readInput.begin() + 5));
    EXPECT_FALSE(framer.takeFrame());
    EXPECT_FALSE(framer.onSilence());
    feed(readInput);
    EXPECT_EQ(takeAll(), std::vector<Bytes>{readInput});

    // A known function cut short is noise, even with a CRC that checks; so is a write whose byte
    // count makes it longer than the longest frame (9 + 248 bytes).
    Bytes tooLong{0x01, 0x10, 0x00, 0x00, 0x00, 0x7C, 0xF8};
    tooLong.resize(tooLong.size() + 0xF8);
    for (const Bytes& cut :
         {withCrc({0x01, 0x03}), withCrc({0x01, 0x10, 0x00}), withCrc(tooLong)}) {
        feed(cut);
        EXPECT_FALSE(framer.takeFrame());
        EXPECT_FALSE(framer.onSilence());
        EXPECT_FALSE(framer.pending());
    }
}

}  // namespace
}  // namespace vornex::sim
