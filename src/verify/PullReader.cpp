#include "verify/PullReader.h"

#include <cmath>

namespace vornex::verify {

PullReader::PullReader(double setting)
    : detector_(kPullThresholdShare * std::fabs(setting)), setting_(std::fabs(setting)) {}

std::optional<Pull> PullReader::add(double seconds, double value) {
    if (!std::isfinite(value))
        return std::nullopt;
    if (std::fabs(value) < detector_.threshold() / 2.0)
        ready_ = true;
    if (previous_ && *previous_ == value && std::fabs(value) > std::fabs(held_))
        held_ = value;
    previous_ = value;
    const bool below = std::fabs(value) < kLoadingFromShare * setting_;
    const auto event = detector_.add(seconds, value);
    if (!event) {
        if (detector_.current() && !loadingFrom_ && !below) {
            loadingFrom_ = seconds;
            riseFrom_ = lastBelow_;
        }
        if (below && !loadingFrom_)
            lastBelow_ = seconds;
        return std::nullopt;
    }
    const double held = held_;
    const std::optional<double> from = loadingFrom_;
    const std::optional<double> riseFrom = riseFrom_;
    held_ = 0.0;
    loadingFrom_.reset();
    riseFrom_.reset();
    lastBelow_ = below ? std::optional<double>(seconds) : std::nullopt;
    if (!event->complete)
        return std::nullopt;
    Pull pull{event->peak, std::fabs(held) == std::fabs(event->peak), std::nullopt, std::nullopt};
    if (from && *from <= event->peakTime)
        pull.loading = event->peakTime - *from;
    if (riseFrom && *riseFrom <= event->peakTime)
        pull.loadingAtMost = event->peakTime - *riseFrom;
    return pull;
}

}  // namespace vornex::verify
