#include "verify/PullReader.h"

#include <cmath>

namespace vornex::verify {

PullReader::PullReader(double setting) : detector_(kPullThresholdShare * std::fabs(setting)) {}

std::optional<double> PullReader::add(double seconds, double value) {
    if (std::isfinite(value) && std::fabs(value) < detector_.threshold() / 2.0)
        ready_ = true;
    const auto event = detector_.add(seconds, value);
    if (!event || !event->complete)
        return std::nullopt;
    return event->peak;
}

}  // namespace vornex::verify
