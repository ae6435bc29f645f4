#include "verify/RunFile.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <map>
#include <sstream>

#include "files/SmallFile.h"
#include "text/NumberText.h"
#include "verify/Deviation.h"
#include "verify/RunHeader.h"

namespace vornex::verify {

namespace {

// A write cut short (a full disk) is cut back to where it began: the file never ends in a piece of
// a line that a later append would run on from.
bool writeAll(int fd, const std::string& text, std::string& error) {
    struct stat before {};
    const bool sized = ::fstat(fd, &before) == 0;
    size_t done = 0;
    while (done < text.size()) {
        const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            error = n < 0 ? std::strerror(errno) : "nothing was written";
            if (sized && done > 0 && ::ftruncate(fd, before.st_size) == 0)
                ::fsync(fd);
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

void syncFolder(const std::filesystem::path& folder) {
    const int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
}

// Holds the file for this run alone; false with the reason.
bool hold(int fd, const std::string& path, std::string& error) {
    if (::flock(fd, LOCK_EX | LOCK_NB) == 0)
        return true;
    error = errno == EWOULDBLOCK
                ? path +
                      " is being run by another verification (a vornex-cli verify or a "
                      "station of the window); it is left as it is"
                : path + ": " + std::strerror(errno);
    return false;
}

// The whole of a regular file of at most kMaxRunFileBytes, read without waiting on it.
bool readBounded(int fd, const std::string& path, std::string& text, std::string& error) {
    SmallFile file = readSmallFile(fd, kMaxRunFileBytes);
    switch (file.problem) {
        case SmallFile::Problem::None:
            text = std::move(file.bytes);
            return true;
        case SmallFile::Problem::Folder:
        case SmallFile::Problem::NotRegular:
            error = path + " is not a regular file";
            return false;
        case SmallFile::Problem::TooLarge:
            error = file.size >= 0 ? path + " is larger than any run file (" +
                                         std::to_string(file.size) + " bytes)"
                                   : path + " is larger than any run file";
            return false;
        case SmallFile::Problem::Missing:
        case SmallFile::Problem::Unreadable:
            break;
    }
    error = path + ": " + std::strerror(file.error);
    return false;
}

// Lines a reader of the run must be told of: what the operator confirmed, what the run warned
// of, what it could not take. The kind is the first word after the time.
bool isRemark(const std::string& kind, const std::string& line) {
    static const char* const kinds[] = {"confirmed", "warning", "not", "instrument",
                                        "slave",     "dropped", "made"};
    for (const char* k : kinds) {
        if (kind == k)
            return true;
    }
    static const std::string confirmed = ", confirmed by the operator";
    return line.size() > confirmed.size() &&
           line.compare(line.size() - confirmed.size(), confirmed.size(), confirmed) == 0;
}

// A reading line's fields after its kind: "P K SET VALUE DEV VERDICT", then "slip counted" and
// "loading SECONDS" where they were. An indicating tool's SET is the indication typed.
bool readingFacts(const std::vector<std::string>& fields, bool indicating, PullFacts& facts) {
    double x = 0.0;
    if (indicating) {
        if (!parseDouble(fields[2], x))
            return false;
        facts.indicated = x;
    }
    for (size_t i = 4; i + 1 < fields.size(); ++i) {
        if (fields[i] != "loading")
            continue;
        if (!parseDouble(fields[i + 1], x))
            return false;
        facts.loading = x;
    }
    return true;
}

}  // namespace

RunFile::RunFile(RunFile&& other) noexcept
    : path_(std::move(other.path_)), fd_(other.fd_), text_(std::move(other.text_)) {
    other.fd_ = -1;
}

RunFile::~RunFile() {
    if (fd_ >= 0)
        ::close(fd_);
}

std::optional<RunFile> RunFile::create(const std::string& path, const RunPlan& plan,
                                       const Reference& reference, std::time_t started,
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
    RunFile file(path, fd, runHeaderText(plan, reference, started));
    if (!hold(fd, path, error))
        return std::nullopt;
    if (!writeAll(fd, file.text_, error)) {
        error = path + ": " + error;
        return std::nullopt;
    }
    // The new name must survive a crash as well as the lines in it.
    syncFolder(folder);
    return file;
}

std::optional<RunFile> RunFile::reopen(const std::string& path, std::string& error) {
    const int fd = ::open(path.c_str(), O_RDWR | O_APPEND | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        error = path + ": " + std::strerror(errno);
        return std::nullopt;
    }
    RunFile file(path, fd, {});
    if (!readBounded(fd, path, file.text_, error) || !hold(fd, path, error))
        return std::nullopt;
    // What another run appended before it let go belongs to the file as it is now.
    if (!readBounded(fd, path, file.text_, error))
        return std::nullopt;
    return file;
}

bool RunFile::makeAgainIfGone(bool& madeAgain, std::string& error) {
    struct stat here {};
    struct stat held {};
    if (::fstat(fd_, &held) == 0 && ::stat(path_.c_str(), &here) == 0 &&
        here.st_dev == held.st_dev && here.st_ino == held.st_ino)
        return true;
    madeAgain = true;
    const std::filesystem::path folder = std::filesystem::path(path_).parent_path();
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    if (ec) {
        error = path_ + " was removed and its folder cannot be made again: " + ec.message();
        return false;
    }
    const int fd = ::open(path_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_APPEND | O_CLOEXEC, 0644);
    if (fd < 0) {
        error = path_ + " was removed and cannot be made again: " + std::strerror(errno);
        return false;
    }
    if (!hold(fd, path_, error) || !writeAll(fd, text_, error)) {
        ::close(fd);
        ::unlink(path_.c_str());
        error = path_ + " was removed and cannot be made again: " + error;
        return false;
    }
    syncFolder(folder);
    ::close(fd_);
    fd_ = fd;
    return true;
}

bool RunFile::append(std::time_t at, const std::string& text, std::string& error) {
    bool madeAgain = false;
    if (!makeAgainIfGone(madeAgain, error))
        return false;
    std::string lines = madeAgain ? timeText(at) + " made again after it was removed\n" : "";
    lines += timeText(at) + " " + text + "\n";
    if (!writeAll(fd_, lines, error)) {
        error = path_ + ": " + error;
        return false;
    }
    text_ += lines;
    return true;
}

bool RunFile::endTornTail(std::time_t at, std::string& error) {
    if (text_.empty() || text_.back() == '\n')
        return true;
    const size_t cut = text_.rfind('\n') + 1;
    std::string torn = text_.substr(cut);
    for (char& c : torn) {
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F)
            c = '?';
    }
    if (::ftruncate(fd_, static_cast<off_t>(cut)) != 0 || ::fsync(fd_) != 0) {
        error = path_ + ": " + std::strerror(errno);
        return false;
    }
    text_.resize(cut);
    return append(at, "dropped a line cut short: \"" + torn.substr(0, 200) + "\"", error);
}

std::string RunFile::pathFor(const std::string& dataFolder, const std::string& toolId,
                             std::time_t started, int sameSecond) {
    std::tm local{};
    localtime_r(&started, &local);
    char day[16];
    char time[16];
    std::strftime(day, sizeof day, "%Y%m%d", &local);
    std::strftime(time, sizeof time, "%H%M%S", &local);
    const std::filesystem::path folder = std::filesystem::path(dataFolder) / "Verify" / day;
    const std::string count = sameSecond > 1 ? "-" + std::to_string(sameSecond) : std::string();
    return (folder / (toolId + "-" + time + count + ".txt")).lexically_normal().string();
}

std::string RunFile::clockText(std::time_t at) {
    std::tm local{};
    localtime_r(&at, &local);
    char text[16];
    std::strftime(text, sizeof text, "%H:%M:%S", &local);
    return text;
}

std::string RunFile::timeText(std::time_t at) {
    std::tm local{};
    localtime_r(&at, &local);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%S", &local);
    return text;
}

std::optional<StoredRun> readRunFile(const std::string& path, std::string& error) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        error = "cannot open " + path + ": " + std::strerror(errno);
        return std::nullopt;
    }
    std::string text;
    const bool read = readBounded(fd, path, text, error);
    ::close(fd);
    if (!read)
        return std::nullopt;
    StoredRun run;
    // A line is taken only with its newline: the rest of a write cut short is no event.
    const size_t whole = text.rfind('\n') + 1;
    run.tornTail = text.substr(whole);
    text.resize(whole);
    std::istringstream in(text);
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
            if (const std::string problem = readRunHeader(header, run); !problem.empty()) {
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
        if (isRemark(kind, line))
            run.remarks.push_back(line);
        // The peak is the last number of a preload, and the fourth of a reading. A slip line is a
        // slip dropped and taken again: no pull of the run.
        std::vector<std::string> fields;
        for (std::string w; words >> w;)
            fields.push_back(w);
        std::string peak;
        PullFacts facts;
        const std::string eventText = line.substr(std::min(line.size(), time.size() + 1));
        if (const std::optional<SubtestReading> subtest = parseSubtestReading(eventText)) {
            run.subtestReadings.push_back(*subtest);
            continue;
        }
        if (kind == "contribution") {
            if (!parseContributionLine(eventText, run.contributions)) {
                error = at + "a contribution without its sub-test, span and unit";
                return std::nullopt;
            }
            continue;
        }
        if (kind == "direction" && fields.size() == 1) {
            if (fields[0] != directionName(Direction::Clockwise) &&
                fields[0] != directionName(Direction::Counterclockwise)) {
                error = at + "\"" + fields[0] + "\" is no direction";
                return std::nullopt;
            }
            run.lastDirection = fields[0] == directionName(Direction::Clockwise)
                                    ? Direction::Clockwise
                                    : Direction::Counterclockwise;
        } else if (kind == "preload" && fields.size() == 2)
            peak = fields[1];
        else if (kind == "reading" && fields.size() >= 4) {
            peak = fields[3];
            if (!readingFacts(fields, run.plan.indicating(), facts)) {
                error = at + "a reading whose indication or loading is no number";
                return std::nullopt;
            }
        } else if (kind == "slip" && fields.size() >= 4)
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
            run.pullDirections.push_back(run.lastDirection.value_or(Direction::Clockwise));
            run.pullFacts.push_back(facts);
        }
    }
    if (!planRead) {
        if (const std::string problem = readRunHeader(header, run); !problem.empty()) {
            error = path + ": " + problem;
            return std::nullopt;
        }
    }
    // Runs from before each series said its direction took clockwise readings alone, whatever
    // the tool's direction.
    if (!run.lastDirection && !run.pulls.empty())
        run.plan.direction = directionName(Direction::Clockwise);
    return run;
}

RunProgress replay(const StoredRun& stored) {
    RunProgress progress(stored.plan);
    // A stored reading was counted, a slip among them too, whatever the plan says of slips now.
    for (size_t i = 0; i < stored.pulls.size(); ++i)
        progress.take(stored.pulls[i], SlipPolicy::Count,
                      i < stored.pullFacts.size() ? stored.pullFacts[i] : PullFacts{});
    return progress;
}

}  // namespace vornex::verify
