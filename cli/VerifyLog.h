#pragma once

#include <string>

#include "verify/RunFile.h"
#include "verify/RunProgress.h"

namespace vornex::cli {

// A line of the run on standard output, flushed at once: a script drives the run from it.
void say(const std::string& line);

// Prints each step and outcome of a run and appends it to the run file before the run goes on.
// The first append that fails is kept and ends the recording; the run stops on it.
class RunLog {
public:
    RunLog(verify::RunFile& file, const verify::RunPlan& plan) : file_(file), plan_(plan) {}

    bool ok() const { return error_.empty(); }
    const std::string& error() const { return error_; }

    void prompt(const verify::Step& step);
    void taken(const verify::Taken& t, const verify::RunProgress& progress);
    void result(bool conforms);
    // A line of the file only.
    void record(const std::string& text);

private:
    std::string value(double x) const;

    verify::RunFile& file_;
    const verify::RunPlan& plan_;
    std::string error_;
};

// The counted readings as CSV: point,reading,setting,value,unit,deviation,verdict,slip.
std::string readingsCsv(const verify::RunProgress& progress);

}  // namespace vornex::cli
