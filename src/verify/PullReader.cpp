#include "verify/PullReader.h"

#include <cmath>

namespace vornex::verify {

PullReader::PullReader(double setting) : detector_(kPullThresholdShare * std::fabs(setting)) {}

std::optional<Pull> PullReader::add(double seconds, double value) {
    if (!std::isfinite(value))
        return std::nullopt;
    if (std::fabs(value) < detector_.threshold() / 2.0)
        ready_ = true;
    if (previous_ && *previous_ == value && std::fabs(value) > std::fabs(held_))
        held_ = value;
    previous_ = value;
    const auto event = detector_.add(seconds, value);
    if (!event)
        return std::nullopt;
    const double held = held_;
    held_ = 0.0;
    if (!event->complete)
        return std::nullopt;
    return Pull{event->peak, std::fabs(held) == std::fabs(event->peak)};
}

}  // namespace vornex::verify
