#include <QDate>
#include <cstdio>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "Arguments.h"
#include "Commands.h"
#include "StoreConnect.h"
#include "config/BenchConfig.h"
#include "config/HomeFolder.h"
#include "register/DueDates.h"
#include "register/LabRegister.h"
#include "register/ToolCycles.h"
#include "store/Impact.h"
#include "store/PgConnection.h"
#include "store/StoreAddress.h"
#include "store/StoredRegister.h"
#include "text/NumberText.h"

namespace vornex::cli {

namespace {

constexpr int kExitOverdue = 5;

const char kUsage[] =
    "usage: vornex-cli register list [--tools|--references] [--home DIR] [--uri URI]\n"
    "       vornex-cli register add-tool ID --class C --type I|II --min X --max X --unit U "
    "[--maker M] [--model M] [--serial S] [--interval-months N] [--interval-cycles N] "
    "[--lead-days N] [--last YYYY-MM-DD] [--home DIR]\n"
    "       vornex-cli register add-reference ASSET --range X --unit U --resolution X "
    "--uncertainty PCT --lowest X --due YYYY-MM-DD [--maker M] [--model M] [--serial S] "
    "[--certificate N] [--home DIR]\n"
    "       vornex-cli register due [--within DAYS] [--home DIR] [--uri URI]\n"
    "       vornex-cli register impact --tool ID | --reference ASSET [--home DIR] [--uri URI]\n";

int usage() {
    std::fputs(kUsage, stderr);
    return 1;
}

int failed(const std::string& text) {
    std::fprintf(stderr, "vornex-cli register: %s\n", text.c_str());
    return 2;
}

std::string orDash(const std::string& text) {
    return text.empty() ? "-" : text;
}

std::string text(const Arguments& a, const char* name) {
    return a.value(QString::fromLatin1(name)).trimmed().toStdString();
}

// A number option; `given` false when it is not there, nothing when it is no number.
std::optional<double> number(const Arguments& a, const char* name, bool& bad) {
    if (!a.has(QString::fromLatin1(name)))
        return std::nullopt;
    const std::optional<double> n = parseNumber(text(a, name));
    if (!n || *n < 0)
        bad = true;
    return n;
}

std::optional<long> count(const Arguments& a, const char* name, bool& bad) {
    if (!a.has(QString::fromLatin1(name)))
        return std::nullopt;
    const std::optional<int> n = parseCount(a.value(QString::fromLatin1(name)));
    if (!n)
        bad = true;
    return n ? std::optional<long>(*n) : std::nullopt;
}

// The register of the home the arguments name, with its Tools/ folder taken in.
std::optional<LabRegister> opened(const QStringList& args) {
    const LabRegister lab(homePaths(args).home.toStdString());
    std::string error;
    if (!lab.takeToolFolder(error)) {
        failed(error);
        return std::nullopt;
    }
    return lab;
}

int addTool(const QStringList& args) {
    const Arguments a(args.mid(1),
                      {"class", "type", "min", "max", "unit", "maker", "model", "serial",
                       "interval-months", "interval-cycles", "lead-days", "last", "home"});
    bool bad = !a.ok();
    RegisteredTool t;
    t.id = args.value(0).toStdString();
    t.toolClass = text(a, "class");
    t.type = text(a, "type");
    t.unit = text(a, "unit");
    t.maker = text(a, "maker");
    t.model = text(a, "model");
    t.serial = text(a, "serial");
    t.lastGood = text(a, "last");
    t.lowest = number(a, "min", bad);
    const std::optional<double> maximum = number(a, "max", bad);
    const std::optional<long> months = count(a, "interval-months", bad);
    const std::optional<long> cycles = count(a, "interval-cycles", bad);
    if (months || cycles) {
        t.intervalMonths = months ? std::optional<int>(static_cast<int>(*months)) : std::nullopt;
        t.intervalCycles = cycles;
    }
    if (a.has(QStringLiteral("lead-days"))) {
        const std::optional<long> lead = count(a, "lead-days", bad);
        t.leadDays = lead ? static_cast<int>(*lead) : 0;
    }
    if (bad || t.id.empty() || t.id.front() == '-' || t.toolClass.empty() || t.unit.empty() ||
        !maximum || !t.lowest || (t.type != "I" && t.type != "II"))
        return usage();
    t.maximum = *maximum;
    const std::optional<LabRegister> lab = opened(args);
    if (!lab)
        return 2;
    std::string error;
    if (!lab->enter(t, error))
        return failed(error);
    std::printf("tool %s\n", t.id.c_str());
    return 0;
}

int addReference(const QStringList& args) {
    const Arguments a(args.mid(1), {"range", "unit", "resolution", "uncertainty", "lowest", "due",
                                    "maker", "model", "serial", "certificate", "home"});
    bool bad = !a.ok();
    RegisteredReference r;
    r.asset = args.value(0).toStdString();
    r.unit = text(a, "unit");
    r.due = text(a, "due");
    r.maker = text(a, "maker");
    r.model = text(a, "model");
    r.serial = text(a, "serial");
    r.certificate = text(a, "certificate");
    const std::optional<double> range = number(a, "range", bad),
                                resolution = number(a, "resolution", bad),
                                uncertainty = number(a, "uncertainty", bad),
                                lowest = number(a, "lowest", bad);
    if (bad || r.asset.empty() || r.asset.front() == '-' || r.unit.empty() || r.due.empty() ||
        !range || !resolution || !uncertainty || !lowest)
        return usage();
    r.range = *range;
    r.resolution = *resolution;
    r.uncertainty = *uncertainty;
    r.lowest = *lowest;
    const std::optional<LabRegister> lab = opened(args);
    if (!lab)
        return 2;
    std::string error;
    if (!lab->enter(r, error))
        return failed(error);
    std::printf("reference %s\n", r.asset.c_str());
    return 0;
}

std::string optionalNumber(const std::optional<double>& n) {
    return n ? plainNumber(*n) : "-";
}

void printTools(const std::vector<RegisteredTool>& tools) {
    for (const RegisteredTool& t : tools) {
        std::printf(
            "tool %s type %s class %s %s-%s %s every %s months %s cycles lead %d days %s last "
            "%s\n",
            t.id.c_str(), t.type.c_str(), t.toolClass.c_str(), optionalNumber(t.lowest).c_str(),
            plainNumber(t.maximum).c_str(), orDash(t.unit).c_str(),
            t.intervalMonths ? std::to_string(*t.intervalMonths).c_str() : "-",
            t.intervalCycles ? std::to_string(*t.intervalCycles).c_str() : "-", t.leadDays,
            t.status.c_str(), orDash(t.lastGood).c_str());
    }
}

void printReferences(const std::vector<RegisteredReference>& references) {
    for (const RegisteredReference& r : references) {
        std::printf(
            "reference %s range %s %s resolution %s uncertainty %s %% lowest %s due %s "
            "certificate %s\n",
            r.asset.c_str(), plainNumber(r.range).c_str(), orDash(r.unit).c_str(),
            plainNumber(r.resolution).c_str(), plainNumber(r.uncertainty).c_str(),
            plainNumber(r.lowest).c_str(), orDash(r.due).c_str(), orDash(r.certificate).c_str());
    }
}

int list(const QStringList& args) {
    const bool tools = args.contains(QStringLiteral("--tools"));
    const bool references = args.contains(QStringLiteral("--references"));
    QStringList rest = args;
    rest.removeAll(QStringLiteral("--tools"));
    rest.removeAll(QStringLiteral("--references"));
    const Arguments a(rest, {"home", "uri"});
    if (!a.ok() || (tools && references))
        return usage();
    std::vector<RegisteredTool> allTools;
    std::vector<RegisteredReference> allReferences;
    if (a.has(QStringLiteral("uri"))) {
        const std::unique_ptr<store::PgConnection> connection = connectedStore(args, "register");
        if (!connection)
            return 2;
        auto storedTools = store::storedTools(*connection);
        auto storedReferences = store::storedReferences(*connection);
        if (!storedTools || !storedReferences)
            return failed((storedTools ? storedReferences.result : storedTools.result).text);
        allTools = std::move(storedTools.value);
        allReferences = std::move(storedReferences.value);
    } else {
        const std::optional<LabRegister> lab = opened(args);
        if (!lab)
            return 2;
        std::string error;
        std::vector<std::string> problems;
        if (!lab->tools(allTools, error, &problems) ||
            !lab->references(allReferences, error, &problems))
            return failed(error);
        for (const std::string& problem : problems)
            std::fprintf(stderr, "vornex-cli register: %s\n", problem.c_str());
    }
    if (!references)
        printTools(allTools);
    if (!tools)
        printReferences(allReferences);
    return 0;
}

// STATE KIND ID DUE CYCLES/INTERVAL: what is overdue or due soon, and with --within DAYS what
// else falls due within that many days.
// What is due as the home's register and tests reckon it.
std::optional<std::vector<store::StoredDue>> homeDue(const QStringList& args) {
    const std::optional<LabRegister> lab = opened(args);
    if (!lab)
        return std::nullopt;
    std::string error;
    std::vector<RegisteredTool> tools;
    std::vector<RegisteredReference> references;
    if (!lab->tools(tools, error) || !lab->references(references, error)) {
        failed(error);
        return std::nullopt;
    }
    const QDate today = QDate::currentDate();
    const std::string home = homePaths(args).home.toStdString();
    std::vector<store::StoredDue> all;
    const auto add = [&](const Due& d, const char* kind, const std::string& id, bool tool) {
        all.push_back({dueStateWord(d.state), kind, id,
                       d.date.isValid() ? d.date.toString(Qt::ISODate).toStdString() : "",
                       tool ? std::optional<long>(d.cycles) : std::nullopt, d.interval});
    };
    std::map<std::string, std::string> since;
    for (const RegisteredTool& t : tools) {
        if (t.status != "retired")
            since[t.id] = t.lastGood;
    }
    std::map<std::string, ToolCycles> cycles = countToolsCycles(home, since);
    for (const RegisteredTool& t : tools) {
        if (t.status != "retired")
            add(toolDue(t, cycles[t.id].pulls, today), "tool", t.id, true);
    }
    for (const RegisteredReference& r : references)
        add(referenceDue(r, today), "reference", r.asset, false);
    return all;
}

int due(const QStringList& args) {
    const Arguments a(args, {"within", "home", "uri"});
    std::optional<int> within;
    if (a.has(QStringLiteral("within"))) {
        within = parseCount(a.value(QStringLiteral("within")));
        if (!within)
            return usage();
    }
    if (!a.ok())
        return usage();
    std::optional<std::vector<store::StoredDue>> all;
    if (a.has(QStringLiteral("uri"))) {
        const std::unique_ptr<store::PgConnection> connection = connectedStore(args, "register");
        if (!connection)
            return 2;
        store::StoreAnswer<std::vector<store::StoredDue>> stored = store::storedDue(*connection);
        if (!stored)
            return failed(stored.result.text);
        all = std::move(stored.value);
    } else {
        all = homeDue(args);
    }
    if (!all)
        return 2;
    const QDate today = QDate::currentDate();
    bool overdue = false;
    for (const store::StoredDue& d : *all) {
        const QDate day = QDate::fromString(QString::fromStdString(d.due), Qt::ISODate);
        const bool listed =
            d.state != "ok" || (within && day.isValid() && today.daysTo(day) <= *within);
        overdue = overdue || d.state == "overdue";
        const std::string cycles =
            d.kind == "tool" ? std::to_string(d.cycles.value_or(0)) + "/" +
                                   (d.interval ? std::to_string(*d.interval) : std::string("-"))
                             : std::string("-");
        if (listed)
            std::printf("%s %s %s %s %s\n", d.state.c_str(), d.kind.c_str(), d.id.c_str(),
                        orDash(d.due).c_str(), cycles.c_str());
    }
    return overdue ? kExitOverdue : 0;
}

// Since when a subject's uses are listed: a tool's last good verification (the store's register
// first), a reference's current calibration as the store entered it; empty: all.
std::optional<std::string> impactSince(const store::ImpactSubject& subject, const LabRegister& lab,
                                       store::PgConnection* connection) {
    std::string error;
    if (subject.kind == store::ImpactSubject::Kind::Reference) {
        if (connection == nullptr)
            return std::string();
        const auto since = store::storedCalibrationSince(*connection, subject.id);
        if (!since)
            failed(since.result.text);
        return since ? std::optional<std::string>(since.value) : std::nullopt;
    }
    if (connection != nullptr) {
        const auto stored = store::storedTools(*connection);
        if (!stored) {
            failed(stored.result.text);
            return std::nullopt;
        }
        for (const RegisteredTool& t : stored.value) {
            if (t.id == subject.id)
                return t.lastGood;
        }
    }
    const std::optional<RegisteredTool> known = lab.tool(subject.id, error);
    if (!error.empty()) {
        failed(error);
        return std::nullopt;
    }
    return known ? known->lastGood : std::string();
}

// KIND UUID|PATH BENCH TIME OPERATOR RESULT: every test and run made with the tool or reference
// since it was last known good, from the home's files and the store.
int impact(const QStringList& args) {
    const Arguments a(args, {"tool", "reference", "home", "uri"});
    const bool tool = a.has(QStringLiteral("tool"));
    const store::ImpactSubject subject{
        tool ? store::ImpactSubject::Kind::Tool : store::ImpactSubject::Kind::Reference,
        text(a, tool ? "tool" : "reference")};
    if (!a.ok() || tool == a.has(QStringLiteral("reference")) || subject.id.empty())
        return usage();
    const std::optional<LabRegister> lab = opened(args);
    if (!lab)
        return 2;
    std::unique_ptr<store::PgConnection> connection;
    if (a.has(QStringLiteral("uri")) && !(connection = connectedStore(args, "register")))
        return 2;
    const std::optional<std::string> since = impactSince(subject, *lab, connection.get());
    if (!since)
        return 2;
    const AppPaths paths = homePaths(args);
    std::vector<std::string> unread;
    std::vector<store::ImpactEntry> files = store::impactInFiles(
        paths.home.toStdString(), subject, *since, BenchConfig(paths.configFile).bench(), unread);
    std::vector<store::ImpactEntry> stored;
    if (connection) {
        auto found = store::impactInStore(*connection, subject, *since);
        if (!found)
            return failed(found.result.text);
        stored = std::move(found.value);
    }
    for (const store::ImpactEntry& e : store::mergedImpact(std::move(files), std::move(stored)))
        std::printf("%s\n", store::impactLine(e).c_str());
    for (const std::string& problem : unread)
        std::fprintf(stderr, "vornex-cli register: cannot read %s; it is not listed\n",
                     problem.c_str());
    return unread.empty() ? 0 : 2;
}

}  // namespace

int runRegister(const QStringList& args) {
    const QString sub = args.value(0);
    const QStringList rest = args.mid(1);
    if (sub == QLatin1String("list"))
        return list(rest);
    if (sub == QLatin1String("add-tool"))
        return addTool(rest);
    if (sub == QLatin1String("add-reference"))
        return addReference(rest);
    if (sub == QLatin1String("due"))
        return due(rest);
    if (sub == QLatin1String("impact"))
        return impact(rest);
    return usage();
}

}  // namespace vornex::cli
