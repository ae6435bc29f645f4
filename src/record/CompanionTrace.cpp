#include "record/CompanionTrace.h"

#include "record/CurvePoint.h"
#include "text/NumberText.h"

namespace vornex {

namespace {

const QString kTestSection = QStringLiteral("Test");
const QString kInstrumentPrefix = QStringLiteral("Instrument_");

// A value stays on its line: every line break or other control character becomes a space.
QString oneLine(const std::string& text) {
    QString line = QString::fromStdString(text);
    for (QChar& c : line) {
        if (c.category() == QChar::Other_Control)
            c = QLatin1Char(' ');
    }
    return line;
}

struct TraceKey {
    const char* key;
    std::string TestTrace::*field;
};

constexpr TraceKey kTraceKeys[] = {
    {"Bench", &TestTrace::bench},     {"Operator", &TestTrace::operatorName},
    {"Tool", &TestTrace::toolId},     {"ToolDescription", &TestTrace::toolDescription},
    {"Note", &TestTrace::note},       {"ToolOverdue", &TestTrace::toolOverdue},
    {"Version", &TestTrace::version}, {"SHA256", &TestTrace::sha256},
};

}  // namespace

void writeTrace(IniDocument& doc, const Companion& companion) {
    doc.setValue(kTestSection, QStringLiteral("UUID"), oneLine(companion.uuid));
    for (const TraceKey& entry : kTraceKeys) {
        doc.setValue(kTestSection, QString::fromLatin1(entry.key),
                     oneLine(companion.trace.*entry.field));
    }
    for (const auto& [slave, identity] : companion.identities) {
        const QString section = kInstrumentPrefix + QString::number(slave);
        doc.setValue(section, QStringLiteral("Name"), oneLine(identity.name));
        doc.setValue(section, QStringLiteral("Identification"), oneLine(identity.identification));
    }
}

void readTrace(const IniDocument::ValueIndex& index, Companion& companion) {
    const auto test = index.value(kTestSection.toCaseFolded());
    companion.uuid = test.value(QStringLiteral("uuid")).toStdString();
    for (const TraceKey& entry : kTraceKeys) {
        companion.trace.*entry.field =
            test.value(QString::fromLatin1(entry.key).toCaseFolded()).toStdString();
    }
    const QString prefix = kInstrumentPrefix.toCaseFolded();
    for (auto section = index.begin(); section != index.end(); ++section) {
        long slave = 0;
        if (!section.key().startsWith(prefix) ||
            !parseLong(section.key().mid(prefix.size()).toStdString(), 1, kCurveSlots, slave))
            continue;
        InstrumentIdentity& identity = companion.identities[static_cast<int>(slave)];
        identity.name = section.value().value(QStringLiteral("name")).toStdString();
        identity.identification =
            section.value().value(QStringLiteral("identification")).toStdString();
    }
}

}  // namespace vornex
