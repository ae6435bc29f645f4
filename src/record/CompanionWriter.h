#pragma once

#include <sys/types.h>

#include <cstdint>
#include <map>
#include <string>

#include "link/Poller.h"
#include "link/TickClock.h"
#include "record/CompanionFile.h"

namespace vornex {

// Keeps a test's companion file current while it records: written at Start with every
// instrument whose settings are known, and again whenever an instrument's settings change (read
// after its status 5) or first become known, and once more with the test file's hash when the
// recording is over. A change adds a section with the test time it holds from; the sections
// before it stay as they were, so every pull can be judged with the settings it was made under.
// Runs on the controlling thread; reads only what the acquisition thread publishes.
class CompanionWriter {
public:
    explicit CompanionWriter(TickClock clock) : clock_(std::move(clock)) {}

    // What a call has to tell: a write failed after the last had worked (lastWrite() says why), or
    // worked after the last had failed; each change is told once.
    enum class News { None, Failed, Recovered };

    // Start of a recording into `testPath`, whose times count from the clock reading `timeBase`.
    News started(const std::string& testPath, const Poller& poller, uint32_t timeBase);
    // While recording: rewrites the file when some instrument's settings changed, and once a
    // second while the last write failed or the file is gone (with the day folder, say).
    News refresh(const Poller& poller, uint32_t timeBase);
    // The test recorded last has every reading in its file: its hash is recorded, and taken again
    // only when the file has grown since. Nothing when no recording started.
    News closed();

    // Who tests what on which bench, for the companion of the next test that starts; the version
    // is the program's own.
    void setTrace(const TestTrace& trace) { trace_ = trace; }
    // The identity of the test that starts next, made when it was opened.
    void setTestId(std::string uuid) { testId_ = std::move(uuid); }
    // The user's names of the addresses, written with the next write.
    void setNames(std::map<int, std::string> names) { names_ = std::move(names); }

    const FileResult& lastWrite() const { return lastWrite_; }
    const std::string& path() const { return path_; }
    // What the file holds: the settings of the test recorded last.
    const Companion& companion() const { return companion_; }

private:
    // True when some instrument's settings are new or changed.
    bool take(const Poller& poller, double seconds);
    static constexpr uint32_t kRetryMs = 1000;
    // A failed last write, or a file that is no longer there; looked at once per kRetryMs.
    bool dueAgain();
    News write();

    void nameInstruments();

    TickClock clock_;
    TestTrace trace_;
    std::string testId_;
    std::map<int, std::string> names_;
    std::string testPath_;
    // Size of the test file when its hash was taken.
    off_t hashedSize_ = -1;
    std::string path_;
    Companion companion_;
    // Settings generation of each device record last taken in, by record address.
    std::map<uint8_t, uint32_t> seen_;
    FileResult lastWrite_;
    uint32_t lastLook_ = 0;
};

}  // namespace vornex
