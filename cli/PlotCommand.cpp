#include <unistd.h>

#include <QGuiApplication>
#include <QPainter>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>
#include <optional>
#include <string>
#include <vector>

#include "Arguments.h"
#include "Commands.h"
#include "draw/GraphTexts.h"
#include "draw/PictureFile.h"
#include "draw/PlotPicture.h"
#include "draw/SeriesPalette.h"
#include "record/CompanionFile.h"
#include "record/TestFile.h"
#include "text/NumberText.h"

namespace vornex::cli {

namespace {

constexpr int kMaxPixels = 20000;

struct PlotOptions {
    std::optional<double> from;
    std::optional<double> to;
    int width = kPictureWidth;
    int height = kPictureHeight;
};

std::optional<double> parseSeconds(const QString& text) {
    return parseNumber(text.toStdString());
}

// Nothing when an option's value is not what it should be.
std::optional<PlotOptions> parseOptions(const Arguments& arguments) {
    PlotOptions options;
    for (const auto& [name, edge] : {std::pair{"from", &options.from}, {"to", &options.to}}) {
        if (arguments.has(QLatin1String(name)) &&
            !(*edge = parseSeconds(arguments.value(QLatin1String(name))))) {
            return std::nullopt;
        }
    }
    for (const auto& [name, size] :
         {std::pair{"width", &options.width}, {"height", &options.height}}) {
        if (arguments.has(QLatin1String(name))) {
            const auto pixels = parseCount(arguments.value(QLatin1String(name)));
            if (!pixels || *pixels > kMaxPixels)
                return std::nullopt;
            *size = *pixels;
        }
    }
    if (options.from && options.to && !(*options.from < *options.to))
        return std::nullopt;
    return options;
}

// First and last time of the readings drawn; empty while first > last.
struct Span {
    double first = std::numeric_limits<double>::infinity();
    double last = -std::numeric_limits<double>::infinity();
};

// Why --from and --to show nothing of the test, or nothing when they show some of it.
std::optional<std::string> rangeRefusal(const PlotOptions& options, const Span& span) {
    if (!options.from && !options.to)
        return std::nullopt;
    if (!(span.first <= span.last))
        return std::string("the test holds no readings, so --from and --to show nothing");
    const double from = options.from.value_or(span.first);
    const double to = options.to.value_or(span.last);
    if (from < to && from <= span.last && to >= span.first)
        return std::nullopt;
    return "the range " + formatFixed(from, 3) + " to " + formatFixed(to, 3) +
           " s shows nothing of the test; the test spans " + formatFixed(span.first, 3) + " to " +
           formatFixed(span.last, 3) + " s";
}

// As the window's graph shows the test: the whole of it, or from and to with the missing edge at
// the test's, and the values within that.
PlotPicture pictureOf(std::vector<CurveHistory>& curves, const PlotOptions& options) {
    const GraphTexts texts;
    PlotPicture picture;
    std::vector<const CurveHistory*> all;
    for (int slot = 0; slot < kCurveSlots; ++slot) {
        CurveHistory& curve = curves[static_cast<size_t>(slot)];
        curve.sort();
        all.push_back(&curve);
        picture.curves.push_back(PlotCurve{&curve, seriesColor(slot), texts.slave.arg(slot + 1)});
    }
    const AxisSpan whole = timeSpanOf(all).value_or(AxisSpan{0.0, 20.0});
    picture.time = AxisSpan{options.from.value_or(whole.low), options.to.value_or(whole.high)};
    picture.value = valueSpanOf(all, picture.time)
                        .value_or(valueSpanOf(all, whole).value_or(AxisSpan{0.0, 5.0}));
    picture.timeTitle = texts.time;
    picture.valueTitle = texts.torque;
    picture.font = QGuiApplication::font();
    return picture;
}

}  // namespace

int runPlot(const QStringList& args) {
    const Arguments arguments(
        args.mid(1), {QStringLiteral("png"), QStringLiteral("pdf"), QStringLiteral("from"),
                      QStringLiteral("to"), QStringLiteral("width"), QStringLiteral("height")});
    std::optional<PlotOptions> options;
    if (arguments.ok())
        options = parseOptions(arguments);
    if (args.isEmpty() || args.front().startsWith(QLatin1String("--")) || !options ||
        (!arguments.has(QStringLiteral("png")) && !arguments.has(QStringLiteral("pdf")))) {
        std::fputs(
            "vornex-cli plot: needs a test file and --png OUT and/or --pdf OUT; --from S --to S "
            "(from below to) and --width W --height H (1 to 20000) are optional\n",
            stderr);
        return 1;
    }
    const std::string input = args.front().toStdString();
    if (::access(input.c_str(), R_OK) != 0) {
        std::fprintf(stderr, "vornex-cli plot: cannot read %s\n", input.c_str());
        return 2;
    }
    for (const char* format : {"png", "pdf"}) {
        const std::string output = arguments.value(QLatin1String(format)).toStdString();
        const std::string refusal = testOutputRefusal(input, output);
        if (!refusal.empty()) {
            std::fprintf(stderr, "vornex-cli plot: %s\n", refusal.c_str());
            return 2;
        }
    }
    std::vector<CurveHistory> curves(kCurveSlots);
    Span span;
    const FileResult read = TestFile(input).readAll([&](const CurvePoint* points, size_t count) {
        for (size_t i = 0; i < count; ++i) {
            if (!hasCurveSlot(points[i].slave))
                continue;
            curves[points[i].slave - 1u].append(points[i].time, points[i].value);
            if (std::isfinite(points[i].time)) {
                span.first = std::min(span.first, points[i].time);
                span.last = std::max(span.last, points[i].time);
            }
        }
    });
    if (!read.ok()) {
        std::fprintf(stderr, "vornex-cli plot: %s\n", read.text.c_str());
        return 2;
    }
    if (const auto refusal = rangeRefusal(*options, span)) {
        std::fprintf(stderr, "vornex-cli plot: %s\n", refusal->c_str());
        return 1;
    }

    const PlotPicture picture = pictureOf(curves, *options);
    const QSize size(options->width, options->height);
    for (const char* format : {"png", "pdf"}) {
        const QString output = arguments.value(QLatin1String(format));
        if (output.isEmpty())
            continue;
        QString failure;
        if (format == std::string("png")) {
            QImage image(size, QImage::Format_RGB32);
            QPainter painter(&image);
            picture.paint(painter, size);
            painter.end();
            failure = writePngFile(output, image);
        } else {
            failure = writePdfPage(output, size.width(), size.height(), [&](QPaintDevice& page) {
                QPainter painter;
                if (!painter.begin(&page))
                    return false;
                picture.paint(painter, size);
                painter.end();
                return true;
            });
        }
        if (!failure.isEmpty()) {
            std::fprintf(stderr, "vornex-cli plot: %s\n", qPrintable(failure));
            return 2;
        }
    }
    return 0;
}

}  // namespace vornex::cli
