#include <QCoreApplication>
#include <csignal>
#include <cstdio>
#include <ctime>
#include <optional>
#include <sstream>
#include <string>
#include <thread>

#include "Arguments.h"
#include "Commands.h"
#include "SignalPipe.h"
#include "VerifyLog.h"
#include "VerifyStation.h"
#include "files/AtomicFile.h"
#include "i18n/HomeFolder.h"
#include "link/NumberText.h"
#include "link/RegisterMap.h"
#include "record/BenchConfig.h"
#include "report/Certificate.h"
#include "verify/IniLines.h"
#include "verify/Profile.h"
#include "verify/RunFile.h"
#include "verify/RunFit.h"
#include "verify/RunProgress.h"
#include "verify/ToolRecord.h"
#include "verify/VerificationRun.h"

namespace vornex::cli {

namespace {

using namespace vornex::verify;

constexpr auto kWaitStep = std::chrono::milliseconds(20);
constexpr auto kLineRetry = std::chrono::milliseconds(500);
constexpr const char* kDefaultProfile = "ISO 6789-1 conformance";
constexpr int kExitDoesNotConform = 4;

const char* const kUsage =
    "vornex-cli verify: needs --port PATH, --slave A (1 to 30) and --tool ID (or --resume "
    "RUNFILE); optional: --class C, --max X, --min X, --unit U, --profile NAME|FILE, --points "
    "P1,P2,..., --readings N, --preloads N, --operator NAME, --temperature C, --humidity %, "
    "--slips count|repeat, --allow-polled, --home DIR, --csv OUT, --pdf OUT\n";

void fail(const std::string& text) {
    std::fprintf(stderr, "vornex-cli verify: %s\n", text.c_str());
}

// The flag without a value, taken out of the options that all have one.
bool takeFlag(QStringList& args, const QString& flag) {
    return args.removeAll(flag) > 0;
}

std::optional<double> numberOption(const Arguments& a, const char* name, bool& bad) {
    if (!a.has(QLatin1String(name)))
        return std::nullopt;
    double value = 0.0;
    if (!parseDouble(a.value(QLatin1String(name)).toStdString(), value)) {
        bad = true;
        return std::nullopt;
    }
    return value;
}

std::optional<std::vector<double>> pointList(const QString& text) {
    std::vector<double> points;
    for (const QString& part : text.split(QLatin1Char(','))) {
        double p = 0.0;
        if (!parseDouble(part.toStdString(), 0.01, 100.0, p) ||
            (!points.empty() && p <= points.back()))
            return std::nullopt;
        points.push_back(p);
    }
    return points;
}

// A text for a file line: no control characters, no blanks around it.
bool plainText(const QString& text) {
    return fitsIniLine(text.toStdString());
}

// The plan of a new run from the options, the remembered tool and the profile; the exit code
// when it cannot be made (the problem said on stderr), else 0.
int planNewRun(const Arguments& a, const std::string& home, RunPlan& plan, DeviationTable& table) {
    const std::string id = a.value(QStringLiteral("tool")).toStdString();
    if (!ToolStore::validId(id)) {
        fail("--tool: \"" + id +
             "\" cannot name a tool (no \"/\", control characters or blanks "
             "around it)");
        return 1;
    }
    bool bad = false;
    const auto max = numberOption(a, "max", bad);
    const auto min = numberOption(a, "min", bad);
    plan.temperature = numberOption(a, "temperature", bad);
    plan.humidity = numberOption(a, "humidity", bad);
    if (bad) {
        fail("--max, --min, --temperature and --humidity take numbers");
        return 1;
    }
    const ToolStore store(home + "Tools");
    std::string error;
    const std::optional<Tool> remembered = store.load(id, error);
    if (!error.empty()) {
        fail(error);
        return 2;
    }
    Tool tool = remembered.value_or(Tool{});
    tool.id = id;
    if (a.has(QStringLiteral("class")))
        tool.toolClass = a.value(QStringLiteral("class")).toStdString();
    if (a.has(QStringLiteral("unit")))
        tool.unit = a.value(QStringLiteral("unit")).toStdString();
    if (max)
        tool.maximum = *max;
    if (min)
        tool.lowest = *min;
    if (!(tool.maximum > 0.0) || (tool.lowest && !(*tool.lowest < tool.maximum)) ||
        (tool.lowest && *tool.lowest < 0.0)) {
        fail("tool " + id +
             " needs --max X above 0 (and --min X from 0 below it), once; it is "
             "remembered for the next runs");
        return 1;
    }
    plan.operatorName = a.value(QStringLiteral("operator")).toStdString();
    if (!plainText(a.value(QStringLiteral("operator"))) ||
        !plainText(QString::fromStdString(tool.toolClass)) ||
        !plainText(QString::fromStdString(tool.unit))) {
        fail("--operator, --class and --unit take one line without blanks around it");
        return 1;
    }

    const std::string profiles = home + "Profiles";
    writeBuiltInProfiles(profiles);
    const std::string profileName =
        a.value(QStringLiteral("profile"), QLatin1String(kDefaultProfile)).toStdString();
    const ProfileRead read = loadProfile(profiles, profileName);
    if (!read.profile) {
        fail("profile " + profileName +
             (read.line ? " line " + std::to_string(read.line) : std::string()) + ": " +
             read.problem);
        return 2;
    }
    const Profile& profile = *read.profile;
    plan.tool = tool;
    plan.profile = profile.name;
    plan.standard = profile.standard;
    plan.points = profile.points;
    plan.readings = profile.readings;
    plan.preloads = profile.preloads;
    if (a.has(QStringLiteral("points"))) {
        const auto points = pointList(a.value(QStringLiteral("points")));
        if (!points) {
            fail("--points takes percentages of the maximum, above 0 to 100, going up");
            return 1;
        }
        plan.points = *points;
    }
    long n = 0;
    if (a.has(QStringLiteral("readings"))) {
        if (!parseLong(a.value(QStringLiteral("readings")).toStdString(), 1, 100, n)) {
            fail("--readings takes a count from 1 to 100");
            return 1;
        }
        plan.readings = static_cast<int>(n);
    }
    if (a.has(QStringLiteral("preloads"))) {
        if (!parseLong(a.value(QStringLiteral("preloads")).toStdString(), 0, 100, n)) {
            fail("--preloads takes a count from 0 to 100");
            return 1;
        }
        plan.preloads = static_cast<int>(n);
    }
    if ((plan.temperature && (*plan.temperature < profile.temperatureMin ||
                              *plan.temperature > profile.temperatureMax)) ||
        (plan.humidity && *plan.humidity > profile.humidityMax)) {
        fail("warning: the ambient conditions are outside the profile's " +
             plainNumber(profile.temperatureMin) + " to " + plainNumber(profile.temperatureMax) +
             " degC and " + plainNumber(profile.humidityMax) +
             " % humidity; they are recorded as given");
    }
    table = profile.deviations;
    return 0;
}

}  // namespace

int runVerify(const QStringList& given) {
    QStringList args = given;
    const bool allowPolled = takeFlag(args, QStringLiteral("--allow-polled"));
    const Arguments a(args, {"port", "slave", "tool", "class", "max", "min", "unit", "profile",
                             "points", "readings", "preloads", "operator", "temperature",
                             "humidity", "resume", "home", "pdf", "csv", "slips"});
    if (!a.ok()) {
        fail(a.error().toStdString());
        return 1;
    }
    const QString port = a.value(QStringLiteral("port"));
    const auto slave = parseSlaveList(a.value(QStringLiteral("slave")));
    const bool resume = a.has(QStringLiteral("resume"));
    const QString slips = a.value(QStringLiteral("slips"), QStringLiteral("repeat"));
    if (port.isEmpty() || !slave || slave->size() != 1 || resume == a.has(QStringLiteral("tool")) ||
        (slips != QLatin1String("count") && slips != QLatin1String("repeat"))) {
        std::fputs(kUsage, stderr);
        return 1;
    }
    const std::string home = homePaths(given).home.toStdString();
    const std::string dataFolder = homePaths(given).dataFolder.toStdString();

    RunPlan plan;
    DeviationTable table;
    std::optional<StoredRun> stored;
    const std::string resumePath = a.value(QStringLiteral("resume")).toStdString();
    if (resume) {
        std::string error;
        stored = readRunFile(resumePath, error);
        if (!stored) {
            fail(error);
            return 2;
        }
        if (stored->ended) {
            fail(resumePath + " has ended; nothing to resume");
            return 2;
        }
        plan = stored->plan;
        // A run begun in the window asked about each slip; here --slips answers for the rest.
        if (plan.slips == SlipPolicy::Ask)
            plan.slips = slips == QLatin1String("count") ? SlipPolicy::Count : SlipPolicy::Repeat;
    } else {
        if (const int code = planNewRun(a, home, plan, table); code != 0)
            return code;
        plan.slips = slips == QLatin1String("count") ? SlipPolicy::Count : SlipPolicy::Repeat;
    }

    bool interrupted = false;
    const SignalPipe stopSignals({SIGINT, SIGTERM}, [&interrupted] { interrupted = true; });
    VerifyStation station(static_cast<uint8_t>(slave->front()), port);
    if (!station.connect())
        return 2;
    switch (station.waitForInstrument([&interrupted] { return interrupted; })) {
        case VerifyStation::Wait::Ready:
            break;
        case VerifyStation::Wait::Absent:
            fail("slave " + std::to_string(slave->front()) + " does not answer on " +
                 port.toStdString());
            return 2;
        case VerifyStation::Wait::Lost:
            fail("the line on " + port.toStdString() + " was lost");
            return 2;
        case VerifyStation::Wait::Interrupted:
            fail("interrupted before the run began");
            return 2;
    }
    const VerifyStation::Instrument instrument = station.instrument();
    const std::string mode(regmap::measuringModeName(instrument.measuringMode));
    if (instrument.measuringMode != regmap::kMeasurePeak &&
        instrument.measuringMode != regmap::kMeasureFirstPeak) {
        fail(std::string(allowPolled ? "warning: " : "") + "slave " +
             std::to_string(slave->front()) + " measures in mode " + mode +
             ": its peaks are polled about ten times a second and miss fast clicks; set it to P "
             "or 1P" +
             (allowPolled ? "" : ", or give --allow-polled to verify with polled peaks"));
        if (!allowPolled)
            return 2;
    }

    std::string error;
    if (resume && instrument.unit != plan.tool.unit) {
        fail("the instrument shows " + instrument.unit + ", the run is in " + plan.tool.unit);
        return 2;
    }
    if (!resume) {
        if (const std::string problem = fitPlan(plan, table, instrument.unit, instrument.decimals);
            !problem.empty()) {
            fail(problem);
            return 2;
        }
        plan.referenceDue =
            BenchConfig(homePaths(given).configFile).calibrationDue(instrument.identification);
        if (!ToolStore(home + "Tools").save(plan.tool, error))
            fail("tool " + plan.tool.id + " is not remembered: " + error);
    }
    const std::time_t now = std::time(nullptr);
    const std::string description =
        "slave " + std::to_string(slave->front()) + " on " + port.toStdString() + ", mode " + mode +
        ", range " + formatFixed(instrument.range, instrument.decimals) + " " + instrument.unit;
    std::optional<RunFile> file =
        resume ? RunFile::reopen(resumePath, error)
               : RunFile::create(RunFile::pathFor(dataFolder, plan.tool.id, now), plan, description,
                                 instrument.identification, now, error);
    if (!file) {
        fail("cannot write the run file: " + error);
        return 2;
    }
    std::fprintf(stderr, "vornex-cli verify: run file %s\n", file->path().c_str());
    const RunQueuedAtExit queued{given, file->path()};
    const std::string pdf = a.value(QStringLiteral("pdf")).toStdString();
    for (const char* option : {"pdf", "csv"}) {
        const std::string output = a.value(QLatin1String(option)).toStdString();
        if (!output.empty() && isSameFile(file->path(), output)) {
            fail(std::string("--") + option + ": " + output +
                 " is the run file itself; it is not written");
            return 2;
        }
    }

    // The run's lines go to standard output as they come: a script drives the run from them.
    class PrintedRun : public RunListener {
        void said(const std::string& line) override { say(line); }
    } printed;
    VerificationRun run(std::move(*file), plan, printed);
    if (stored)
        run.resume(*stored);
    run.start();
    while (!run.finished()) {
        QCoreApplication::processEvents();
        if (interrupted) {
            run.note("interrupted");
            fail("interrupted; go on with --resume " + run.path());
            return 2;
        }
        if (station.takeLoss()) {
            run.lineLost();
            while (!interrupted && !station.reopen()) {
                std::this_thread::sleep_for(kLineRetry);
                QCoreApplication::processEvents();
            }
            if (!interrupted)
                run.lineBack();
            continue;
        }
        run.feed(station.takeSamples());
        if (!run.finished())
            std::this_thread::sleep_for(kWaitStep);
    }
    if (!run.ok()) {
        fail("cannot append to the run file: " + run.error());
        return 2;
    }
    const RunProgress& progress = run.progress();
    if (a.has(QStringLiteral("csv")) &&
        !writeWholeFile(a.value(QStringLiteral("csv")).toStdString(), readingsCsv(progress),
                        &error)) {
        fail("cannot write " + a.value(QStringLiteral("csv")).toStdString() + ": " + error);
        return 2;
    }
    if (!pdf.empty()) {
        const BenchConfig config(homePaths(given).configFile);
        const std::map<int, std::string> names = config.deviceNames(port.toStdString());
        const auto named = names.find(slave->front());
        const CertificateFacts facts{config.bench(),
                                     named != names.end() ? named->second : std::string()};
        if (const FileResult written =
                writeCertificatePdf(run.path(), facts, configuredTexts(given), pdf);
            !written) {
            fail("cannot write the certificate " + pdf + ": " + written.text);
            return 2;
        }
    }
    return progress.conforms() ? 0 : kExitDoesNotConform;
}

}  // namespace vornex::cli
