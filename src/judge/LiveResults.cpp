#include "judge/LiveResults.h"

#include <cmath>

#include "record/TestFile.h"

namespace vornex {

void LiveResults::reset() {
    for (Slot& slot : slots_)
        slot = Slot();
}

void LiveResults::setOverrides(const JudgeOverrides& overrides) {
    overrides_ = overrides;
    overridesChanged_ = true;
}

const LiveResults::History* LiveResults::historyIn(const Companion* companion, int slave) {
    return companion != nullptr ? companion->history(slave) : nullptr;
}

bool LiveResults::update(const CurveTable& curves, const Companion* companion, bool recording) {
    bool changed = false;
    for (int i = 0; i < kCurveSlots; ++i) {
        Slot& slot = slots_[static_cast<size_t>(i)];
        const uint32_t size = curves.size(i);
        if (size == 0 && !slot.judge)
            continue;
        const CurvePoint* points = curves.curve(i);
        const size_t firstNew = slot.times.size();
        const auto take = [&slot, points](uint32_t from, uint32_t to) {
            for (uint32_t p = from; p < to; ++p) {
                slot.times.push_back(points[p].time);
                slot.values.push_back(points[p].value);
            }
        };
        // A ring that started again at its first index still holds, behind the points shown, the
        // end of its last round; an empty one was cleared as its test closed.
        if (size > 0 && size < slot.taken)
            take(slot.taken, CurveTable::kLength);
        take(size < slot.taken ? 0 : slot.taken, size);
        slot.taken = size;
        changed = judgeSlot(i, firstNew, historyIn(companion, i + 1), recording) || changed;
    }
    overridesChanged_ = false;
    return changed;
}

void LiveResults::load(const std::string& path, const CurveTable& curves,
                       const Companion* companion) {
    reset();
    TestFile(path).readAll([this](const CurvePoint* points, size_t n) {
        for (size_t i = 0; i < n; ++i) {
            if (!hasCurveSlot(points[i].slave))
                continue;
            Slot& slot = slots_[points[i].slave - 1u];
            slot.times.push_back(points[i].time);
            slot.values.push_back(points[i].value);
        }
    });
    for (int i = 0; i < kCurveSlots; ++i) {
        Slot& slot = slots_[static_cast<size_t>(i)];
        slot.taken = curves.size(i);
        if (!slot.times.empty())
            judgeSlot(i, 0, historyIn(companion, i + 1), false);
    }
    overridesChanged_ = false;
}

bool LiveResults::judgeSlot(int i, size_t firstNew, const History* history, bool recording) {
    Slot& slot = slots_[static_cast<size_t>(i)];
    double largest = slot.largest;
    for (size_t p = firstNew; p < slot.values.size(); ++p) {
        if (std::isfinite(slot.values[p]))
            largest = std::max(largest, std::fabs(slot.values[p]));
    }
    const auto same = [](const InstrumentSettings& a, const InstrumentSettings& b) {
        return a.since == b.since && a.sameSettings(b);
    };
    const History none;
    const History& now = history != nullptr ? *history : none;
    const bool settingsChanged =
        !std::equal(now.begin(), now.end(), slot.history.begin(), slot.history.end(), same);
    // Without a range the threshold follows the largest magnitude; judging again at every new
    // largest would cost the whole curve each time, so while recording only a doubling does.
    const bool guessOutgrown =
        now.empty() && !overrides_.threshold &&
        (recording ? largest > 2.0 * slot.judgedLargest : largest != slot.judgedLargest);
    const bool again = settingsChanged || overridesChanged_ || !slot.judge || guessOutgrown;
    if (again) {
        slot.history = now;
        slot.judgedLargest = largest;
        slot.judge = std::make_unique<judge::InstrumentJudge>(
            judgeTimelineFor(history, overrides_, largest));
        firstNew = 0;
    }
    slot.largest = largest;
    const size_t before = slot.judge->events().size();
    const bool wasOn = slot.judge->pending().has_value();
    for (size_t p = firstNew; p < slot.values.size(); ++p)
        slot.judge->add(slot.times[p], slot.values[p]);
    return again || slot.judge->events().size() != before ||
           slot.judge->pending().has_value() != wasOn;
}

std::vector<int> LiveResults::slaves() const {
    std::vector<int> found;
    for (int i = 0; i < kCurveSlots; ++i) {
        if (slots_[static_cast<size_t>(i)].judge)
            found.push_back(i + 1);
    }
    return found;
}

const judge::InstrumentJudge* LiveResults::judgeOf(int slave) const {
    return slave >= 1 && slave <= kCurveSlots ? slots_[static_cast<size_t>(slave - 1)].judge.get()
                                              : nullptr;
}

const InstrumentSettings* LiveResults::settingsOf(int slave) const {
    if (slave < 1 || slave > kCurveSlots)
        return nullptr;
    const Slot& slot = slots_[static_cast<size_t>(slave - 1)];
    return slot.history.empty() ? nullptr : &slot.history.back();
}

}  // namespace vornex
