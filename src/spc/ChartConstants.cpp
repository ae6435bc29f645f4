#include "spc/ChartConstants.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <mutex>
#include <vector>

namespace vornex::spc {

namespace {

// The normal distribution's integrals are taken on a grid wide and fine enough for the third
// decimal of every constant: beyond 8 sigma nothing is left to integrate.
constexpr double kEdge = 8.0;
constexpr double kStep = 0.02;

const std::vector<double>& normalGrid() {
    static const std::vector<double> grid = [] {
        std::vector<double> phi;
        const int steps = static_cast<int>(std::lround(2.0 * kEdge / kStep));
        for (int i = 0; i <= steps; ++i)
            phi.push_back(0.5 * std::erfc(-(-kEdge + i * kStep) / std::sqrt(2.0)));
        return phi;
    }();
    return grid;
}

double simpsonWeight(size_t i, size_t last) {
    return i == 0 || i == last ? 1.0 : (i % 2 == 1 ? 4.0 : 2.0);
}

ChartConstants workedOut(int n) {
    const std::vector<double>& phi = normalGrid();
    const size_t last = phi.size() - 1;
    // E[R] = integral of 1 - F(x)^n - (1 - F(x))^n; E[R^2] = 2 double integral over x < y of
    // 1 - F(y)^n - (1 - F(x))^n + (F(y) - F(x))^n.
    double meanRange = 0.0, meanSquare = 0.0;
    for (size_t j = 0; j <= last; ++j) {
        const double y = phi[j];
        meanRange += simpsonWeight(j, last) * (1.0 - std::pow(y, n) - std::pow(1.0 - y, n));
        double inner = 0.0;
        for (size_t i = 0; i <= j; ++i) {
            const double x = phi[i];
            const double f = 1.0 - std::pow(y, n) - std::pow(1.0 - x, n) + std::pow(y - x, n);
            inner += (i == 0 || i == j ? 0.5 : 1.0) * f;
        }
        meanSquare += simpsonWeight(j, last) * inner * kStep;
    }
    meanRange *= kStep / 3.0;
    meanSquare *= 2.0 * kStep / 3.0;

    ChartConstants c;
    c.n = n;
    c.d2 = meanRange;
    c.d3 = std::sqrt(meanSquare - meanRange * meanRange);
    c.c4 = std::sqrt(2.0 / (n - 1)) * std::exp(std::lgamma(n / 2.0) - std::lgamma((n - 1) / 2.0));
    const double root = std::sqrt(static_cast<double>(n));
    c.A2 = 3.0 / (c.d2 * root);
    c.D3 = std::max(0.0, 1.0 - 3.0 * c.d3 / c.d2);
    c.D4 = 1.0 + 3.0 * c.d3 / c.d2;
    const double sSpread = 3.0 * std::sqrt(1.0 - c.c4 * c.c4);
    c.A3 = 3.0 / (c.c4 * root);
    c.B3 = std::max(0.0, 1.0 - sSpread / c.c4);
    c.B4 = 1.0 + sSpread / c.c4;
    c.B5 = std::max(0.0, c.c4 - sSpread);
    c.B6 = c.c4 + sSpread;
    return c;
}

}  // namespace

const ChartConstants& chartConstants(int n) {
    static std::array<ChartConstants, kMaxSubgroup + 1> table;
    static std::array<std::once_flag, kMaxSubgroup + 1> made;
    const int at = std::clamp(n, kMinSubgroup, kMaxSubgroup);
    std::call_once(made[at], [at] { table[at] = workedOut(at); });
    return table[at];
}

}  // namespace vornex::spc
