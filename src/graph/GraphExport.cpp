#include "graph/GraphExport.h"

#include <QImage>
#include <cstdio>
#include <functional>

#include "files/AtomicFile.h"
#include "graph/CXGraph.h"

namespace vornex {

namespace {

QString writeWhole(const QString& path, const std::function<bool(std::FILE*)>& write) {
    AtomicFile file(path.toStdString());
    if (!file.open()) {
        return QString::fromStdString(file.error());
    }
    if (!write(file.stream())) {
        return QStringLiteral("cannot write %1").arg(path);
    }
    return file.commit() ? QString() : QString::fromStdString(file.error());
}

bool validSize(int width, int height) {
    return width > 0 && height > 0 && width <= 20000 && height <= 20000;
}

}  // namespace

QString GraphExport::savePng(const QString& path, int width, int height) const {
    if (!validSize(width, height)) {
        return QStringLiteral("an image of %1 x %2 pixels cannot be made").arg(width).arg(height);
    }
    graph_.refreshCurves(width);
    const QImage image = graph_.toPixmap(width, height).toImage();
    graph_.replot(QCustomPlot::rpQueuedReplot);
    return writePngFile(path, image);
}

QString GraphExport::savePdf(const QString& path, int width, int height) const {
    if (!validSize(width, height)) {
        return QStringLiteral("a page of %1 x %2 pixels cannot be made").arg(width).arg(height);
    }
    const QString failure = writePdfPage(path, width, height, [&](QPaintDevice& page) {
        QCPPainter painter;
        if (!painter.begin(&page)) {
            return false;
        }
        // Lines and text stay vectors: no pixmap caches.
        painter.setMode(QCPPainter::pmVectorized);
        painter.setMode(QCPPainter::pmNoCaching);
        graph_.refreshCurves(width);
        graph_.toPainter(&painter, width, height);
        painter.end();
        return true;
    });
    graph_.replot(QCustomPlot::rpQueuedReplot);
    return failure;
}

QString GraphExport::saveCsv(const QString& path) const {
    const QCPRange keys = graph_.xAxis->range();
    return writeWhole(path, [&](std::FILE* out) {
        std::fputs("time,value,slave\n", out);
        for (int series = 0; series < CXGraph::kSeriesCount; ++series) {
            const CurveHistory& curve = graph_.seriesCurve(series);
            const size_t from = curve.lowerBound(keys.lower, 0, curve.size());
            const size_t to = curve.upperBound(keys.upper, from, curve.size());
            for (size_t i = from; i < to; ++i) {
                std::fprintf(out, "%.17g,%.17g,%d\n", curve.time(i), curve.value(i), series + 1);
            }
        }
        return std::ferror(out) == 0;
    });
}

WholeTestView::WholeTestView(CXGraph& graph)
    : graph_(graph),
      keys_{graph.xAxis->range().lower, graph.xAxis->range().upper},
      values_{graph.yAxis->range().lower, graph.yAxis->range().upper} {
    graph_.fitToData();
}

WholeTestView::~WholeTestView() {
    graph_.xAxis->setRange(keys_[0], keys_[1]);
    graph_.yAxis->setRange(values_[0], values_[1]);
    graph_.replot(QCustomPlot::rpQueuedReplot);
}

}  // namespace vornex
