#include "draw/CurveHistory.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace vornex {

void CurveHistory::append(double time, double value) {
    if (!std::isfinite(time) || !std::isfinite(value)) {
        return;
    }
    if (size_ > 0 && time < this->time(size_ - 1)) {
        ordered_ = false;
    }
    if ((size_ & kBlockMask) == 0 && (size_ >> kBlockBits) == blocks_.size()) {
        // Uninitialised on purpose: every slot is written before it is read.
        blocks_.push_back(std::unique_ptr<Block>(new Block));
    }
    Block& block = *blocks_[size_ >> kBlockBits];
    block.time[size_ & kBlockMask] = time;
    block.value[size_ & kBlockMask] = value;
    if ((!joinGaps_ && gapFinder_.next(time)) || breakNext_) {
        gaps_.push_back(size_);
    }
    breakNext_ = false;
    ++size_;
    summarise(size_ - 1);
}

void CurveHistory::summarise(size_t index) {
    const auto point = static_cast<uint32_t>(index);
    for (size_t level = 1;; ++level) {
        const size_t run = index >> (kFanOutBits * level);
        if (levels_.size() < level) {
            if (run == 0) {
                break;
            }
            // The first run of a new level covers everything before this point.
            Extremes first = element(level - 1, 0);
            for (size_t i = 1; i < kFanOut; ++i) {
                merge(first, element(level - 1, i));
            }
            levels_.push_back({first});
        }
        std::vector<Extremes>& runs = levels_[level - 1];
        if (run == runs.size()) {
            runs.push_back({point, point});
        } else {
            merge(runs[run], {point, point});
        }
    }
}

void CurveHistory::clear() {
    // The first block stays: a curve cleared for the next test is likely to be filled again.
    blocks_.resize(std::min<size_t>(blocks_.size(), 1));
    size_ = 0;
    levels_.clear();
    gaps_.clear();
    gapFinder_.reset();
    breakNext_ = false;
    ordered_ = true;
}

bool CurveHistory::sort() {
    if (ordered_) {
        return false;
    }
    std::vector<std::pair<double, double>> points(size_);
    for (size_t i = 0; i < size_; ++i) {
        points[i] = {time(i), value(i)};
    }
    std::stable_sort(points.begin(), points.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    clear();
    for (const auto& [t, v] : points) {
        append(t, v);
    }
    return true;
}

size_t CurveHistory::lowerBound(double t, size_t from, size_t to) const {
    if (from >= to || time(from) >= t) {
        return from;
    }
    // Gallop from `from`, then halve: time(low) < t, and time(high) >= t or high == to.
    size_t low = from;
    size_t step = 1;
    size_t high = from + 1;
    while (high < to && time(high) < t) {
        low = high;
        step *= 2;
        high = from + step;
    }
    high = std::min(high, to);
    while (high - low > 1) {
        const size_t middle = low + (high - low) / 2;
        (time(middle) < t ? low : high) = middle;
    }
    return high;
}

size_t CurveHistory::upperBound(double t, size_t from, size_t to) const {
    return lowerBound(std::nextafter(t, INFINITY), from, to);
}

CurveHistory::Extremes CurveHistory::element(size_t level, size_t index) const {
    if (level == 0) {
        const auto point = static_cast<uint32_t>(index);
        return {point, point};
    }
    return levels_[level - 1][index];
}

void CurveHistory::merge(Extremes& into, const Extremes& other) const {
    if (value(other.low) < value(into.low)) {
        into.low = other.low;
    }
    if (value(other.high) > value(into.high)) {
        into.high = other.high;
    }
}

CurveHistory::Extremes CurveHistory::extremes(size_t from, size_t to) const {
    Best best{{static_cast<uint32_t>(from), static_cast<uint32_t>(from)}, value(from), value(from)};
    size_t low = from;
    size_t high = to;
    for (size_t level = 0; low < high; ++level) {
        if (level == levels_.size()) {
            level == 0 ? scanPoints(low, high, best) : scanRuns(level, low, high, best);
            break;
        }
        // The ragged ends at this level, then whole runs one level up.
        const size_t lowEnd = std::min(high, (low + kFanOut - 1) & ~(kFanOut - 1));
        const size_t highStart = std::max(lowEnd, high & ~(kFanOut - 1));
        level == 0 ? scanPoints(low, lowEnd, best) : scanRuns(level, low, lowEnd, best);
        level == 0 ? scanPoints(highStart, high, best) : scanRuns(level, highStart, high, best);
        low = lowEnd >> kFanOutBits;
        high = highStart >> kFanOutBits;
    }
    return best.at;
}

void CurveHistory::scanPoints(size_t from, size_t to, Best& best) const {
    // Block by block, so that the inner loop reads one array.
    while (from < to) {
        const Span points = span(from);
        const size_t count = std::min(points.count, to - from);
        for (size_t k = 0; k < count; ++k) {
            const double v = points.value[k];
            if (v < best.low) {
                best.low = v;
                best.at.low = static_cast<uint32_t>(from + k);
            }
            if (v > best.high) {
                best.high = v;
                best.at.high = static_cast<uint32_t>(from + k);
            }
        }
        from += count;
    }
}

void CurveHistory::scanRuns(size_t level, size_t from, size_t to, Best& best) const {
    const std::vector<Extremes>& runs = levels_[level - 1];
    for (size_t i = from; i < to; ++i) {
        const double low = value(runs[i].low);
        if (low < best.low) {
            best.low = low;
            best.at.low = runs[i].low;
        }
        const double high = value(runs[i].high);
        if (high > best.high) {
            best.high = high;
            best.at.high = runs[i].high;
        }
    }
}

}  // namespace vornex
