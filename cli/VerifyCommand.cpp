#include <QDate>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <ctime>
#include <optional>
#include <sstream>
#include <string>

#include "Arguments.h"
#include "Commands.h"
#include "ConsoleStation.h"
#include "SignalPipe.h"
#include "VerifyLog.h"
#include "VerifyRegister.h"
#include "config/BenchConfig.h"
#include "config/HomeFolder.h"
#include "files/AtomicFile.h"
#include "files/HomeOutputs.h"
#include "files/IniLines.h"
#include "link/RegisterMap.h"
#include "register/DueDates.h"
#include "register/ToolIdentity.h"
#include "report/Certificate.h"
#include "text/NumberText.h"
#include "verify/Profile.h"
#include "verify/Reference.h"
#include "verify/ReferenceChecks.h"
#include "verify/RunFile.h"
#include "verify/RunProgress.h"
#include "verify/RunSetup.h"
#include "verify/ToolFolder.h"
#include "verify/VerificationRun.h"

namespace vornex::cli {

namespace {

using namespace vornex::verify;

constexpr auto kLineRetry = std::chrono::milliseconds(500);
constexpr const char* kDefaultProfile = "ISO 6789-1 conformance";
constexpr int kExitDoesNotConform = 4;

const char* const kUsage =
    "vornex-cli verify: needs --port PATH, --slave A (1 to 30) and --tool ID with --temperature "
    "C and --humidity % (or --resume RUNFILE); optional: --class C, --max X, --min X, --unit U, "
    "--profile NAME|FILE, --points P1,P2,..., --readings N, --preloads N, --operator NAME, "
    "--slips count|repeat, --allow-polled, --fast-pass, --overdue-reason TEXT, --reference ASSET, "
    "--uncertainty PCT, --condition as-found|as-left, --type I|II, --resolution R, --home DIR, "
    "--csv OUT, --pdf OUT\n";

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
int planNewRun(const Arguments& a, const std::string& home, PlannedRun& planned) {
    const std::string id = a.value(QStringLiteral("tool")).toStdString();
    if (!ToolFolder::validId(id)) {
        fail("--tool: \"" + id +
             "\" cannot name a tool (no \"/\", control characters or blanks "
             "around it)");
        return 1;
    }
    RunRequest request;
    bool bad = false;
    const auto max = numberOption(a, "max", bad);
    const auto min = numberOption(a, "min", bad);
    request.temperature = numberOption(a, "temperature", bad);
    request.humidity = numberOption(a, "humidity", bad);
    if (bad) {
        fail("--max, --min, --temperature and --humidity take numbers");
        return 1;
    }
    std::string error;
    const std::optional<Tool> remembered = ToolFolder(home + "Tools").load(id, error);
    if (!error.empty()) {
        fail(error);
        return 2;
    }
    Tool& tool = request.tool;
    tool = remembered.value_or(Tool{});
    tool.id = id;
    if (a.has(QStringLiteral("class")))
        tool.toolClass = a.value(QStringLiteral("class")).toStdString();
    if (a.has(QStringLiteral("unit")))
        tool.unit = a.value(QStringLiteral("unit")).toStdString();
    if (max)
        tool.maximum = *max;
    if (min)
        tool.lowest = *min;
    if (!readToolKind(a, tool))
        return 1;
    request.operatorName = a.value(QStringLiteral("operator")).toStdString();
    if (a.has(QStringLiteral("points"))) {
        request.points = pointList(a.value(QStringLiteral("points")));
        if (!request.points) {
            fail("--points takes percentages of the maximum, above 0 to 100, going up");
            return 1;
        }
    }
    long n = 0;
    if (a.has(QStringLiteral("readings"))) {
        if (!parseLong(a.value(QStringLiteral("readings")).toStdString(), 1, 100, n)) {
            fail("--readings takes a count from 1 to 100");
            return 1;
        }
        request.readings = static_cast<int>(n);
    }
    if (a.has(QStringLiteral("preloads"))) {
        if (!parseLong(a.value(QStringLiteral("preloads")).toStdString(), 0, 100, n)) {
            fail("--preloads takes a count from 0 to 100");
            return 1;
        }
        request.preloads = static_cast<int>(n);
    }
    request.profilesFolder = home + "Profiles";
    writeBuiltInProfiles(request.profilesFolder);
    request.profileName =
        a.value(QStringLiteral("profile"), QLatin1String(kDefaultProfile)).toStdString();
    planned = planRun(request);
    readResolution(a, planned.plan);
    const Profile& profile = planned.profile;
    using Problem = PlannedRun::Problem;
    switch (planned.problem) {
        case Problem::None:
        case Problem::DueDate:  // the due date is the bench's, looked up once the reference answers
            return 0;
        case Problem::ToolId:
        case Problem::ToolLimits:
            fail("tool " + id +
                 " needs --max X above 0 (and --min X from 0 below it), once; it is "
                 "remembered for the next runs");
            return 1;
        case Problem::PlainText:
            fail("--operator, --class and --unit take one line without blanks around it");
            return 1;
        case Problem::Profile:
            fail(planned.detail);
            return 2;
        case Problem::Conditions:
            fail("profile " + profile.name + " takes readings in " +
                 plainNumber(profile.temperatureMin) + " to " +
                 plainNumber(profile.temperatureMax) + " degC and at most " +
                 plainNumber(profile.humidityMax) +
                 " % humidity: give --temperature C and --humidity %");
            return 1;
    }
    return 0;
}

}  // namespace

int runVerify(const QStringList& given) {
    QStringList args = given;
    const bool allowPolled = takeFlag(args, QStringLiteral("--allow-polled"));
    const bool fastPass = takeFlag(args, QStringLiteral("--fast-pass"));
    const Arguments a(args, {"port",      "slave",     "tool",        "class",    "max",
                             "min",       "unit",      "profile",     "points",   "readings",
                             "preloads",  "operator",  "temperature", "humidity", "resume",
                             "home",      "pdf",       "csv",         "slips",    "overdue-reason",
                             "reference", "condition", "uncertainty", "type",     "resolution"});
    if (!a.ok()) {
        fail(a.error().toStdString());
        return 1;
    }
    const QString port = a.value(QStringLiteral("port"));
    const auto slave = parseSlaveList(a.value(QStringLiteral("slave")));
    const bool resume = a.has(QStringLiteral("resume"));
    const QString slips = a.value(QStringLiteral("slips"), QStringLiteral("repeat"));
    const std::string overdueReason = a.value(QStringLiteral("overdue-reason")).toStdString();
    const std::string condition =
        a.value(QStringLiteral("condition"), QLatin1String(RunPlan::kAsFound)).toStdString();
    if (port.isEmpty() || (condition != RunPlan::kAsFound && condition != RunPlan::kAsLeft) ||
        !slave || slave->size() != 1 || resume == a.has(QStringLiteral("tool")) ||
        (slips != QLatin1String("count") && slips != QLatin1String("repeat")) ||
        (a.has(QStringLiteral("overdue-reason")) &&
         !plainText(QString::fromStdString(overdueReason)))) {
        std::fputs(kUsage, stderr);
        return 1;
    }
    const std::string home = homePaths(given).home.toStdString();
    const std::string dataFolder = homePaths(given).dataFolder.toStdString();
    const std::string resumePath = a.value(QStringLiteral("resume")).toStdString();
    // Where the documents go is settled before a single pull is asked for.
    for (const char* option : {"pdf", "csv"}) {
        const std::string output = a.value(QLatin1String(option)).toStdString();
        if (!a.has(QLatin1String(option)))
            continue;
        std::string refusal = homeOutputRefusal(home, output);
        if (refusal.empty() && resume && isSameFile(resumePath, output))
            refusal = output + " is the run file itself; it is not written";
        if (!refusal.empty()) {
            fail(std::string("--") + option + ": " + refusal);
            return 2;
        }
    }

    const SlipPolicy slipPolicy =
        slips == QLatin1String("count") ? SlipPolicy::Count : SlipPolicy::Repeat;
    PlannedRun planned;
    RunPlan& plan = planned.plan;
    std::optional<RegisteredReference> asset;
    std::optional<HeldRun> held;
    std::string error;
    if (resume) {
        // Held before it is read: a second resume of the same run stops here.
        if (std::optional<HeldRun> taken = holdToResume(resumePath, error))
            held.emplace(std::move(*taken));
        if (!held) {
            fail(error);
            return 2;
        }
        plan = held->stored.plan;
        // A run begun in the window asked about each slip; here --slips answers for the rest.
        if (plan.slips == SlipPolicy::Ask)
            plan.slips = slipPolicy;
    } else {
        if (const int code = planNewRun(a, home, planned); code != 0)
            return code;
        if (a.has(QStringLiteral("reference"))) {
            asset = registeredReference(a.value(QStringLiteral("reference")).toStdString(), home,
                                        plan, overdueReason);
            if (!asset)
                return 2;
            plan.referenceAsset = asset->asset;
            plan.referenceCertificate = asset->certificate;
            plan.referenceUncertainty = asset->uncertainty;
        }
        // The register's uncertainty is the asset's own; one given is for a reference it lacks.
        if (a.has(QStringLiteral("uncertainty")) && !asset) {
            double uncertainty = 0.0;
            if (!parseDouble(a.value(QStringLiteral("uncertainty")).toStdString(), 0.0, 100.0,
                             uncertainty)) {
                fail("--uncertainty takes the reference's relative expanded uncertainty in %");
                return 1;
            }
            plan.referenceUncertainty = uncertainty;
        }
        plan.condition = condition;
        plan.slips = slipPolicy;
        if (planned.ambientOutside)
            fail("warning: the " + ambientText(planned) + "; they are recorded as given");
    }

    bool interrupted = false;
    const SignalPipe stopSignals({SIGINT, SIGTERM, SIGHUP}, [&interrupted] { interrupted = true; });
    ConsoleStation station(static_cast<uint8_t>(slave->front()), port, fastPass);
    if (!station.connect())
        return 2;
    switch (station.waitForInstrument([&interrupted] { return interrupted; })) {
        case ConsoleStation::Wait::Ready:
            break;
        case ConsoleStation::Wait::Absent:
            fail("slave " + std::to_string(slave->front()) + " does not answer on " +
                 port.toStdString());
            return 2;
        case ConsoleStation::Wait::Lost:
            fail("the line on " + port.toStdString() + " was lost");
            return 2;
        case ConsoleStation::Wait::Interrupted:
            fail("interrupted before the run began");
            return 2;
    }
    const ConsoleStation::Instrument instrument = station.instrument();
    const std::string mode(regmap::measuringModeName(instrument.measuringMode));
    const BenchConfig config(homePaths(given).configFile);
    const std::map<int, std::string> names = config.deviceNames(port.toStdString());
    const auto named = names.find(slave->front());
    const Reference reference{port.toStdString(),
                              slave->front(),
                              asset                  ? asset->asset
                              : named != names.end() ? named->second
                                                     : std::string(),
                              instrument.identification,
                              instrument.range,
                              instrument.decimals,
                              mode,
                              instrument.unit};
    if (held) {
        if (const std::string refusal = resumeRefusal(*held, reference); !refusal.empty()) {
            fail(refusal);
            return 2;
        }
    }
    const bool polled = polledPeaks(instrument.measuringMode);
    if (polled) {
        fail(std::string(allowPolled ? "warning: " : "") + "slave " +
             std::to_string(slave->front()) + " measures in mode " + mode +
             ": its peaks are polled about ten times a second and miss fast clicks; set it to P "
             "or 1P" +
             (allowPolled ? "" : ", or give --allow-polled to verify with polled peaks"));
        if (!allowPolled)
            return 2;
    }

    // The run's lines go to standard output as they come: a script drives the run from them.
    class PrintedRun : public RunListener {
        void said(const std::string& line) override { say(line); }
        void warned(const std::string& text) override { fail("warning: " + text); }
    } printed;
    const std::time_t now = std::time(nullptr);
    std::unique_ptr<VerificationRun> run;
    if (held) {
        run = std::make_unique<VerificationRun>(std::move(held->file), plan, reference, printed);
        run->resume(held->stored);
    } else {
        plan.referenceDue = asset ? asset->due : config.calibrationDue(instrument.identification);
        if (!asset && !plan.referenceDue.empty())
            fail("warning: the due date " + plan.referenceDue +
                 " is kept for every instrument reporting identification " +
                 instrument.identification + ", not for this one; give --reference ASSET");
        const RunCautions cautions =
            fitRun(planned, instrument.unit, instrument.decimals, instrument.measuringMode, now);
        if (!cautions.fitProblem.empty()) {
            fail(cautions.fitProblem);
            return 2;
        }
        if (const auto failed = failedReferenceChecks(plan); !failed.empty()) {
            fail(checkText(failed.front(), plan.tool.unit));
            return 2;
        }
        std::vector<std::string> notes;
        if (const std::string unnamed = takeToolIdentity(home, plan); !unnamed.empty())
            notes.push_back("warning " + unnamed);
        if (planned.ambientOutside)
            notes.push_back("warning " + ambientText(planned));
        if (cautions.overdue) {
            if (overdueReason.empty()) {
                fail("the reference's calibration was due " + plan.referenceDue +
                     "; give --overdue-reason TEXT to verify with it all the same");
                return 2;
            }
            notes.push_back(overdueNote(plan.referenceDue, overdueReason));
        }
        if (polled)
            notes.push_back(polledNote(mode) + " (--allow-polled)");
        if (const std::string overdueTool =
                overdueToolNote(home, plan.tool.id, QDate::currentDate());
            !overdueTool.empty())
            notes.push_back(overdueTool);
        const std::optional<MeasuredContributions> reused =
            reusedContributions(home, planned.profile, plan);
        std::string toolError;
        run = beginRun(plan, reference, dataFolder, home + "Tools", notes, now, printed, toolError,
                       error);
        if (!toolError.empty())
            fail(toolError);
        if (!run) {
            fail("cannot write the run file: " + error);
            return 2;
        }
        if (reused)
            run->takeContributions(reused->contributions, contributionsOrigin(*reused));
    }
    std::fprintf(stderr, "vornex-cli verify: run file %s\n", run->path().c_str());
    const RunQueuedAtExit queued{given, run->path()};
    run->start();
    Showing showing{plan.tool.unit, mode, plan.decimals};
    while (!run->finished()) {
        if (interrupted) {
            run->note("interrupted");
            fail("interrupted; go on with --resume " + run->path());
            return 2;
        }
        if (station.takeLoss()) {
            run->lineLost();
            while (!interrupted && !station.reopen())
                station.awaitNews(kLineRetry);
            if (!interrupted)
                run->lineBack();
            continue;
        }
        if (const std::optional<std::time_t> since = station.silentSince())
            run->instrumentSilent(RunFile::clockText(*since));
        else
            run->instrumentAnswering();
        if (const std::optional<Showing> shown = station.showing())
            showing = *shown;
        run->feed(station.takeSamples(), showing);
        if (run->indicationAsked() && !answerIndication(*run))
            return 2;
        if (!run->finished())
            station.awaitNews();
    }
    if (!run->ok()) {
        fail("cannot append to the run file: " + run->error());
        return 2;
    }
    const RunProgress& progress = run->progress();
    if (a.has(QStringLiteral("csv")) &&
        !writeWholeFile(a.value(QStringLiteral("csv")).toStdString(), readingsCsv(progress),
                        &error)) {
        fail("cannot write " + a.value(QStringLiteral("csv")).toStdString() + ": " + error);
        return 2;
    }
    const std::string pdf = a.value(QStringLiteral("pdf")).toStdString();
    if (!pdf.empty()) {
        const CertificateFacts facts{config.bench(), reference.name};
        if (const FileResult written =
                writeCertificatePdf(run->path(), facts, configuredTexts(given),
                                    issuedDocument(given, run->path(), "verify"), pdf);
            !written) {
            fail("cannot write the certificate " + pdf + ": " + written.text);
            return 2;
        }
    }
    tellRegister(home, *run);
    return progress.conforms() ? 0 : kExitDoesNotConform;
}

}  // namespace vornex::cli
