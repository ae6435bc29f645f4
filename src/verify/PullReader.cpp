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
    const auto event = detector_.add(seconds, value);
    if (!event) {
        if (detector_.current() && !loadingFrom_ &&
            std::fabs(value) >= kLoadingFromShare * setting_)
            loadingFrom_ = seconds;
        return std::nullopt;
    }
    const double held = held_;
    const std::optional<double> from = loadingFrom_;
    held_ = 0.0;
    loadingFrom_.reset();
    if (!event->complete)
        return std::nullopt;
    Pull pull{event->peak, std::fabs(held) == std::fabs(event->peak), std::nullopt};
    if (from && *from <= event->peakTime)
        pull.loading = event->peakTime - *from;
    return pull;
}

}  // namespace vornex::verify
