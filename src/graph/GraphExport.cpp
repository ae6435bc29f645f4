#include "graph/GraphExport.h"

#include <QBuffer>
#include <QImage>
#include <QPdfWriter>
#include <cstdio>
#include <functional>

#include "files/AtomicFile.h"
#include "graph/CXGraph.h"

namespace vornex {

namespace {

// Screen pixels to PDF points.
constexpr double kPdfResolution = 96.0;

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

QString writeBytes(const QString& path, const QByteArray& bytes) {
    std::string error;
    return writeWholeFile(path.toStdString(),
                          std::string_view(bytes.constData(), static_cast<size_t>(bytes.size())),
                          &error)
               ? QString()
               : QString::fromStdString(error);
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
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (image.isNull() || !image.save(&buffer, "PNG")) {
        return QStringLiteral("cannot draw the graph as an image");
    }
    return writeBytes(path, bytes);
}

QString GraphExport::savePdf(const QString& path, int width, int height) const {
    if (!validSize(width, height)) {
        return QStringLiteral("a page of %1 x %2 pixels cannot be made").arg(width).arg(height);
    }
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&buffer);
        writer.setCreator(QStringLiteral("Vornex"));
        writer.setResolution(static_cast<int>(kPdfResolution));
        writer.setPageMargins(QMarginsF(0, 0, 0, 0));
        const double toPoints = 72.0 / kPdfResolution;
        writer.setPageSize(QPageSize(QSizeF(width * toPoints, height * toPoints), QPageSize::Point,
                                     QString(), QPageSize::ExactMatch));
        QCPPainter painter;
        if (!painter.begin(&writer)) {
            return QStringLiteral("cannot draw the graph as a PDF page");
        }
        // Lines and text stay vectors: no pixmap caches.
        painter.setMode(QCPPainter::pmVectorized);
        painter.setMode(QCPPainter::pmNoCaching);
        graph_.refreshCurves(width);
        graph_.toPainter(&painter, width, height);
        painter.end();
    }
    graph_.replot(QCustomPlot::rpQueuedReplot);
    return writeBytes(path, bytes);
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
