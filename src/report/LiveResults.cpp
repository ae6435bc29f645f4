#include "report/LiveResults.h"

#include <cmath>

namespace vornex {

void LiveResults::reset() {
    for (Slot& slot : slots_)
        slot = Slot();
}

void LiveResults::setOverrides(const JudgeOverrides& overrides) {
    overrides_ = overrides;
    overridesChanged_ = true;
}

bool LiveResults::update(const CurveTable& curves, const Companion* companion) {
    bool changed = false;
    for (int i = 0; i < kCurveSlots; ++i) {
        if (curves.size(i) == 0)
            continue;
        const InstrumentSettings* settings = nullptr;
        if (companion != nullptr) {
            const auto found = companion->instruments.find(i + 1);
            if (found != companion->instruments.end())
                settings = &found->second;
        }
        changed = judgeSlot(i, curves, settings) || changed;
    }
    overridesChanged_ = false;
    return changed;
}

bool LiveResults::judgeSlot(int i, const CurveTable& curves, const InstrumentSettings* settings) {
    Slot& slot = slots_[static_cast<size_t>(i)];
    const uint32_t size = curves.size(i);
    const CurvePoint* points = curves.curve(i);
    // A ring that started again at its first index holds only points not taken yet.
    uint32_t from = size < slot.taken ? 0 : slot.taken;
    double largest = slot.largest;
    for (uint32_t p = from; p < size; ++p) {
        if (std::isfinite(points[p].value))
            largest = std::max(largest, std::fabs(points[p].value));
    }
    const bool settingsChanged = settings != nullptr
                                     ? !slot.settings || slot.settings->since != settings->since ||
                                           !slot.settings->sameSettings(*settings)
                                     : slot.settings.has_value();
    // Without a range the threshold follows the largest magnitude, so it is set again whenever
    // that has doubled.
    const bool guessOutgrown =
        settings == nullptr && !overrides_.threshold && largest > 2.0 * slot.judgedLargest;
    const bool again = settingsChanged || overridesChanged_ || !slot.judge || guessOutgrown;
    if (again) {
        slot.settings = settings != nullptr ? std::optional(*settings) : std::nullopt;
        slot.judgedLargest = largest;
        slot.judge = std::make_unique<judge::InstrumentJudge>(
            judgeSettingsFor(settings, overrides_, largest));
        from = 0;
    }
    slot.largest = largest;
    const size_t before = slot.judge->events().size();
    for (uint32_t p = from; p < size; ++p)
        slot.judge->add(points[p].time, points[p].value);
    slot.taken = size;
    return again || slot.judge->events().size() != before;
}

bool LiveResults::finish() {
    bool changed = false;
    for (Slot& slot : slots_) {
        if (slot.judge && slot.judge->finish() != nullptr)
            changed = true;
    }
    return changed;
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
    return slot.settings ? &*slot.settings : nullptr;
}

}  // namespace vornex
