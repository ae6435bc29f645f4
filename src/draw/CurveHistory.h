#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "judge/GapFinder.h"

namespace vornex {

// Every point of one curve of a test, in time order, with the extremes of every run of 16, 256,
// 4096 ... points, so that the lowest and highest point of any stretch cost a few steps per
// level instead of one per point. Points are kept in blocks that never move once filled: 16
// bytes a point, and about 0.5 more for the extremes.
class CurveHistory {
public:
    static constexpr unsigned kFanOutBits = 4;
    static constexpr unsigned kBlockBits = 12;

    // Index of the lowest and of the highest value of a stretch.
    struct Extremes {
        uint32_t low;
        uint32_t high;
    };

    // How the line meets a stretch without readings: broken, as the window draws it, or joined
    // across, as the report draws a test whole.
    enum class Gaps { Break, Join };
    CurveHistory() = default;
    explicit CurveHistory(Gaps gaps) : joinGaps_(gaps == Gaps::Join) {}

    // Points whose time or value is not a finite number are left out. A point earlier than the
    // one before is kept, and the curve is put back in time order by sort().
    void append(double time, double value);
    void clear();
    // The next point starts a new stretch, as after a gap.
    void breakBeforeNext() { breakNext_ = size_ > 0; }
    // Back in time order when points came out of it; true when the order changed.
    bool sort();

    size_t size() const { return size_; }
    bool empty() const { return size_ == 0; }
    double time(size_t i) const { return blocks_[i >> kBlockBits]->time[i & kBlockMask]; }
    double value(size_t i) const { return blocks_[i >> kBlockBits]->value[i & kBlockMask]; }
    // Points i .. i + count - 1 lie side by side in memory: times and values from point i on,
    // up to the end of the block that holds it.
    struct Span {
        const double* time;
        const double* value;
        size_t count;
    };
    Span span(size_t i) const {
        const Block& block = *blocks_[i >> kBlockBits];
        const size_t at = i & kBlockMask;
        return {block.time + at, block.value + at, std::min(kBlockSize - at, size_ - i)};
    }

    // The first index in [from, to) whose time is not below `time`, `to` when there is none;
    // cheapest when the answer lies near `from`.
    size_t lowerBound(double time, size_t from, size_t to) const;
    // The first index in [from, to) whose time is above `time`.
    size_t upperBound(double time, size_t from, size_t to) const;
    // The extremes of the points from .. to - 1 (from < to).
    Extremes extremes(size_t from, size_t to) const;
    // Indices i, ascending, where the step from point i - 1 is a stretch without readings.
    const std::vector<size_t>& gaps() const { return gaps_; }

private:
    static constexpr size_t kBlockSize = size_t{1} << kBlockBits;
    static constexpr size_t kBlockMask = kBlockSize - 1;
    static constexpr size_t kFanOut = size_t{1} << kFanOutBits;

    struct Block {
        double time[kBlockSize];
        double value[kBlockSize];
    };

    // Extremes with their values, as a stretch is scanned.
    struct Best {
        Extremes at;
        double low;
        double high;
    };

    Extremes element(size_t level, size_t index) const;
    void scanPoints(size_t from, size_t to, Best& best) const;
    void scanRuns(size_t level, size_t from, size_t to, Best& best) const;
    void merge(Extremes& into, const Extremes& other) const;
    void summarise(size_t index);

    std::vector<std::unique_ptr<Block>> blocks_;
    size_t size_ = 0;
    // levels_[l - 1][j]: the extremes of points j * 16^l .. (j + 1) * 16^l - 1.
    std::vector<std::vector<Extremes>> levels_;
    std::vector<size_t> gaps_;
    judge::GapFinder gapFinder_;
    bool joinGaps_ = false;
    bool ordered_ = true;
    bool breakNext_ = false;
};

}  // namespace vornex
