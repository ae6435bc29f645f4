#include "frame/GraphLanguage.h"

#include <QDateTime>
#include <QFileInfo>

#include "graph/CXGraph.h"
#include "i18n/Language.h"
#include "i18n/LanguageKeys.h"
#include "session/AcquisitionSession.h"

namespace vornex {

GraphTexts graphTexts(const QString& languageFile) {
    const auto text = [&languageFile](const char* key) {
        return GetLangString(languageFile, QString::fromLatin1(key));
    };
    GraphTexts texts;
    texts.time = text(langkey::kGraphTime);
    texts.torque = text(langkey::kGraphTorque);
    texts.slave = text(langkey::kGraphSlave);
    texts.point = text(langkey::kMeasurePoint);
    texts.delta = text(langkey::kMeasureDelta);
    texts.hintZoom = text(langkey::kHintZoom);
    texts.hintPan = text(langkey::kHintPan);
    texts.hintFirst = text(langkey::kMeasureHintFirst);
    texts.hintSecond = text(langkey::kMeasureHintSecond);
    texts.hintMove = text(langkey::kMeasureHintMove);
    return texts;
}

PageTexts pageTexts(const QString& languageFile, const AcquisitionSession& session,
                    const QString& loadedFile, const CXGraph& graph) {
    const auto text = [&languageFile](const char* key) {
        return GetLangString(languageFile, QString::fromLatin1(key));
    };
    PageTexts page;
    if (session.testOpen()) {
        page.header
            << text(langkey::kPrintTest)
                   .arg(QFileInfo(QString::fromStdString(session.testPath())).completeBaseName());
    } else if (!loadedFile.isEmpty()) {
        page.header << text(langkey::kPrintFile).arg(loadedFile);
    } else {
        page.header << text(langkey::kStatusNoTest);
    }
    page.header << text(langkey::kPrintDate)
                       .arg(QDateTime::currentDateTime().toString(
                           QStringLiteral("yyyy-MM-dd HH:mm:ss")));
    QStringList instruments;
    for (int series = 0; series < CXGraph::kSeriesCount; ++series) {
        if (graph.seriesCurve(series).empty())
            continue;
        const QString& unit = graph.labels().unitOf(series).unit;
        const QString name = graph.labels().curveName(series);
        instruments << (unit.isEmpty() ? name : QStringLiteral("%1 (%2)").arg(name, unit));
    }
    if (!instruments.isEmpty())
        page.header << text(langkey::kPrintInstruments).arg(instruments.join(QStringLiteral(", ")));
    page.footer = text(langkey::kPrintPage);
    return page;
}

void applySeriesUnits(CXGraph& graph, const AcquisitionSession& session) {
    std::array<SeriesUnit, CXGraph::kSeriesCount> units{};
    const SessionState& state = session.state();
    for (const InstrumentState& instrument : state.instruments) {
        // No unit text: the instrument has not told it since its address was set. A unit told
        // stays while later reads fail, as the curve drawn in it does.
        if (instrument.unitText.empty() || !hasCurveSlot(instrument.address))
            continue;
        SeriesUnit& unit = units[static_cast<size_t>(instrument.address - 1)];
        unit.unit = QString::fromStdString(instrument.unitText);
        unit.decimals = instrument.decimals;
    }
    graph.setSeriesUnits(units, state.displayedAddress - 1);
}

}  // namespace vornex
