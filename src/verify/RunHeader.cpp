#include "verify/RunHeader.h"

#include <regex>
#include <sstream>

#include "text/NumberText.h"
#include "verify/Deviation.h"
#include "verify/RunFile.h"

namespace vornex::verify {

namespace {

std::string optionalNumber(const std::optional<double>& value) {
    return value ? plainNumber(*value) : std::string("not given");
}

const char* slipsText(SlipPolicy slips) {
    switch (slips) {
        case SlipPolicy::Count:
            return "count";
        case SlipPolicy::Repeat:
            return "repeat";
        case SlipPolicy::Ask:
            break;
    }
    return "ask";
}

// Files written before the header named the instrument key by key say it in its description.
void referenceFrom(const std::map<std::string, std::string>& header, StoredRun& run) {
    Reference& r = run.reference;
    r.identification = run.identification;
    r.unit = run.plan.tool.unit;
    r.decimals = run.plan.decimals;
    const auto slave = header.find("Slave");
    long address = 0;
    if (slave != header.end() && parseLong(slave->second, 1, 247, address)) {
        r.address = static_cast<int>(address);
        r.port = header.at("Port");
        r.mode = header.count("Mode") ? header.at("Mode") : std::string();
        r.name = header.count("Name") ? header.at("Name") : std::string();
        if (header.count("Range"))
            parseDouble(header.at("Range"), 0.0, 1e9, r.range);
        return;
    }
    static const std::regex described(
        R"(^slave (\d+) on (.+), mode (\S+), range ([0-9.]+)( .*)?$)");
    std::smatch m;
    if (!std::regex_match(run.instrument, m, described))
        return;
    parseLong(m[1].str(), 1, 247, address);
    r.address = static_cast<int>(address);
    r.port = m[2].str();
    r.mode = m[3].str();
    parseDouble(m[4].str(), 0.0, 1e9, r.range);
}

// Reads the header back into a plan; the problem, or empty.
}  // namespace

std::string runHeaderText(const RunPlan& plan, const Reference& reference, std::time_t started) {
    std::ostringstream out;
    out << "Vornex tool verification run\n"
        << "Tool: " << plan.tool.id << "\nDescription: " << plan.tool.description
        << "\nTool maker: " << plan.toolMaker << "\nTool model: " << plan.toolModel
        << "\nTool serial: " << plan.toolSerial << "\nType: " << plan.tool.type
        << "\nClass: " << plan.tool.toolClass << "\nLowest: " << optionalNumber(plan.tool.lowest)
        << "\nMaximum: " << plainNumber(plan.tool.maximum) << "\nUnit: " << plan.tool.unit
        << "\nDirection: " << plan.direction << "\nProfile: " << plan.profile
        << "\nStandard: " << plan.standard << "\nDecision rule: " << plan.decisionRule
        << "\nPoints:";
    for (double p : plan.points)
        out << " " << plainNumber(p);
    out << "\nReadings: " << plan.readings << "\nPreloads: " << plan.preloads
        << "\nPermissible: " << plainNumber(plan.permissible)
        << "\nSlips: " << slipsText(plan.slips) << "\nDecimals: " << plan.decimals
        << "\nOperator: " << plan.operatorName
        << "\nTemperature: " << optionalNumber(plan.temperature)
        << "\nHumidity: " << optionalNumber(plan.humidity)
        << "\nReference due: " << (plan.referenceDue.empty() ? "not given" : plan.referenceDue)
        << "\nReference asset: " << plan.referenceAsset
        << "\nReference certificate: " << plan.referenceCertificate
        << "\nReference uncertainty: " << optionalNumber(plan.referenceUncertainty)
        << "\nCondition: " << plan.condition << "\nInstrument: " << reference.description()
        << "\nIdentification: " << reference.identification << "\nPort: " << reference.port
        << "\nSlave: " << reference.address << "\nName: " << reference.name
        << "\nRange: " << plainNumber(reference.range) << "\nMode: " << reference.mode
        << "\nResolution: " << optionalNumber(plan.resolution)
        << "\nLoading min: " << plainNumber(plan.loadingMin)
        << "\nSubtests: " << subtestPlansText(plan.subtests)
        << "\nSubtest point: " << plainNumber(plan.subtestPoint)
        << "\nStarted: " << RunFile::timeText(started) << "\n";
    return out.str();
}

std::string readRunHeader(const std::map<std::string, std::string>& header, StoredRun& run) {
    for (const char* key : {"Tool", "Class", "Maximum", "Unit", "Points", "Readings", "Preloads",
                            "Permissible", "Slips", "Decimals", "Instrument", "Started"}) {
        if (header.count(key) == 0)
            return std::string("no ") + key + " in the header";
    }
    RunPlan& p = run.plan;
    const auto get = [&header](const char* key) {
        const auto it = header.find(key);
        return it == header.end() ? std::string() : it->second;
    };
    p.tool.id = get("Tool");
    p.tool.description = get("Description");
    // Files from before the register's names and the decision rule were kept read them as empty.
    p.toolMaker = get("Tool maker");
    p.toolModel = get("Tool model");
    p.toolSerial = get("Tool serial");
    p.decisionRule = get("Decision rule");
    p.tool.type = get("Type");
    p.tool.toolClass = get("Class");
    p.tool.unit = get("Unit");
    p.tool.direction = get("Direction");
    // The series a run took; files from before a run named them were clockwise alone.
    p.direction = p.tool.direction == "both" || p.tool.direction == "counterclockwise"
                      ? p.tool.direction
                      : "clockwise";
    p.profile = get("Profile");
    p.standard = get("Standard");
    p.operatorName = get("Operator");
    run.instrument = get("Instrument");
    run.identification = get("Identification");
    run.started = get("Started");
    run.lastTime = run.started;
    long n = 0;
    double x = 0.0;
    if (!parseDouble(get("Maximum"), 0.0, 1e9, p.tool.maximum) ||
        !parseDouble(get("Permissible"), 0.0, 100.0, p.permissible))
        return "Maximum or Permissible is no number";
    if (parseDouble(get("Lowest"), 0.0, 1e9, x))
        p.tool.lowest = x;
    if (parseDouble(get("Temperature"), x))
        p.temperature = x;
    if (parseDouble(get("Humidity"), x))
        p.humidity = x;
    if (!parseLong(get("Readings"), 1, 100, n))
        return "Readings is no count";
    p.readings = static_cast<int>(n);
    if (!parseLong(get("Preloads"), 0, 100, n))
        return "Preloads is no count";
    p.preloads = static_cast<int>(n);
    if (!parseLong(get("Decimals"), 0, 6, n))
        return "Decimals is no count";
    p.decimals = static_cast<int>(n);
    const std::string slips = get("Slips");
    if (slips != slipsText(SlipPolicy::Count) && slips != slipsText(SlipPolicy::Repeat) &&
        slips != slipsText(SlipPolicy::Ask))
        return "Slips is count, repeat or ask";
    p.slips = slips == slipsText(SlipPolicy::Count)    ? SlipPolicy::Count
              : slips == slipsText(SlipPolicy::Repeat) ? SlipPolicy::Repeat
                                                       : SlipPolicy::Ask;
    if (get("Reference due") != "not given")
        p.referenceDue = get("Reference due");
    p.referenceAsset = get("Reference asset");
    p.referenceCertificate = get("Reference certificate");
    if (parseDouble(get("Reference uncertainty"), 0.0, 100.0, x))
        p.referenceUncertainty = x;
    if (parseDouble(get("Resolution"), 0.0, 1e9, x))
        p.resolution = x;
    // Runs begun before the loading was timed go on without timing it.
    p.loadingMin = parseDouble(get("Loading min"), 0.0, 1e6, x) ? x : 0.0;
    // Runs from before the condition was recorded say nothing of it.
    p.condition = get("Condition");
    if (!p.condition.empty() && p.condition != RunPlan::kAsFound && p.condition != RunPlan::kAsLeft)
        return "Condition is as-found or as-left";
    // Runs from before a calibration measured its sub-tests have none.
    if (header.count("Subtests")) {
        const auto subtests = parseSubtestPlans(get("Subtests"));
        if (!subtests || !parseDouble(get("Subtest point"), 0.0, 100.0, p.subtestPoint))
            return "Subtests or Subtest point is not as a run writes it";
        p.subtests = *subtests;
    }
    referenceFrom(header, run);
    std::istringstream points(get("Points"));
    for (std::string word; points >> word;) {
        if (!parseDouble(word, 0.01, 100.0, x))
            return "Points holds no number " + word;
        p.points.push_back(x);
    }
    return p.points.empty() ? "no Points" : std::string();
}

}  // namespace vornex::verify
