#include "record/CompanionFile.h"

#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "files/AtomicFile.h"
#include "i18n/IniDocument.h"
#include "link/NumberText.h"
#include "link/ParameterArithmetic.h"
#include "link/RegisterMap.h"
#include "record/CompanionTrace.h"
#include "record/CurvePoint.h"

namespace vornex {

namespace {

const QString kTestSection = QStringLiteral("Test");
const QString kSlavePrefix = QStringLiteral("Slave_");
constexpr qint64 kMaxCompanionSize = 1024 * 1024;

QString number(double value, int decimals) {
    return QString::number(value, 'f', std::max(decimals, 0));
}

// The code of a name in a table of names, or `fallback`.
template <size_t N>
unsigned codeOf(const QString& name, const std::string_view (&names)[N], unsigned fallback) {
    for (size_t i = 0; i < N; ++i) {
        if (name == QString::fromLatin1(names[i].data(), static_cast<qsizetype>(names[i].size())))
            return static_cast<unsigned>(i);
    }
    return fallback;
}

QString nameOf(std::string_view name) {
    return QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size()));
}

}  // namespace

bool InstrumentSettings::sameSettings(const InstrumentSettings& o) const {
    return unit == o.unit && measure == o.measure && parameterSet == o.parameterSet &&
           range == o.range && decimals == o.decimals && target == o.target && upper == o.upper &&
           lower == o.lower;
}

double InstrumentSettings::rangeInUnit() const {
    return params::fromNewtonMetres(range, unit);
}

std::string companionPath(const std::string& testPath) {
    static const std::string kTestSuffix = ".pdat";
    if (testPath.size() > kTestSuffix.size() &&
        testPath.compare(testPath.size() - kTestSuffix.size(), kTestSuffix.size(), kTestSuffix) ==
            0) {
        return testPath.substr(0, testPath.size() - kTestSuffix.size()) + ".ini";
    }
    return testPath + ".ini";
}

std::string testOutputRefusal(const std::string& testPath, const std::string& output) {
    if (isSameFile(testPath, output))
        return output + " is the test file itself; it is not written";
    // The companion beside the name given and, when that is a link, beside the file it leads to.
    char buffer[PATH_MAX];
    const char* real = ::realpath(testPath.c_str(), buffer);
    for (const std::string& companion :
         {companionPath(testPath), real != nullptr ? companionPath(real) : std::string()}) {
        if (!companion.empty() && isSameFile(companion, output))
            return output + " is the companion file of the test; it is not written";
    }
    return std::string();
}

InstrumentSettings settingsOf(const DeviceRecord::PublishedSettings& published, double since) {
    const regmap::Settings block = regmap::Settings::decode(published.settings.data());
    const int rangeDecimals = regmap::decimalsForRange(published.range);
    InstrumentSettings s;
    s.since = since;
    s.unit = block.unit;
    s.measure = block.measuringMode;
    s.parameterSet = published.modeNumber;
    s.range = published.range;
    s.decimals = published.decimals;
    s.target = params::rawToShown(block.target, rangeDecimals, block.unit);
    s.upper = params::limitPercent(block.upperLimit);
    s.lower = params::limitPercent(block.lowerLimit);
    return s;
}

FileResult writeCompanion(const std::string& path, const Companion& companion) {
    IniDocument doc;
    doc.setValue(kTestSection, QStringLiteral("Name"), QString::fromStdString(companion.testName));
    doc.setValue(kTestSection, QStringLiteral("Started"),
                 QString::fromStdString(companion.started));
    writeTrace(doc, companion);
    for (const auto& [slave, s] : companion.instruments) {
        const QString section = kSlavePrefix + QString::number(slave);
        const int rangeDecimals = regmap::decimalsForRange(static_cast<float>(s.range));
        const int precision = params::displayPrecision(rangeDecimals, s.unit);
        const QString entries[][2] = {
            {QStringLiteral("Since"), number(s.since, 3)},
            {QStringLiteral("Unit"), nameOf(regmap::unitName(s.unit))},
            {QStringLiteral("Measure"), nameOf(regmap::measuringModeName(s.measure))},
            {QStringLiteral("ParameterSet"), QString::number(s.parameterSet)},
            {QStringLiteral("Range"), number(s.range, 1)},
            {QStringLiteral("Decimals"), QString::number(s.decimals)},
            {QStringLiteral("Target"), number(s.target, precision < 0 ? 6 : precision)},
            {QStringLiteral("Upper"), number(s.upper, 1)},
            {QStringLiteral("Lower"), number(s.lower, 1)},
        };
        for (const auto& entry : entries)
            doc.setValue(section, entry[0], entry[1]);
    }
    const QByteArray bytes = doc.toBytes();
    AtomicFile file(path);
    bool ok = file.open() && std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()),
                                         file.stream()) == static_cast<size_t>(bytes.size());
    if (ok && file.commit())
        return FileResult();
    return FileResult::failed(FileResultKind::Unwritable,
                              file.error().empty() ? "cannot write " + path : file.error());
}

std::optional<Companion> readCompanion(const std::string& path) {
    QFile file(QString::fromStdString(path));
    if (!QFileInfo(file).isFile() || file.size() > kMaxCompanionSize ||
        !file.open(QIODevice::ReadOnly)) {
        return std::nullopt;
    }
    const IniDocument::ValueIndex index = IniDocument::fromBytes(file.readAll()).index();
    Companion companion;
    const auto test = index.value(kTestSection.toCaseFolded());
    companion.testName = test.value(QStringLiteral("name")).toStdString();
    companion.started = test.value(QStringLiteral("started")).toStdString();
    readTrace(index, companion);
    for (auto section = index.begin(); section != index.end(); ++section) {
        const QString prefix = kSlavePrefix.toCaseFolded();
        if (!section.key().startsWith(prefix))
            continue;
        long slave = 0;
        if (!parseLong(section.key().mid(prefix.size()).toStdString(), 1, kCurveSlots, slave))
            continue;
        const auto& values = section.value();
        // A value that is not a number counts as not given, as a missing key does.
        const auto real = [&values](const char* key) {
            return parseNumber(values.value(QString::fromLatin1(key)).toStdString()).value_or(0.0);
        };
        const auto whole = [&values](const char* key, long max) {
            long value = 0;
            return parseLong(values.value(QString::fromLatin1(key)).toStdString(), 0, max, value)
                       ? value
                       : 0;
        };
        InstrumentSettings s;
        s.since = real("since");
        s.unit = codeOf(values.value(QStringLiteral("unit")), regmap::kUnitNames, 0);
        s.measure = codeOf(values.value(QStringLiteral("measure")), regmap::kMeasuringModeNames, 0);
        s.parameterSet = static_cast<unsigned>(whole("parameterset", 65535));
        s.range = real("range");
        s.decimals = static_cast<int>(whole("decimals", 65535));
        s.target = real("target");
        s.upper = real("upper");
        s.lower = real("lower");
        companion.instruments[static_cast<int>(slave)] = s;
    }
    return companion;
}

}  // namespace vornex
