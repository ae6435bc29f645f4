#include "record/CompanionFile.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>

#include "config/IniDocument.h"
#include "files/AtomicFile.h"
#include "files/SmallFile.h"
#include "link/ParameterArithmetic.h"
#include "link/RegisterMap.h"
#include "record/CompanionTrace.h"
#include "record/CurvePoint.h"
#include "text/NumberText.h"

namespace vornex {

namespace {

const QString kTestSection = QStringLiteral("Test");
const QString kSlavePrefix = QStringLiteral("Slave_");
constexpr size_t kMaxCompanionSize = 1024 * 1024;
// Sections of one instrument's settings changes; no test makes more.
constexpr long kMaxChanges = 1000000;
// The most decimals a value is shown and judged with.
constexpr long kMaxDecimals = 6;

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

// [Slave_A] for an instrument's first settings, [Slave_A_N] for its N-th.
QString sectionName(int slave, size_t sequence) {
    QString name = kSlavePrefix + QString::number(slave);
    if (sequence > 1)
        name += QLatin1Char('_') + QString::number(sequence);
    return name;
}

// The slave address and sequence number a case-folded section name stands for.
std::optional<std::pair<int, long>> slaveSection(const QString& name) {
    const QString prefix = kSlavePrefix.toCaseFolded();
    if (!name.startsWith(prefix))
        return std::nullopt;
    const QStringList parts = name.mid(prefix.size()).split(QLatin1Char('_'));
    long slave = 0;
    long sequence = 1;
    if (parts.size() > 2 || !parseLong(parts[0].toStdString(), 1, kCurveSlots, slave) ||
        (parts.size() == 2 && !parseLong(parts[1].toStdString(), 2, kMaxChanges, sequence))) {
        return std::nullopt;
    }
    return std::pair(static_cast<int>(slave), sequence);
}

// The bytes of a regular file of at most kMaxCompanionSize, opened without waiting on it; a
// missing file leaves `bytes` null. Why it cannot be read otherwise.
std::string readCompanionBytes(const std::string& path, QByteArray& bytes) {
    const SmallFile file = readSmallFile(path, kMaxCompanionSize);
    switch (file.problem) {
        case SmallFile::Problem::None:
            // Not null even when empty: null means no file.
            bytes = QByteArray("");
            bytes.append(file.bytes.data(), static_cast<qsizetype>(file.bytes.size()));
            return std::string();
        case SmallFile::Problem::Missing:
            return std::string();
        case SmallFile::Problem::Unreadable:
            return path + ": " + std::strerror(file.error);
        case SmallFile::Problem::Folder:
            return path + ": a folder, not a companion file";
        case SmallFile::Problem::NotRegular:
            return path + ": not a regular file (a FIFO or a device), not read";
        case SmallFile::Problem::TooLarge:
            break;
    }
    return file.size >= 0
               ? path + ": " + std::to_string(file.size) + " bytes, more than a companion file's " +
                     std::to_string(kMaxCompanionSize)
               : path + ": cannot be read whole";
}

struct SectionRead {
    InstrumentSettings settings;
    std::string refusal;  // the keys refused and why; empty when every value can be held
};

// One section's settings. A missing key is not given, as in files that predate it; a value given
// must be one an instrument can hold.
SectionRead readSection(const QHash<QString, QString>& values) {
    SectionRead read;
    InstrumentSettings& s = read.settings;
    std::vector<std::string> refused;
    const auto text = [&values](const char* key) {
        return values.value(QString::fromLatin1(key).toCaseFolded());
    };
    const auto refuse = [&refused, &text](const char* key, const char* why) {
        refused.push_back(std::string(key) + "=" + text(key).toStdString() + ": " + why);
    };
    const auto given = [&values](const char* key) {
        return values.contains(QString::fromLatin1(key).toCaseFolded());
    };
    // A real number within [min, max], else refused.
    const auto real = [&](const char* key, double min, double max, double& out) {
        if (!given(key))
            return;
        const std::optional<double> value = parseNumber(text(key).toStdString());
        if (!value)
            refuse(key, "not a number");
        else if (!(*value >= min && *value <= max))
            refuse(key, "outside what an instrument can hold");
        else
            out = *value;
    };
    const auto whole = [&](const char* key, long max, long& out) {
        if (given(key) && !parseLong(text(key).toStdString(), 0, max, out))
            refuse(key, "not a whole number an instrument can hold");
    };
    const auto named = [&](const char* key, const auto& names, unsigned& out) {
        if (!given(key))
            return;
        const unsigned code = codeOf(text(key), names, UINT_MAX);
        if (code == UINT_MAX)
            refuse(key, "not a name an instrument knows");
        else
            out = code;
    };
    real("Since", 0.0, std::numeric_limits<double>::max(), s.since);
    named("Unit", regmap::kUnitNames, s.unit);
    named("Measure", regmap::kMeasuringModeNames, s.measure);
    long set = 0;
    whole("ParameterSet", regmap::kModeNumberCount - 1, set);
    s.parameterSet = static_cast<unsigned>(set);
    real("Range", 0.0, std::numeric_limits<float>::max(), s.range);
    long decimals = 0;
    whole("Decimals", kMaxDecimals, decimals);
    s.decimals = static_cast<int>(decimals);
    real("Target", 0.0, std::numeric_limits<double>::max(), s.target);
    const int rangeDecimals = regmap::decimalsForRange(static_cast<float>(s.range));
    if (s.target > 0.0 &&
        !params::newtonMetresToRaw(params::toNewtonMetres(s.target, s.unit), rangeDecimals)) {
        refuse("Target", "more than an instrument can hold");
    }
    real("Upper", 0.0, params::kMaxLimitPercent, s.upper);
    real("Lower", 0.0, params::kMaxLimitPercent, s.lower);
    for (const std::string& one : refused)
        read.refusal += (read.refusal.empty() ? "" : ", ") + one;
    return read;
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

const InstrumentSettings* Companion::lastSettings(int slave) const {
    const auto found = instruments.find(slave);
    return found != instruments.end() && !found->second.empty() ? &found->second.back() : nullptr;
}

const std::vector<InstrumentSettings>* Companion::history(int slave) const {
    const auto found = instruments.find(slave);
    return found != instruments.end() && !found->second.empty() ? &found->second : nullptr;
}

std::vector<std::string> CompanionRead::lines() const {
    std::vector<std::string> all;
    if (!refusal.empty())
        all.push_back(refusal + "; the test is judged without settings");
    for (const auto& [slave, text] : refused)
        all.push_back(text + "; slave " + std::to_string(slave) + " is judged without settings");
    return all;
}

FileResult writeCompanion(const std::string& path, const Companion& companion) {
    IniDocument doc;
    doc.setValue(kTestSection, QStringLiteral("Name"), QString::fromStdString(companion.testName));
    doc.setValue(kTestSection, QStringLiteral("Started"),
                 QString::fromStdString(companion.started));
    writeTrace(doc, companion);
    for (const auto& [slave, history] : companion.instruments) {
        for (size_t change = 0; change < history.size(); ++change) {
            const InstrumentSettings& s = history[change];
            const QString section = sectionName(slave, change + 1);
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

CompanionRead readCompanion(const std::string& path) {
    CompanionRead read;
    QByteArray bytes;
    read.refusal = readCompanionBytes(path, bytes);
    if (!read.refusal.empty() || bytes.isNull())
        return read;
    const IniDocument::ValueIndex index = IniDocument::fromBytes(bytes).index();
    if (index.isEmpty() && !bytes.trimmed().isEmpty()) {
        read.refusal = path + ": holds no ini section, it is not a companion file";
        return read;
    }
    Companion companion;
    const auto test = index.value(kTestSection.toCaseFolded());
    companion.testName = test.value(QStringLiteral("name")).toStdString();
    companion.started = test.value(QStringLiteral("started")).toStdString();
    readTrace(index, companion);
    // By slave, its sections by sequence number.
    std::map<int, std::map<long, const QHash<QString, QString>*>> sections;
    for (auto section = index.begin(); section != index.end(); ++section) {
        if (const auto named = slaveSection(section.key()))
            sections[named->first][named->second] = &section.value();
    }
    for (const auto& [slave, changes] : sections) {
        std::vector<InstrumentSettings> history;
        std::string refusal;
        for (const auto& [sequence, values] : changes) {
            const std::string where =
                path + " [" + sectionName(slave, static_cast<size_t>(sequence)).toStdString() +
                "] ";
            const SectionRead section = readSection(*values);
            if (!section.refusal.empty()) {
                refusal += (refusal.empty() ? "" : "; ") + where + section.refusal;
            } else if (!history.empty() && section.settings.since < history.back().since) {
                refusal += (refusal.empty() ? "" : "; ") + where +
                           "Since=" + values->value(QStringLiteral("since")).toStdString() +
                           ": earlier than the section before it";
            }
            history.push_back(section.settings);
        }
        if (refusal.empty())
            companion.instruments[slave] = std::move(history);
        else
            read.refused[slave] = refusal;
    }
    read.companion = std::move(companion);
    return read;
}

}  // namespace vornex
