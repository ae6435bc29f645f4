#pragma once

#include <ctime>
#include <optional>
#include <string>
#include <vector>

#include "verify/Reference.h"
#include "verify/RunPlan.h"
#include "verify/RunProgress.h"

namespace vornex::verify {

// A run's file: a header of "Key: value" lines (the plan, the instrument, the start), then one
// line per event, "YYYY-MM-DDThh:mm:ss EVENT ...", each appended and synced to disk before the
// run goes on, so that whatever happens next the file holds every reading taken. The file is held
// (flock) by the one run that appends to it: a second process or station cannot take it up too.
class RunFile {
public:
    RunFile(RunFile&& other) noexcept;
    RunFile& operator=(RunFile&&) = delete;
    RunFile(const RunFile&) = delete;
    ~RunFile();

    // A new file at `path` (never an existing one) holding the header; nothing, with the reason
    // in `error`, when it cannot be made and synced.
    static std::optional<RunFile> create(const std::string& path, const RunPlan& plan,
                                         const Reference& reference, std::time_t started,
                                         std::string& error);
    // An existing run file, held for this run before anything of it is read; nothing, with the
    // reason, when it is no regular file, is larger than any run, or another run holds it. It is
    // not changed until the run appends to it.
    static std::optional<RunFile> reopen(const std::string& path, std::string& error);

    // "TIME text" appended and synced; false with the reason, the file then as it was. A file (or
    // its folder) removed meanwhile is made again with every line so far first.
    bool append(std::time_t at, const std::string& text, std::string& error);
    // A last line left without its newline by a write cut short is cut off, and recorded as
    // dropped, before the run appends after it. False with the reason.
    bool endTornTail(std::time_t at, std::string& error);

    const std::string& path() const { return path_; }

    // Data/Verify/YYYYMMDD/ID-hhmmss.txt under the data folder; the second and later runs of one
    // tool begun within the same second are ID-hhmmss-2.txt, ID-hhmmss-3.txt and so on.
    static std::string pathFor(const std::string& dataFolder, const std::string& toolId,
                               std::time_t started, int sameSecond = 1);
    static std::string timeText(std::time_t at);
    // hh:mm:ss, as a run says when something began ("not answering since 10:15:02").
    static std::string clockText(std::time_t at);

private:
    RunFile(std::string path, int fd, std::string text)
        : path_(std::move(path)), fd_(fd), text_(std::move(text)) {}
    bool makeAgainIfGone(bool& madeAgain, std::string& error);

    std::string path_;
    int fd_ = -1;
    std::string text_;  // everything the file holds, to make it again
};

// A run file read back: its plan and the peaks of its pulls (preloads and counted readings in
// order), to go on from where it stopped.
struct StoredRun {
    RunPlan plan;
    Reference reference;         // what the header says of the instrument
    std::string instrument;      // the header's description of it
    std::string identification;  // of the instrument; empty in files that do not hold it
    std::vector<double> pulls;   // every one as it was counted
    // Beside each pull: the direction of its series (files without "direction" lines are
    // clockwise), and its indication and loading time where the file holds them.
    std::vector<Direction> pullDirections;
    std::vector<PullFacts> pullFacts;
    std::optional<Direction> lastDirection;  // of the file's last "direction" line
    // A calibration's sub-test readings in their order, and the contributions the file states
    // (measured by its sub-tests, or taken from the register when the run began).
    std::vector<SubtestReading> subtestReadings;
    Contributions contributions;
    // The confirmations and warnings of the run ("TIME text"), for whoever reads it after.
    std::vector<std::string> remarks;
    // A last line that never got its newline (a write cut short): not taken.
    std::string tornTail;
    std::string started;
    std::string lastTime;  // of its last event, or its start
    bool ended = false;    // it holds its result, or was abandoned
    bool abandoned = false;
    std::string abandonReason;
};

// The largest run file read: a run of many points and readings with every outage recorded stays
// far below it.
constexpr size_t kMaxRunFileBytes = 4 * 1024 * 1024;

// Nothing, with the line at fault in `error`, when the file is no run file, not a regular file
// or larger than any run.
std::optional<StoredRun> readRunFile(const std::string& path, std::string& error);

// The stored run's readings taken again pull by pull, each counted as it was when it ran.
RunProgress replay(const StoredRun& stored);

}  // namespace vornex::verify
