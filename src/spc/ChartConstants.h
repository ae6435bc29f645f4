#pragma once

namespace vornex::spc {

// The control-chart constants of a subgroup of n values from a normal process: d2 and d3, the
// mean and standard deviation of its range in units of the process sigma, and c4, the mean of
// its sample standard deviation; the limit factors follow from them.
struct ChartConstants {
    int n = 0;
    double d2 = 0.0, d3 = 0.0, c4 = 0.0;
    double A2 = 0.0, D3 = 0.0, D4 = 0.0;  // X-bar and R charts from R-bar
    double A3 = 0.0, B3 = 0.0, B4 = 0.0;  // X-bar and s charts from s-bar
    double B5 = 0.0, B6 = 0.0;            // the s chart from a known sigma
};

constexpr int kMinSubgroup = 2;
constexpr int kMaxSubgroup = 25;

// The constants for kMinSubgroup <= n <= kMaxSubgroup, worked out from their definitions once
// per n and kept.
const ChartConstants& chartConstants(int n);

}  // namespace vornex::spc
