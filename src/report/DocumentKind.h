#pragma once

#include <optional>
#include <string>

#include "verify/RunPlan.h"

namespace vornex {

// What a run asked for against what the standard it names asks: points, readings per point and
// preloads.
struct Shortfall {
    int pointsAsked = 0, points = 0;
    int readingsAsked = 0, readings = 0;
    int preloadsAsked = 0, preloads = 0;
};

// Which document a run's file makes. A run under ISO 6789-1 that took what the standard asks
// declares conformance; one under ISO 6789-2 that did is calibrated, with its uncertainty; any
// other run, cut down or under no part of ISO 6789, is only a record of what it took. What the
// standard asks is what its built-in profile holds.
struct DocumentKind {
    enum class Kind { Declaration, Record, Calibration };
    Kind kind = Kind::Record;
    // A record of a run under a part of ISO 6789 that asks more; none for a run under neither.
    std::optional<Shortfall> shortfall;
};

DocumentKind documentKind(const verify::RunPlan& plan);

}  // namespace vornex
