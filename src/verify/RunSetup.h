#pragma once

#include <cstdint>
#include <ctime>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "verify/Profile.h"
#include "verify/Reference.h"
#include "verify/RunFile.h"
#include "verify/RunPlan.h"

namespace vornex::verify {

class RunListener;
class VerificationRun;

// What a new run is asked for, by the window's form or by the tool's options: the tool as it
// stands (a remembered record with what was given on top), the profile and what overrides it,
// who runs it and in what conditions.
struct RunRequest {
    Tool tool;
    std::string profilesFolder;
    std::string profileName;
    std::optional<std::vector<double>> points;
    std::optional<int> readings;
    std::optional<int> preloads;
    std::string operatorName;
    std::optional<double> temperature;  // degC
    std::optional<double> humidity;     // percent
    std::string referenceDue;           // as entered, empty when not known
    SlipPolicy slips = SlipPolicy::Repeat;
};

// A new run's plan as far as it is made without its instrument, or the first thing that stops it.
struct PlannedRun {
    enum class Problem {
        None,
        ToolId,      // the identifier cannot name a record
        ToolLimits,  // no maximum above 0, or a lowest value not from 0 below it
        PlainText,   // a text for the run file holds control characters or blanks around it
        Profile,     // `detail` says which and why
        Conditions,  // the temperature or the humidity is not given
        DueDate,     // the reference's due date is no date
    };
    Problem problem = Problem::None;
    std::string detail;
    RunPlan plan;
    Profile profile;  // its ambient limits and deviation table
    // The conditions given lie outside the profile's limits: recorded as given, once confirmed.
    bool ambientOutside = false;
};

PlannedRun planRun(const RunRequest& request);

// A measuring mode that holds no peak: the run's peaks are polled, and fast clicks are missed.
bool polledPeaks(unsigned measuringMode);

// What the instrument asks to be confirmed before a planned run begins.
struct RunCautions {
    std::string fitProblem;  // the run cannot be made on this instrument; nothing else holds then
    bool polled = false;     // see polledPeaks
    bool overdue = false;    // the reference's calibration was due before today
};

// Fits the plan to the instrument it is made on (its unit, decimals and class deviation), plans a
// calibration's sub-tests, and looks at what must be confirmed: an instrument that polls its
// peaks, a reference overdue at `now` (the plan's due date is set by then).
RunCautions fitRun(PlannedRun& planned, const std::string& unit, int decimals,
                   unsigned measuringMode, std::time_t now);

// The run file's words for what was confirmed or warned of.
std::string ambientText(const PlannedRun& planned);  // "ambient conditions 30 degC, ..."
std::string polledNote(const std::string& mode);
std::string overdueNote(const std::string& due, const std::string& reason);
std::string uncoveredNote(double torque, const std::string& asset, double lowest,
                          const std::string& reason);

// Begins a planned run on `reference`: the tool is remembered (a record that cannot be written is
// said in `toolError`, "tool ID is not remembered: REASON", and the run goes on), the run file made
// in `dataFolder`'s day folder, and each of `notes` written to it. Nothing with the reason when the
// file cannot be made.
std::unique_ptr<VerificationRun> beginRun(const RunPlan& plan, const Reference& reference,
                                          const std::string& dataFolder,
                                          const std::string& toolsFolder,
                                          const std::vector<std::string>& notes, std::time_t now,
                                          RunListener& listener, std::string& toolError,
                                          std::string& error);

// A run file held to go on with: held before it is read, so a run another station or process
// goes on with is left to it, and refused when it has ended.
struct HeldRun {
    RunFile file;
    StoredRun stored;
};
std::optional<HeldRun> holdToResume(const std::string& path, std::string& error);
// Why a held run cannot go on on the instrument as it is now, empty when it can.
std::string resumeRefusal(const HeldRun& held, const Reference& now);

}  // namespace vornex::verify
