#include "register/ToolCycles.h"

#include <optional>

#include "judge/TestResults.h"
#include "record/CompanionFile.h"
#include "register/HomeRecords.h"
#include "verify/RunFile.h"

namespace vornex {

namespace {

// A verification run of the tool loads it with every pull it counted, preloads among them. The
// runs of its last good day are the verification the count starts from.
void countRun(const std::string& path, const std::string& id, const std::string& since,
              ToolCycles& counted) {
    std::string error;
    const std::optional<verify::StoredRun> run = verify::readRunFile(path, error);
    const std::string day = run ? run->started.substr(0, 10) : std::string();
    if (!run || run->plan.tool.id != id || (!since.empty() && day <= since))
        return;
    ++counted.runs;
    counted.pulls += static_cast<long>(run->pulls.size());
}

}  // namespace

ToolCycles countToolCycles(const std::string& home, const std::string& id,
                           const std::string& since) {
    ToolCycles counted;
    const auto countTest = [&](const std::string& path) {
        const std::optional<Companion> companion = readCompanion(companionPath(path)).companion;
        if (!companion || companion->trace.toolId != id || companion->started.substr(0, 10) < since)
            return;
        const JudgedFile judged = judgeTestFile(path, JudgeOverrides());
        if (!judged.file) {
            ++counted.unread;
            return;
        }
        ++counted.tests;
        // Every complete pull loads the tool, judged against limits or not.
        for (const InstrumentResult& instrument : judged.results.instruments)
            counted.pulls += static_cast<long>(instrument.events.size() - instrument.incomplete);
    };
    forEachRecordFile(home, countTest,
                      [&](const std::string& path) { countRun(path, id, since, counted); });
    return counted;
}

}  // namespace vornex
