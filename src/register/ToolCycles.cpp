#include "register/ToolCycles.h"

#include <filesystem>
#include <optional>
#include <system_error>

#include "judge/TestResults.h"
#include "record/CompanionFile.h"

namespace vornex {

ToolCycles countToolCycles(const std::string& home, const std::string& id,
                           const std::string& since) {
    ToolCycles counted;
    std::error_code failed;
    const auto options = std::filesystem::directory_options::skip_permission_denied;
    for (std::filesystem::recursive_directory_iterator it(home + "Data", options, failed), end;
         !failed && it != end; it.increment(failed)) {
        if (it->path().extension() != ".pdat" || !it->is_regular_file(failed))
            continue;
        const std::string path = it->path().string();
        const std::optional<Companion> companion = readCompanion(companionPath(path)).companion;
        if (!companion || companion->trace.toolId != id || companion->started.substr(0, 10) < since)
            continue;
        const JudgedFile judged = judgeTestFile(path, JudgeOverrides());
        if (!judged.file) {
            ++counted.unread;
            continue;
        }
        ++counted.tests;
        // Every complete pull loads the tool, judged against limits or not.
        for (const InstrumentResult& instrument : judged.results.instruments)
            counted.pulls += static_cast<long>(instrument.events.size() - instrument.incomplete);
    }
    return counted;
}

}  // namespace vornex
