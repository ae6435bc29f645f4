#include "register/ToolCycles.h"

#include <optional>

#include "judge/TestResults.h"
#include "record/CompanionFile.h"
#include "register/HomeRecords.h"
#include "verify/RunFile.h"

namespace vornex {

namespace {

using Counts = std::map<std::string, ToolCycles>;

// The tool's count and the day it starts after, when `id` is one of the tools counted.
ToolCycles* countOf(Counts& counts, const std::map<std::string, std::string>& since,
                    const std::string& id, const std::string& day, bool sameDayCounts) {
    const auto from = since.find(id);
    if (from == since.end() || day < from->second ||
        (!sameDayCounts && !from->second.empty() && day == from->second))
        return nullptr;
    return &counts[id];
}

}  // namespace

std::map<std::string, ToolCycles> countToolsCycles(
    const std::string& home, const std::map<std::string, std::string>& since) {
    Counts counts;
    for (const auto& tool : since)
        counts[tool.first];
    const auto countTest = [&](const std::string& path) {
        const std::optional<Companion> companion = readCompanion(companionPath(path)).companion;
        ToolCycles* counted = companion ? countOf(counts, since, companion->trace.toolId,
                                                  companion->started.substr(0, 10), true)
                                        : nullptr;
        if (!counted)
            return;
        const JudgedFile judged = judgeTestFile(path, JudgeOverrides());
        if (!judged.file) {
            ++counted->unread;
            return;
        }
        ++counted->tests;
        // Every complete pull loads the tool, judged against limits or not.
        for (const InstrumentResult& instrument : judged.results.instruments)
            counted->pulls += static_cast<long>(instrument.events.size() - instrument.incomplete);
    };
    // A verification run of the tool loads it with every pull it counted, preloads among them.
    // The runs of its last good day are the verification the count starts from.
    const auto countRun = [&](const std::string& path) {
        std::string error;
        const std::optional<verify::StoredRun> run = verify::readRunFile(path, error);
        ToolCycles* counted =
            run ? countOf(counts, since, run->plan.tool.id, run->started.substr(0, 10), false)
                : nullptr;
        if (!counted)
            return;
        ++counted->runs;
        counted->pulls += static_cast<long>(run->pulls.size());
    };
    forEachRecordFile(home, countTest, countRun);
    return counts;
}

ToolCycles countToolCycles(const std::string& home, const std::string& id,
                           const std::string& since) {
    return countToolsCycles(home, {{id, since}})[id];
}

}  // namespace vornex
