#include "verify/Profile.h"

#include <filesystem>
#include <set>
#include <sstream>
#include <utility>

#include "files/AtomicFile.h"
#include "files/IniLines.h"
#include "text/NumberText.h"
#include "verify/Deviation.h"

namespace vornex::verify {

namespace {

std::vector<std::string> commaSeparated(const std::string& text) {
    std::vector<std::string> parts;
    std::istringstream in(text);
    for (std::string part; std::getline(in, part, ',');) {
        part.erase(0, part.find_first_not_of(' '));
        part.erase(part.find_last_not_of(' ') + 1);
        parts.push_back(part);
    }
    return parts;
}

// The sub-tests by their keys, in the order a calibration takes them.
std::vector<std::pair<const char*, Subtest*>> subtests(Profile& p) {
    return {{"Reproducibility", &p.reproducibility},
            {"OutputDrive", &p.outputDrive},
            {"Interface", &p.interface},
            {"LoadingPoint", &p.loadingPoint}};
}

void writeTable(std::ostream& out, const char* section, const DeviationTable& table) {
    out << "\n[" << section
        << "]\n; CLASS = percent above the limit, percent at or below it, limit in N.m (the "
           "tool's maximum)\n";
    for (const DeviationRow& row : table) {
        out << row.toolClass << " = " << plainNumber(row.above) << ", "
            << plainNumber(row.atOrBelow) << ", " << plainNumber(row.limitNm) << "\n";
    }
}

class ProfileReader {
public:
    ProfileRead read(const std::string& text) {
        const IniLines lines = IniLines::parse(text);
        if (lines.problem)
            return refuse(lines.problem->line, lines.problem->text);
        bool ownTable = false, ownIndicating = false;
        for (const IniEntry& entry : lines.entries) {
            line_ = entry.line;
            const bool indicating = sameIniName(entry.section, "Deviation I");
            if (indicating || sameIniName(entry.section, "Deviation")) {
                bool& own = indicating ? ownIndicating : ownTable;
                DeviationTable& table =
                    indicating ? profile_.indicatingDeviations : profile_.deviations;
                if (!own)
                    table.clear();
                own = true;
                if (!readRow(entry, table))
                    return result_;
            } else if (!sameIniName(entry.section, "Profile")) {
                return refuse(line_, "unknown section [" + entry.section + "]");
            } else if (!readEntry(entry)) {
                return result_;
            }
        }
        for (const char* key : {"Name", "Points", "Readings", "Preloads"}) {
            if (seen_.count(foldedIniName(key)) == 0)
                return refuse(0, std::string("no ") + key + " in [Profile]");
        }
        if (ownTable && profile_.deviations.empty())
            return refuse(0, "[Deviation] holds no class");
        if (ownIndicating && profile_.indicatingDeviations.empty())
            return refuse(0, "[Deviation I] holds no class");
        result_.profile = profile_;
        return result_;
    }

private:
    ProfileRead& refuse(int line, const std::string& problem) {
        result_.problem = ParseProblem{line, problem};
        return result_;
    }

    bool number(const std::string& text, double min, double max, double& out) {
        if (parseDouble(text, min, max, out))
            return true;
        refuse(line_, "\"" + text + "\" is no number from " + plainNumber(min) + " to " +
                          plainNumber(max));
        return false;
    }

    bool count(const std::string& text, long min, long max, int& out) {
        long n = 0;
        if (!parseLong(text, min, max, n)) {
            refuse(line_, "\"" + text + "\" is no whole number from " + std::to_string(min) +
                              " to " + std::to_string(max));
            return false;
        }
        out = static_cast<int>(n);
        return true;
    }

    bool readPoints(const std::string& text) {
        profile_.points.clear();
        for (const std::string& part : commaSeparated(text)) {
            double p = 0.0;
            if (!number(part, 0.01, 100.0, p))
                return false;
            if (!profile_.points.empty() && p <= profile_.points.back()) {
                refuse(line_, "points go up, each once");
                return false;
            }
            profile_.points.push_back(p);
        }
        if (!profile_.points.empty())
            return true;
        refuse(line_, "no points");
        return false;
    }

    bool readEntry(const IniEntry& e) {
        if (!seen_.insert(foldedIniName(e.key)).second) {
            refuse(line_, e.key + " is given twice");
            return false;
        }
        if (sameIniName(e.key, "Name") || sameIniName(e.key, "Standard")) {
            if (e.value.empty()) {
                refuse(line_, e.key + " is empty");
                return false;
            }
            (sameIniName(e.key, "Name") ? profile_.name : profile_.standard) = e.value;
            return true;
        }
        if (sameIniName(e.key, "Points"))
            return readPoints(e.value);
        if (sameIniName(e.key, "Readings"))
            return count(e.value, 1, 100, profile_.readings);
        if (sameIniName(e.key, "Preloads"))
            return count(e.value, 0, 100, profile_.preloads);
        if (sameIniName(e.key, "Direction")) {
            if (e.value != "clockwise" && e.value != "counterclockwise" && e.value != "both") {
                refuse(line_, "Direction is clockwise, counterclockwise or both");
                return false;
            }
            profile_.direction = e.value;
            return true;
        }
        if (sameIniName(e.key, "TemperatureMin"))
            return number(e.value, -50.0, 100.0, profile_.temperatureMin);
        if (sameIniName(e.key, "TemperatureMax"))
            return number(e.value, -50.0, 100.0, profile_.temperatureMax);
        if (sameIniName(e.key, "HumidityMax"))
            return number(e.value, 0.0, 100.0, profile_.humidityMax);
        if (sameIniName(e.key, "LoadingMin"))
            return number(e.value, 0.0, 60.0, profile_.loadingMin);
        if (sameIniName(e.key, "DecisionRule")) {
            if (e.value != kUncertaintyDecisionRule) {
                refuse(line_, std::string("DecisionRule is ") + kUncertaintyDecisionRule);
                return false;
            }
            profile_.decisionRule = e.value;
            return true;
        }
        for (const auto& [key, subtest] : subtests(profile_)) {
            if (sameIniName(e.key, key))
                return readSubtest(e.value, *subtest);
        }
        if (sameIniName(e.key, "SubtestPoint")) {
            double point = 0.0;
            if (!number(e.value, 0.01, 100.0, point))
                return false;
            profile_.subtestPoint = point;
            return true;
        }
        if (sameIniName(e.key, "SubtestsValidMonths"))
            return count(e.value, 0, 120, profile_.subtestsValidMonths);
        refuse(line_, "unknown key " + e.key + " in [Profile]");
        return false;
    }

    bool readSubtest(const std::string& text, Subtest& subtest) {
        const std::vector<std::string> parts = commaSeparated(text);
        if (parts.size() != 2) {
            refuse(line_, "a sub-test is SERIES, READINGS");
            return false;
        }
        return count(parts[0], 1, 20, subtest.series) && count(parts[1], 1, 100, subtest.readings);
    }

    bool readRow(const IniEntry& e, DeviationTable& table) {
        const std::vector<std::string> parts = commaSeparated(e.value);
        if (parts.size() != 3) {
            refuse(line_, "a class is CLASS = ABOVE, AT_OR_BELOW, LIMIT");
            return false;
        }
        DeviationRow row{e.key, 0.0, 0.0, 0.0};
        if (!number(parts[0], 0.01, 100.0, row.above) ||
            !number(parts[1], 0.01, 100.0, row.atOrBelow) ||
            !number(parts[2], 0.0, 1e6, row.limitNm))
            return false;
        for (const DeviationRow& earlier : table) {
            if (earlier.toolClass == row.toolClass) {
                refuse(line_, "class " + row.toolClass + " is given twice");
                return false;
            }
        }
        table.push_back(row);
        return true;
    }

    Profile profile_;
    ProfileRead result_;
    std::set<std::string> seen_;
    int line_ = 0;
};

// Counts from ISO 6789-1:2017 (quality conformance: 5 readings at 20, 60 and 100 %) and ISO
// 6789-2:2017 (calibration: 10 readings at the same points), 3 preloads at the maximum, 18-28 degC
// and below 90 % humidity; the verification chapter of the manual names the public sources.
Profile builtIn(const char* name, const char* standard, int readings) {
    Profile p;
    p.name = name;
    p.standard = standard;
    p.readings = readings;
    return p;
}

}  // namespace

ProfileRead parseProfile(const std::string& text) {
    return ProfileReader().read(text);
}

bool calibrates(const std::string& standard) {
    return standard.find("6789-2") != std::string::npos;
}

bool calibrates(const Profile& profile) {
    return calibrates(profile.standard);
}

std::string profileText(const Profile& profile) {
    Profile p = profile;
    std::ostringstream out;
    out << "[Profile]\nName = " << p.name << "\n";
    if (!p.standard.empty())
        out << "Standard = " << p.standard << "\n";
    out << "Points = ";
    for (size_t i = 0; i < p.points.size(); ++i)
        out << (i ? ", " : "") << plainNumber(p.points[i]);
    out << "\nReadings = " << p.readings << "\nPreloads = " << p.preloads
        << "\nDirection = " << p.direction << "\nTemperatureMin = " << plainNumber(p.temperatureMin)
        << "\nTemperatureMax = " << plainNumber(p.temperatureMax)
        << "\nHumidityMax = " << plainNumber(p.humidityMax)
        << "\nLoadingMin = " << plainNumber(p.loadingMin) << "\n";
    if (!p.decisionRule.empty())
        out << "DecisionRule = " << p.decisionRule << "\n";
    if (calibrates(p)) {
        for (const auto& [key, subtest] : subtests(p))
            out << key << " = " << subtest->series << ", " << subtest->readings << "\n";
        if (p.subtestPoint)
            out << "SubtestPoint = " << plainNumber(*p.subtestPoint) << "\n";
        out << "SubtestsValidMonths = " << p.subtestsValidMonths << "\n";
    }
    writeTable(out, "Deviation", p.deviations);
    writeTable(out, "Deviation I", p.indicatingDeviations);
    return out.str();
}

const std::vector<Profile>& builtInProfiles() {
    static const std::vector<Profile> profiles = {
        builtIn("ISO 6789-1 conformance", "ISO 6789-1:2017", 5),
        builtIn("ISO 6789-2 calibration", "ISO 6789-2:2017", 10),
    };
    return profiles;
}

ProfileRead loadProfile(const std::string& folder, const std::string& nameOrFile) {
    const bool isFile =
        nameOrFile.find('/') != std::string::npos ||
        (nameOrFile.size() > 4 && nameOrFile.compare(nameOrFile.size() - 4, 4, ".ini") == 0);
    const std::string path = isFile ? nameOrFile : folder + "/" + nameOrFile + ".ini";
    std::error_code ec;
    if (!isFile && !std::filesystem::exists(path, ec)) {
        for (const Profile& p : builtInProfiles()) {
            if (p.name == nameOrFile)
                return {p, 0, {}};
        }
        return {std::nullopt, 0, "no profile named " + nameOrFile};
    }
    std::string error;
    const std::optional<std::string> text = readIniFile(path, error);
    if (!text)
        return {std::nullopt, 0, error.empty() ? "cannot open " + path : error};
    return parseProfile(*text);
}

bool writeBuiltInProfiles(const std::string& folder) {
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    bool ok = !ec;
    for (const Profile& p : builtInProfiles()) {
        const std::string path = folder + "/" + p.name + ".ini";
        if (!std::filesystem::exists(path, ec))
            ok = writeWholeFile(path, profileText(p), nullptr) && ok;
    }
    return ok;
}

}  // namespace vornex::verify
