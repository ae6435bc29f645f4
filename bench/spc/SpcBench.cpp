// Control charts of a long history: 100,000 pulls of one tool in subgroups of 5, their limits, all
// eight run rules, the capability and the list of breaks, worked as `vornex-cli spc` works them.
// Printed are the median and worst of repeated runs, target under 50 ms, for an in-control process
// and for one that drifts (every rule has breaks to list). Then the drifting one's charts painted
// as the window paints them at every expose, 900 by 500 pixels.
//
//   spc_bench [--pulls N]    (default 100000)
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <vector>

#include "report/ControlChartDrawing.h"
#include "spc/ControlChart.h"

using namespace vornex;
using Clock = std::chrono::steady_clock;

namespace {

std::vector<double> pulls(long count, double drift) {
    std::mt19937 random(2645);
    std::normal_distribution<double> scatter(0.0, 0.011);
    std::vector<double> values;
    values.reserve(static_cast<size_t>(count));
    for (long i = 0; i < count; ++i)
        values.push_back(0.8 + drift * static_cast<double>(i) / static_cast<double>(count) +
                         scatter(random));
    return values;
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    long count = 100000;
    for (int i = 1; i + 1 < argc; ++i) {
        if (std::strcmp(argv[i], "--pulls") == 0)
            count = std::atol(argv[i + 1]);
    }
    spc::SpcRequest request;
    request.tolerance = spc::Tolerance{0.72, 0.88, 0.8};
    request.resolution = 0.001;
    // The constants are worked out once per subgroup size; that is not the history's cost.
    spc::analyse(pulls(request.subgroupSize, 0.0), request);
    std::printf("spc of %ld pulls, subgroups of %d, limits from the data, all eight rules\n", count,
                request.subgroupSize);
    for (const double drift : {0.0, 0.05}) {
        const std::vector<double> values = pulls(count, drift);
        std::vector<double> ms;
        size_t breaks = 0;
        for (int run = 0; run < 21; ++run) {
            const auto start = Clock::now();
            const spc::SpcAnalysis analysis = spc::analyse(values, request);
            breaks = spc::listedBreaks(analysis).size();
            ms.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
        }
        std::sort(ms.begin(), ms.end());
        std::printf(
            "%-10s median %6.2f ms  worst %6.2f ms  breaks %zu  (target 50 ms, ratio %.2f)\n",
            drift == 0.0 ? "in control" : "drifting", ms[ms.size() / 2], ms.back(), breaks,
            ms[ms.size() / 2] / 50.0);
    }
    const spc::SpcAnalysis drifting = spc::analyse(pulls(count, 0.05), request);
    QImage image(900, 500, QImage::Format_RGB32);
    std::vector<double> ms;
    for (int run = 0; run < 5; ++run) {
        image.fill(Qt::white);
        const auto start = Clock::now();
        QPainter painter(&image);
        drawControlCharts(painter, QRectF(0, 0, 900, 500), drifting, 3);
        painter.end();
        ms.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
    }
    std::sort(ms.begin(), ms.end());
    std::printf("charts of %zu subgroups painted: median %6.2f ms  worst %6.2f ms\n",
                drifting.subgroups.size(), ms[ms.size() / 2], ms.back());
    return 0;
}
