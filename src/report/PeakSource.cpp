#include "report/PeakSource.h"

#include <algorithm>
#include <cmath>

#include "link/RegisterMap.h"

namespace vornex {

namespace {

// One decimal, and two significant digits for rates below 0.1, so a slow line never reads 0.
QString rateText(const std::optional<double>& rate) {
    if (!rate)
        return QStringLiteral("-");
    const int decimals =
        *rate >= 0.1 ? 1 : std::min(6, 1 - static_cast<int>(std::floor(std::log10(*rate))));
    return QString::number(*rate, 'f', decimals);
}

QString modeName(unsigned mode) {
    const std::string_view name = regmap::measuringModeName(mode);
    return QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size()));
}

}  // namespace

PeakSource peakSourceOf(const InstrumentSettings* settings, const CurvePoint* points,
                        size_t count) {
    PeakSource source;
    if (settings != nullptr && (settings->measure == regmap::kMeasurePeak ||
                                settings->measure == regmap::kMeasureFirstPeak))
        source.heldIn = settings->measure;
    if (count >= 2) {
        const double span = points[count - 1].time - points[0].time;
        if (std::isfinite(span) && span > 0.0)
            source.readingsPerSecond = static_cast<double>(count - 1) / span;
    }
    return source;
}

std::string peakSourceWords(const PeakSource& source) {
    if (source.heldIn != 0)
        return "held by the instrument (" + modeName(source.heldIn).toStdString() + ")";
    return "polled curve " + rateText(source.readingsPerSecond).toStdString() + " readings/s";
}

QString peakSourceText(const PeakSource& source, const ReportTexts& texts) {
    if (source.heldIn != 0)
        return texts.peaksHeld.arg(modeName(source.heldIn));
    return texts.peaksPolled.arg(rateText(source.readingsPerSecond));
}

}  // namespace vornex
