#include "verify/RunFile.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "link/NumberText.h"
#include "verify/Deviation.h"

namespace vornex::verify {

namespace {

bool writeAll(int fd, const std::string& text, std::string& error) {
    size_t done = 0;
    while (done < text.size()) {
        const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            error = std::strerror(errno);
            return false;
        }
        done += static_cast<size_t>(n);
    }
    if (::fsync(fd) != 0) {
        error = std::strerror(errno);
        return false;
    }
    return true;
}

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

std::string headerText(const RunPlan& plan, const std::string& instrument,
                       const std::string& identification, std::time_t started) {
    std::ostringstream out;
    out << "Vornex tool verification run\n"
        << "Tool: " << plan.tool.id << "\nDescription: " << plan.tool.description
        << "\nType: " << plan.tool.type << "\nClass: " << plan.tool.toolClass
        << "\nLowest: " << optionalNumber(plan.tool.lowest)
        << "\nMaximum: " << plainNumber(plan.tool.maximum) << "\nUnit: " << plan.tool.unit
        << "\nDirection: " << plan.tool.direction << "\nProfile: " << plan.profile
        << "\nStandard: " << plan.standard << "\nPoints:";
    for (double p : plan.points)
        out << " " << plainNumber(p);
    out << "\nReadings: " << plan.readings << "\nPreloads: " << plan.preloads
        << "\nPermissible: " << plainNumber(plan.permissible)
        << "\nSlips: " << slipsText(plan.slips) << "\nDecimals: " << plan.decimals
        << "\nOperator: " << plan.operatorName
        << "\nTemperature: " << optionalNumber(plan.temperature)
        << "\nHumidity: " << optionalNumber(plan.humidity)
        << "\nReference due: " << (plan.referenceDue.empty() ? "not given" : plan.referenceDue)
        << "\nInstrument: " << instrument << "\nIdentification: " << identification
        << "\nStarted: " << RunFile::timeText(started) << "\n";
    return out.str();
}

// Reads the header back into a plan; the problem, or empty.
std::string planFrom(const std::map<std::string, std::string>& header, StoredRun& run) {
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
    p.tool.type = get("Type");
    p.tool.toolClass = get("Class");
    p.tool.unit = get("Unit");
    p.tool.direction = get("Direction");
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
    std::istringstream points(get("Points"));
    for (std::string word; points >> word;) {
        if (!parseDouble(word, 0.01, 100.0, x))
            return "Points holds no number " + word;
        p.points.push_back(x);
    }
    return p.points.empty() ? "no Points" : std::string();
}

}  // namespace

RunFile::RunFile(RunFile&& other) noexcept : path_(std::move(other.path_)), fd_(other.fd_) {
    other.fd_ = -1;
}

RunFile::~RunFile() {
    if (fd_ >= 0)
        ::close(fd_);
}

std::optional<RunFile> RunFile::create(const std::string& path, const RunPlan& plan,
                                       const std::string& instrument,
                                       const std::string& identification, std::time_t started,
                                       std::string& error) {
    std::error_code ec;
    const std::filesystem::path folder = std::filesystem::path(path).parent_path();
    std::filesystem::create_directories(folder, ec);
    if (ec) {
        error = folder.string() + ": " + ec.message();
        return std::nullopt;
    }
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_APPEND | O_CLOEXEC, 0644);
    if (fd < 0) {
        error = path + ": " + std::strerror(errno);
        return std::nullopt;
    }
    RunFile file(path, fd);
    if (!writeAll(fd, headerText(plan, instrument, identification, started), error)) {
        error = path + ": " + error;
        return std::nullopt;
    }
    // The new name must survive a crash as well as the lines in it.
    const int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
    return file;
}

std::optional<RunFile> RunFile::reopen(const std::string& path, std::string& error) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_APPEND | O_CLOEXEC);
    if (fd < 0) {
        error = path + ": " + std::strerror(errno);
        return std::nullopt;
    }
    return RunFile(path, fd);
}

bool RunFile::append(std::time_t at, const std::string& text, std::string& error) {
    if (!writeAll(fd_, timeText(at) + " " + text + "\n", error)) {
        error = path_ + ": " + error;
        return false;
    }
    return true;
}

std::string RunFile::pathFor(const std::string& dataFolder, const std::string& toolId,
                             std::time_t started) {
    std::tm local{};
    localtime_r(&started, &local);
    char day[16];
    char time[16];
    std::strftime(day, sizeof day, "%Y%m%d", &local);
    std::strftime(time, sizeof time, "%H%M%S", &local);
    const std::filesystem::path folder = std::filesystem::path(dataFolder) / "Verify" / day;
    return (folder / (toolId + "-" + time + ".txt")).lexically_normal().string();
}

std::string RunFile::timeText(std::time_t at) {
    std::tm local{};
    localtime_r(&at, &local);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%S", &local);
    return text;
}

std::optional<StoredRun> readRunFile(const std::string& path, std::string& error) {
    std::ifstream in(path, std::ios::binary);
    if (!in.is_open()) {
        error = "cannot open " + path;
        return std::nullopt;
    }
    StoredRun run;
    std::map<std::string, std::string> header;
    bool planRead = false;
    int number = 0;
    for (std::string line; std::getline(in, line);) {
        ++number;
        const std::string at = path + " line " + std::to_string(number) + ": ";
        if (number == 1) {
            if (line != "Vornex tool verification run") {
                error = at + "no verification run";
                return std::nullopt;
            }
            continue;
        }
        const bool event = !line.empty() && line[0] >= '0' && line[0] <= '9';
        if (!event) {
            const auto colon = line.find(':');
            if (planRead || colon == std::string::npos) {
                error = at + "neither \"Key: value\" nor an event";
                return std::nullopt;
            }
            header[line.substr(0, colon)] = colon + 2 <= line.size() ? line.substr(colon + 2) : "";
            continue;
        }
        if (!planRead) {
            if (const std::string problem = planFrom(header, run); !problem.empty()) {
                error = path + ": " + problem;
                return std::nullopt;
            }
            planRead = true;
        }
        std::istringstream words(line);
        std::string time;
        std::string kind;
        words >> time >> kind;
        run.lastTime = time;
        // The peak is the last number of a preload, and the fourth of a reading. A slip line is a
        // slip dropped and taken again: no pull of the run.
        std::vector<std::string> fields;
        for (std::string w; words >> w;)
            fields.push_back(w);
        std::string peak;
        if (kind == "preload" && fields.size() == 2)
            peak = fields[1];
        else if (kind == "reading" && fields.size() >= 4)
            peak = fields[3];
        else if (kind == "slip" && fields.size() >= 4)
            continue;
        else if (kind == "result")
            run.ended = true;
        else if (kind == "abandoned") {
            run.ended = true;
            run.abandoned = true;
            const auto reason = line.find("abandoned") + std::string("abandoned").size();
            run.abandonReason = reason < line.size() ? line.substr(reason + 1) : std::string();
        } else if (kind == "reading" || kind == "slip" || kind == "preload") {
            error = at + "a " + kind + " without its values";
            return std::nullopt;
        }
        double value = 0.0;
        if (!peak.empty()) {
            if (!parseDouble(peak, value)) {
                error = at + "\"" + peak + "\" is no reading";
                return std::nullopt;
            }
            run.pulls.push_back(value);
        }
    }
    if (!planRead) {
        if (const std::string problem = planFrom(header, run); !problem.empty()) {
            error = path + ": " + problem;
            return std::nullopt;
        }
    }
    return run;
}

RunProgress replay(const StoredRun& stored) {
    RunProgress progress(stored.plan);
    // A stored reading was counted, a slip among them too, whatever the plan says of slips now.
    for (double peak : stored.pulls)
        progress.take(peak, SlipPolicy::Count);
    return progress;
}

}  // namespace vornex::verify
