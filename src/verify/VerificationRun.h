#pragma once

#include <optional>
#include <string>
#include <vector>

#include "link/Sample.h"
#include "verify/PullReader.h"
#include "verify/Reference.h"
#include "verify/RunFile.h"
#include "verify/RunProgress.h"
#include "verify/Subtests.h"

namespace vornex::verify {

// What a run tells whoever drives it.
class RunListener {
public:
    virtual ~RunListener() = default;
    // A line of the run's account, as the command line prints it ("preload 1 of 3", "apply 60.00
    // N.m point 60 reading 3 of 5", "reading ...", "line lost", "result conforms"), said once it
    // is in the file.
    virtual void said(const std::string& line) = 0;
    // Something the operator should know that is no step of the run ("the point may lie below
    // the reference's first-peak threshold"), also in the file.
    virtual void warned(const std::string&) {}
    // What the run shows changed: its step, a reading, a slip to answer, the line, its end.
    virtual void changed() {}
};

// How the reference instrument shows torque now, as its last reads said.
struct Showing {
    std::string unit;
    std::string mode;
    int decimals = 0;
};

// One verification run on one reference instrument: fed with the instrument's live values and
// the line's news, it asks for each pull once the torque is down, takes each complete pull's peak
// for the step asked for, and appends every step and outcome to its file (synced) before it says
// it and before the next prompt. The command line and the window drive it alike; it sets nothing
// on the instrument.
class VerificationRun {
public:
    VerificationRun(RunFile file, const RunPlan& plan, const Reference& reference,
                    RunListener& listener);

    // The pulls of the stored run are taken again as they were, and the gap is recorded.
    void resume(const StoredRun& stored);
    // Asks for the next pull, or ends the run when nothing is left to take.
    void start();
    // The live values read since the last call, in order, with how the instrument shows them. A
    // pull that ends takes the rest of the values with it: the next pull is watched for from the
    // next call. While the instrument shows another unit, mode or decimals than the run's, no
    // value is taken.
    void feed(const std::vector<Sample>& samples, const Showing& now);
    // The line was lost: a pull under way was not seen whole and is asked for again once it is
    // back.
    void lineLost();
    void lineBack();
    // The reference stopped answering on a line that is there (since hh:mm:ss), and answers
    // again: a pull meanwhile was not seen and is asked for again.
    void instrumentSilent(const std::string& since);
    void instrumentAnswering();
    // The slip asked about (plans that ask) is counted as a reading, or dropped and taken again.
    void answerSlip(bool count);
    // An indicating tool's indication of the pull just taken, as the operator read it off the
    // tool (in the tool's unit); the pull becomes its reading.
    void indicate(double indicated);
    // A calibration's contributions known before it began (the tool's latest, measured as
    // `origin` says): into its file, for its budget. Called before start() on a run whose plan
    // leaves the sub-tests out for them.
    void takeContributions(const Contributions& known, const std::string& origin);
    // Ends the run, unfinished, with the reason in its file.
    void abandon(const std::string& reason);
    // A line of the file only.
    void note(const std::string& text);

    const RunProgress& progress() const { return progress_; }
    const RunPlan& plan() const { return progress_.plan(); }
    const Reference& reference() const { return reference_; }
    const std::string& path() const { return file_.path(); }
    Step step() const { return progress_.next(); }
    // Once the readings are in, the sub-test pull asked for; nothing otherwise.
    std::optional<SubtestStep> subtestStep() const;
    const SubtestProgress& subtests() const { return subtests_; }
    // The way the pull asked for turns the tool: its series', or, in the sub-tests, the first
    // series'.
    Direction pullDirection() const;
    // What the run's sub-tests measured, once the last is in; nothing for a run without them.
    std::optional<Contributions> measuredContributions() const;
    // The step has been asked for: the torque was down.
    bool prompted() const { return prompted_; }
    // The last pull taken (a preload, a reading or a dropped slip).
    const std::optional<Taken>& last() const { return last_; }
    // The slip waiting for its answer.
    const std::optional<Reading>& slipAsked() const { return slipReading_; }
    // A pull of an indicating tool waits for its indication; the prompt ("indicated? P K").
    bool indicationAsked() const { return pendingPeak_.has_value(); }
    std::string indicationPrompt() const;
    bool lineDown() const { return lineDown_; }
    // The reference does not answer, or shows otherwise than the run: no pull is taken.
    bool instrumentSilentNow() const { return silent_; }
    bool instrumentChanged() const { return !changes_.empty(); }
    // What the instrument shows otherwise than the run ("unit N.m kgf.cm"), while it does.
    const std::vector<std::string>& changes() const { return changes_; }
    bool ended() const { return ended_; }
    bool abandoned() const { return abandoned_; }
    // Ended, abandoned, or stopped because its file could not be appended to.
    bool finished() const { return ended_ || abandoned_ || !ok(); }
    bool ok() const { return error_.empty(); }
    const std::string& error() const { return error_; }

    // Two pulls of one point not held: the point may lie below what the reference catches.
    static constexpr int kNotHeldWarning = 2;

private:
    // The torque the pull asked for next is set to.
    double nextSetting() const;
    bool holds() const;
    void watchAgain();
    void compare(const Showing& now);
    void notHeld(const Pull& pull);
    // A pull the run cannot count (turned the wrong way, loaded too fast), said; false when the
    // pull may be taken.
    bool refused(const Pull& pull);
    void taken(const Pull& pull);
    void take(double peak, std::optional<SlipPolicy> answer, const PullFacts& facts);
    void takeSubtest(double peak);
    void nextStep();
    // The budget of each point (a calibration), then the result.
    void finish();
    void prompt();
    void recordTaken(const Taken& t);
    // Into the file first, then said: what is said is on disk.
    void tell(const std::string& line);
    void record(const std::string& text);
    std::string value(double x) const;

    RunFile file_;
    RunProgress progress_;
    SubtestProgress subtests_;
    // The contributions as the file states them: taken when the run began, or measured.
    Contributions known_;
    std::optional<std::pair<SubtestKind, int>> announcedSubtest_;  // the last series said
    Reference reference_;
    RunListener& listener_;
    PullReader reader_;
    bool prompted_ = false;
    bool lineDown_ = false;
    bool silent_ = false;
    std::vector<std::string> changes_;  // "unit N.m kgf.cm", while the instrument shows otherwise
    bool ended_ = false;
    bool abandoned_ = false;
    std::optional<Taken> last_;
    std::optional<double> slipPeak_;
    PullFacts slipFacts_;
    std::optional<Reading> slipReading_;
    std::optional<double> pendingPeak_;  // an indicating tool's pull, its indication not typed
    PullFacts pendingFacts_;
    int announcedSeries_ = -1;  // the last series whose direction was said
    std::vector<int> notHeld_;  // per point
    std::string error_;
};

}  // namespace vornex::verify
