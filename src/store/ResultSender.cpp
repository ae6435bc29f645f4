#include "store/ResultSender.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonValue>
#include <algorithm>
#include <functional>
#include <optional>

#include "judge/TestResults.h"
#include "verify/RunFile.h"
#include "verify/RunProgress.h"

namespace vornex::store {

namespace {

using Outcome = Sending::Outcome;

std::string number(double value) {
    return QString::number(value, 'g', 17).toStdString();
}

QJsonValue figure(const std::optional<double>& value) {
    return value ? QJsonValue(*value) : QJsonValue(QJsonValue::Null);
}

std::string json(const QJsonDocument& doc) {
    return doc.toJson(QJsonDocument::Compact).toStdString();
}

std::string settingsJson(const std::vector<InstrumentSettings>& history) {
    QJsonArray all;
    for (const InstrumentSettings& s : history) {
        all.append(QJsonObject{{"since", s.since},
                               {"unit", static_cast<int>(s.unit)},
                               {"measure", static_cast<int>(s.measure)},
                               {"parameterSet", static_cast<int>(s.parameterSet)},
                               {"range", s.range},
                               {"decimals", s.decimals},
                               {"target", s.target},
                               {"upper", s.upper},
                               {"lower", s.lower}});
    }
    return json(QJsonDocument(all));
}

std::string statisticsJson(const judge::Statistics& s) {
    return json(QJsonDocument(QJsonObject{{"n", static_cast<qint64>(s.n)},
                                          {"mean", figure(s.mean)},
                                          {"sd", figure(s.sd)},
                                          {"min", figure(s.min)},
                                          {"max", figure(s.max)},
                                          {"cp", figure(s.cp)},
                                          {"cpk", figure(s.cpk)}}));
}

// A regular file's bytes, or why it cannot be read whole.
StoreAnswer<std::string> fileBytes(const std::string& path) {
    StoreAnswer<std::string> read;
    const auto unreadable = [&](const std::string& why) {
        read.result =
            StoreResult::failed(StoreResultKind::Files, "cannot read " + path + ": " + why);
        return read;
    };
    QFile file(QString::fromStdString(path));
    if (!QFileInfo(file).isFile() || !file.open(QIODevice::ReadOnly)) {
        return unreadable(QFileInfo::exists(file.fileName()) ? file.errorString().toStdString()
                                                             : std::string("no such file"));
    }
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return unreadable(file.errorString().toStdString());
    read.value = bytes.toStdString();
    return read;
}

std::string sha256Hex(const std::string& bytes) {
    return QCryptographicHash::hash(QByteArray::fromStdString(bytes), QCryptographicHash::Sha256)
        .toHex()
        .toStdString();
}

// Runs the statements in one transaction: the first inserts the item's own row, and when it finds
// it already there the rest are skipped.
Sending transact(PgConnection& connection,
                 const std::vector<std::pair<std::string, std::vector<PgParam>>>& statements) {
    Sending sending;
    const auto failed = [&](const PgResult& result) {
        sending.result = connection.check(result);
        return sending;
    };
    PgTransaction transaction(connection);
    if (const PgResult begun = transaction.begin(); !begun.ok())
        return failed(begun);
    for (size_t i = 0; i < statements.size(); ++i) {
        const PgResult result = connection.exec(statements[i].first, statements[i].second);
        if (!result.ok())
            return failed(result);
        if (i == 0 && result.affected() == 0) {
            sending.outcome = Outcome::AlreadyStored;
            return sending;
        }
    }
    if (const PgResult committed = transaction.commit(); !committed.ok())
        return failed(committed);
    sending.outcome = Outcome::Stored;
    return sending;
}

Sending refused(StoreResult result) {
    Sending sending;
    sending.result = std::move(result);
    return sending;
}

PgParam timeParam(const std::string& iso) {
    return iso.empty() ? PgParam::null() : PgParam::text(iso);
}

}  // namespace

std::string testResultWord(size_t pass, size_t low, size_t high) {
    if (low != 0 && high != 0)
        return "fail";
    if (low != 0)
        return "low";
    if (high != 0)
        return "high";
    return pass != 0 ? "pass" : "none";
}

std::string runResultWord(const verify::StoredRun& run) {
    // Taken again as it was taken: an indicating tool's readings are judged by their indications.
    return !run.ended ? "abandoned" : verify::replay(run).conforms() ? "pass" : "fail";
}

std::string localTimeForServer(const std::string& local) {
    QString text = QString::fromStdString(local);
    text.replace(QLatin1Char('T'), QLatin1Char(' '));
    const QDateTime at = QDateTime::fromString(text, QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    if (!at.isValid())
        return {};
    return at.toOffsetFromUtc(at.offsetFromUtc()).toString(Qt::ISODate).toStdString();
}

Sending sendTest(PgConnection& connection, const std::string& uuid, const std::string& path) {
    const StoreAnswer<std::string> bytes = fileBytes(path);
    if (!bytes)
        return refused(bytes.result);
    const std::string sha256 = sha256Hex(bytes.value);
    const CompanionRead read = readCompanion(companionPath(path));
    const Companion companion = read.companion.value_or(Companion());
    if (!companion.trace.sha256.empty() && companion.trace.sha256 != sha256) {
        return refused(StoreResult::failed(
            StoreResultKind::BadInput, path + " differs from the file that was closed (its SHA-256 "
                                              "is not the one its companion file recorded); it is "
                                              "not sent"));
    }
    std::optional<std::string> companionBytes;
    if (read.companion) {
        if (StoreAnswer<std::string> held = fileBytes(companionPath(path)))
            companionBytes = std::move(held.value);
    }
    const JudgedFile judged = judgeTestFile(path, JudgeOverrides());
    if (!judged.file)
        return refused(StoreResult::failed(StoreResultKind::BadInput,
                                           "cannot judge " + path + ": " + judged.file.text));
    const TestResults& r = judged.results;

    size_t pass = 0, low = 0, high = 0, incomplete = 0;
    double last = 0.0;
    for (const InstrumentResult& i : r.instruments) {
        pass += i.pass;
        low += i.low;
        high += i.high;
        incomplete += i.incomplete;
    }
    for (const std::vector<CurvePoint>& curve : r.curves) {
        if (!curve.empty())
            last = std::max(last, curve.back().time);
    }
    const std::string started = localTimeForServer(companion.started);
    std::string ended;
    if (!started.empty()) {
        const QDateTime start = QDateTime::fromString(QString::fromStdString(started), Qt::ISODate);
        const QDateTime end = start.addMSecs(static_cast<qint64>(last * 1000.0));
        ended = end.toString(Qt::ISODate).toStdString();
    }
    const TestTrace& t = companion.trace;
    std::vector<std::pair<std::string, std::vector<PgParam>>> statements;
    statements.push_back(
        {"INSERT INTO vornex_tests (id, bench, operator, tool, tool_description, note, version, "
         "name, started, ended, result, pass_count, low_count, high_count, incomplete_count, "
         "sha256, file, companion) VALUES ($1, $2, $3, $4, $5, $6, $7, $8, $9, $10, $11, $12, "
         "$13, $14, $15, $16, $17, $18) ON CONFLICT DO NOTHING",
         {PgParam::text(uuid), PgParam::text(t.bench), PgParam::text(t.operatorName),
          PgParam::text(t.toolId), PgParam::text(t.toolDescription), PgParam::text(t.note),
          PgParam::text(t.version), PgParam::text(r.name), timeParam(started), timeParam(ended),
          PgParam::text(testResultWord(pass, low, high)), PgParam::text(std::to_string(pass)),
          PgParam::text(std::to_string(low)), PgParam::text(std::to_string(high)),
          PgParam::text(std::to_string(incomplete)), PgParam::text(sha256),
          PgParam::bytes(bytes.value),
          companionBytes ? PgParam::bytes(*companionBytes) : PgParam::null()}});
    for (const InstrumentResult& i : r.instruments) {
        statements.push_back(
            {"INSERT INTO vornex_test_instruments (test_id, slave, name, identification, "
             "settings, statistics) VALUES ($1, $2, $3, $4, $5, $6)",
             {PgParam::text(uuid), PgParam::text(std::to_string(i.slave)),
              PgParam::text(i.identity.name), PgParam::text(i.identity.identification),
              PgParam::text(settingsJson(i.history)),
              PgParam::text(statisticsJson(i.statistics))}});
        for (const judge::JudgedEvent& e : i.events) {
            statements.push_back(
                {"INSERT INTO vornex_test_events (test_id, slave, number, start_s, end_s, peak_s, "
                 "peak, complete, verdict) VALUES ($1, $2, $3, $4, $5, $6, $7, $8, $9)",
                 {PgParam::text(uuid), PgParam::text(std::to_string(i.slave)),
                  PgParam::text(std::to_string(e.number)), PgParam::text(number(e.event.start)),
                  PgParam::text(number(e.event.end)), PgParam::text(number(e.event.peakTime)),
                  PgParam::text(number(e.event.peak)),
                  PgParam::text(e.event.complete ? "true" : "false"),
                  PgParam::text(std::string(judge::verdictName(e.verdict)))}});
        }
    }
    return transact(connection, statements);
}

Sending sendRun(PgConnection& connection, const std::string& uuid, const std::string& path,
                const std::string& bench, const std::string& supersedes) {
    const StoreAnswer<std::string> bytes = fileBytes(path);
    if (!bytes)
        return refused(bytes.result);
    std::string error;
    const std::optional<verify::StoredRun> run = verify::readRunFile(path, error);
    if (!run) {
        return refused(StoreResult::failed(StoreResultKind::BadInput,
                                           "cannot read the run file " + path + ": " + error));
    }
    verify::RunProgress progress(run->plan);
    std::vector<verify::Taken> taken;
    for (size_t n = 0; n < run->pulls.size(); ++n)
        taken.push_back(
            progress.take(run->pulls[n], verify::SlipPolicy::Count,
                          n < run->pullFacts.size() ? run->pullFacts[n] : verify::PullFacts{}));
    const std::string result = runResultWord(*run);
    std::vector<std::pair<std::string, std::vector<PgParam>>> statements;
    statements.push_back(
        {"INSERT INTO vornex_runs (id, bench, operator, tool, instrument, identification, "
         "started, ended, result, sha256, file, supersedes) VALUES ($1, $2, $3, $4, $5, $6, $7, "
         "$8, $9, $10, $11, $12) ON CONFLICT DO NOTHING",
         {PgParam::text(uuid), PgParam::text(bench), PgParam::text(run->plan.operatorName),
          PgParam::text(run->plan.tool.id), PgParam::text(run->instrument),
          PgParam::text(run->identification), timeParam(localTimeForServer(run->started)),
          timeParam(localTimeForServer(run->lastTime)), PgParam::text(result),
          PgParam::text(sha256Hex(bytes.value)), PgParam::bytes(bytes.value),
          supersedes.empty() ? PgParam::null() : PgParam::text(supersedes)}});
    // Each pull as the run counted it, so that a tool's history is read without its files.
    for (size_t n = 0; n < run->pulls.size(); ++n) {
        const verify::Taken& t = taken[n];
        const bool preload = t.kind == verify::Taken::Kind::Preload;
        const auto unlessPreload = [&](const std::string& value) {
            return preload ? PgParam::null() : PgParam::text(value);
        };
        statements.push_back(
            {"INSERT INTO vornex_run_readings (run_id, number, value, point, setting, deviation, "
             "verdict, slip) VALUES ($1, $2, $3, $4, $5, $6, $7, $8)",
             {PgParam::text(uuid), PgParam::text(std::to_string(n + 1)),
              PgParam::text(number(run->pulls[n])),
              unlessPreload(std::to_string(t.reading.point + 1)),
              unlessPreload(number(t.reading.setting)), unlessPreload(number(t.reading.deviation)),
              unlessPreload(t.reading.conforms ? "conforms" : "exceeds"),
              unlessPreload(t.reading.slip ? "true" : "false")}});
    }
    return transact(connection, statements);
}

}  // namespace vornex::store
