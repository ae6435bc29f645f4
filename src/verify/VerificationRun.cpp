#include "verify/VerificationRun.h"

#include <algorithm>
#include <cmath>
#include <ctime>

#include "text/NumberText.h"
#include "verify/RunBudget.h"

namespace vornex::verify {

VerificationRun::VerificationRun(RunFile file, const RunPlan& plan, const Reference& reference,
                                 RunListener& listener)
    : file_(std::move(file)),
      progress_(plan),
      subtests_(plan.subtests, plan.subtestSetting()),
      reference_(reference),
      listener_(listener),
      reader_(nextSetting()),
      notHeld_(plan.points.size(), 0) {}

double VerificationRun::nextSetting() const {
    if (subtestStep())
        return plan().subtestSetting();
    const Step step = progress_.next();
    return step.kind == Step::Kind::Reading ? plan().setting(step.point) : plan().tool.maximum;
}

std::optional<SubtestStep> VerificationRun::subtestStep() const {
    if (progress_.next().kind != Step::Kind::Done)
        return std::nullopt;
    return subtests_.next();
}

Direction VerificationRun::pullDirection() const {
    return subtestStep() ? plan().series().front() : progress_.next().direction;
}

std::optional<Contributions> VerificationRun::measuredContributions() const {
    if (plan().subtests.empty() || !subtests_.done())
        return std::nullopt;
    return known_;
}

// In "P" and "1P" a reading is what the instrument held; in "T" (confirmed when the run began)
// the largest polled value is all there is.
bool VerificationRun::holds() const {
    return reference_.mode == "P" || reference_.mode == "1P";
}

void VerificationRun::resume(const StoredRun& stored) {
    std::string error;
    if (!file_.endTornTail(std::time(nullptr), error))
        error_ = error;
    progress_ = replay(stored);
    for (const SubtestReading& r : stored.subtestReadings)
        subtests_.replay(r);
    known_ = stored.contributions;
    // The series under way was said before the gap when the file's last direction is its own.
    const Step next = progress_.next();
    announcedSeries_ = static_cast<int>(next.series) - 1;
    if (stored.lastDirection && next.kind != Step::Kind::Done &&
        *stored.lastDirection == next.direction)
        announcedSeries_ = static_cast<int>(next.series);
    watchAgain();
    record("resumed after a gap since " + stored.lastTime);
}

void VerificationRun::start() {
    nextStep();
}

void VerificationRun::watchAgain() {
    reader_ = PullReader(nextSetting());
    prompted_ = false;
}

void VerificationRun::compare(const Showing& now) {
    std::vector<std::string> changes;
    if (now.unit != plan().tool.unit)
        changes.push_back("unit " + plan().tool.unit + " " + now.unit);
    if (now.mode != reference_.mode)
        changes.push_back("mode " + reference_.mode + " " + now.mode);
    if (now.decimals != plan().decimals)
        changes.push_back("decimals " + std::to_string(plan().decimals) + " " +
                          std::to_string(now.decimals));
    if (changes == changes_)
        return;
    for (const std::string& change : changes) {
        if (std::find(changes_.begin(), changes_.end(), change) == changes_.end())
            tell("instrument changed " + change);
    }
    const bool restored = changes.empty();
    changes_ = std::move(changes);
    if (restored) {
        tell("instrument restored");
        watchAgain();
    }
    listener_.changed();
}

void VerificationRun::feed(const std::vector<Sample>& samples, const Showing& now) {
    if (finished() || lineDown_ || silent_)
        return;
    compare(now);
    if (finished() || !changes_.empty() || slipPeak_ || pendingPeak_)
        return;
    for (const Sample& s : samples) {
        if (const std::optional<Pull> pull = reader_.add(s.seconds, s.value)) {
            if (refused(*pull))
                return;
            if (holds() && !pull->held && progress_.next().kind == Step::Kind::Reading)
                notHeld(*pull);
            else
                taken(*pull);
            return;
        }
    }
    // The pull is asked for once the torque is down, so that it is seen from its start.
    if (!prompted_ && reader_.ready())
        prompt();
}

bool VerificationRun::refused(const Pull& pull) {
    const Step step = progress_.next();
    const std::optional<SubtestStep> subtest = subtestStep();
    std::string where = "preload " + std::to_string(step.number);
    if (subtest)
        where = std::string(subtestName(subtest->kind)) + " " + std::to_string(subtest->series) +
                " " + std::to_string(subtest->number) + " " + value(plan().subtestSetting());
    else if (step.kind == Step::Kind::Reading)
        where = plainNumber(plan().points[step.point]) + " " + std::to_string(step.number) + " " +
                value(plan().setting(step.point));
    const Direction direction = pullDirection();
    const bool clockwise = pull.peak > 0.0;
    if (clockwise != (direction == Direction::Clockwise)) {
        tell(std::string("not ") + directionName(direction) + " " + where + " " +
             value(plan().shown(pull.peak)));
    } else if (step.kind == Step::Kind::Reading && pull.loadingAtMost &&
               *pull.loadingAtMost < plan().loadingMin) {
        // Polls far apart cannot show a quick rise between them: only a rise shorter than the
        // time between the last poll below 80 % and the peak is surely too fast.
        tell("fast " + plainNumber(plan().points[step.point]) + " " + std::to_string(step.number) +
             " " + formatFixed(*pull.loadingAtMost, 2));
    } else {
        return false;
    }
    watchAgain();
    listener_.changed();
    return true;
}

void VerificationRun::taken(const Pull& pull) {
    if (subtestStep()) {
        takeSubtest(pull.peak);
        return;
    }
    const PullFacts facts{std::nullopt, pull.loading};
    if (plan().indicating() && progress_.next().kind == Step::Kind::Reading) {
        pendingPeak_ = pull.peak;
        pendingFacts_ = facts;
        listener_.said(indicationPrompt());
        listener_.changed();
        return;
    }
    take(pull.peak, std::nullopt, facts);
}

std::string VerificationRun::indicationPrompt() const {
    const Step step = progress_.next();
    return "indicated? " + plainNumber(plan().points[step.point]) + " " +
           std::to_string(step.number);
}

void VerificationRun::indicate(double indicated) {
    if (!pendingPeak_ || finished())
        return;
    const double peak = *pendingPeak_;
    PullFacts facts = pendingFacts_;
    facts.indicated = indicated;
    pendingPeak_.reset();
    take(peak, std::nullopt, facts);
}

void VerificationRun::notHeld(const Pull& pull) {
    const Step step = progress_.next();
    tell("not held " + plainNumber(plan().points[step.point]) + " " + std::to_string(step.number) +
         " " + value(plan().setting(step.point)) + " " + value(plan().shown(std::fabs(pull.peak))));
    if (++notHeld_[step.point] == kNotHeldWarning) {
        const std::string warning =
            "point " + plainNumber(plan().points[step.point]) + " (" +
            value(plan().setting(step.point)) + " " + plan().tool.unit +
            "): " + std::to_string(kNotHeldWarning) +
            " pulls were not held; the point may lie below the reference's first-peak threshold";
        record("warning " + warning);
        if (ok())
            listener_.warned(warning);
    }
    watchAgain();
    listener_.changed();
}

void VerificationRun::lineLost() {
    if (finished() || lineDown_)
        return;
    lineDown_ = true;
    tell("line lost");
    listener_.changed();
}

void VerificationRun::lineBack() {
    if (finished() || !lineDown_)
        return;
    lineDown_ = false;
    tell("line back");
    // A pull during the outage was not seen whole: it is asked for again.
    watchAgain();
    listener_.changed();
}

void VerificationRun::instrumentSilent(const std::string& since) {
    if (finished() || silent_)
        return;
    silent_ = true;
    tell("slave " + std::to_string(reference_.address) + ": not answering since " + since);
    listener_.changed();
}

void VerificationRun::instrumentAnswering() {
    if (finished() || !silent_)
        return;
    silent_ = false;
    tell("slave " + std::to_string(reference_.address) + ": answering again");
    watchAgain();
    listener_.changed();
}

void VerificationRun::answerSlip(bool count) {
    if (!slipPeak_ || finished())
        return;
    const double peak = *slipPeak_;
    slipPeak_.reset();
    slipReading_.reset();
    take(peak, count ? SlipPolicy::Count : SlipPolicy::Repeat, slipFacts_);
}

void VerificationRun::takeContributions(const Contributions& known, const std::string& origin) {
    record("contributions taken from the register, measured " + origin);
    Contributions given = known;
    for (SubtestKind kind : {SubtestKind::Reproducibility, SubtestKind::OutputDrive,
                             SubtestKind::Interface, SubtestKind::LoadingPoint}) {
        if (const std::optional<double>& span = contributionOf(given, kind)) {
            const std::string line =
                contributionLine(kind, *span, plan().decimals, plan().tool.unit);
            record(line);
            parseContributionLine(line, known_);
        }
    }
}

void VerificationRun::abandon(const std::string& reason) {
    if (finished())
        return;
    record("abandoned " + reason);
    abandoned_ = ok();
    listener_.changed();
}

void VerificationRun::note(const std::string& text) {
    record(text);
}

void VerificationRun::take(double peak, std::optional<SlipPolicy> answer, const PullFacts& facts) {
    if (!answer && plan().slips == SlipPolicy::Ask && progress_.isSlip(peak)) {
        slipPeak_ = peak;
        slipFacts_ = facts;
        slipReading_ = progress_.peek(peak, facts);
        listener_.changed();
        return;
    }
    const Taken taken = progress_.take(peak, answer, facts);
    last_ = taken;
    recordTaken(taken);
    nextStep();
}

void VerificationRun::takeSubtest(double peak) {
    const SubtestStep step = *subtestStep();
    const std::optional<double> span = subtests_.take(plan().shown(peak));
    tell(subtestReadingLine(subtests_.readings().back(), plan().decimals));
    if (span) {
        // The budget takes the span as the file states it, as a certificate of the file does.
        const std::string line =
            contributionLine(step.kind, *span, plan().decimals, plan().tool.unit);
        tell(line);
        parseContributionLine(line, known_);
    }
    nextStep();
}

void VerificationRun::nextStep() {
    prompted_ = false;
    if (!ok()) {
        listener_.changed();
        return;
    }
    const Step step = progress_.next();
    if (step.kind != Step::Kind::Done) {
        if (static_cast<int>(step.series) != announcedSeries_) {
            announcedSeries_ = static_cast<int>(step.series);
            tell(std::string("direction ") + directionName(step.direction));
        }
    } else if (const std::optional<SubtestStep> subtest = subtestStep()) {
        const std::pair series{subtest->kind, subtest->series};
        if (announcedSubtest_ != series) {
            announcedSubtest_ = series;
            tell(seriesLine(*subtest));
        }
    } else {
        finish();
        listener_.changed();
        return;
    }
    reader_ = PullReader(nextSetting());
    listener_.changed();
}

void VerificationRun::finish() {
    if (calibrates(plan().standard)) {
        for (const PointBudget& budget : runBudgets(progress_, known_))
            tell(uncertaintyLine(plan(), budget));
    }
    tell(std::string("result ") + (progress_.conforms() ? "conforms" : "does-not-conform"));
    ended_ = ok();
}

void VerificationRun::prompt() {
    prompted_ = true;
    const Step step = progress_.next();
    if (const std::optional<SubtestStep> subtest = subtestStep()) {
        listener_.said(
            subtestApplyLine(*subtest, value(plan().subtestSetting()), plan().tool.unit));
    } else if (step.kind == Step::Kind::Preload) {
        listener_.said("preload " + std::to_string(step.number) + " of " +
                       std::to_string(plan().preloads));
    } else {
        listener_.said("apply " + value(plan().setting(step.point)) + " " + plan().tool.unit +
                       " point " + plainNumber(plan().points[step.point]) + " reading " +
                       std::to_string(step.number) + " of " + std::to_string(plan().readings));
    }
    listener_.changed();
}

void VerificationRun::recordTaken(const Taken& t) {
    const Reading& r = t.reading;
    const std::string where = plainNumber(plan().points[r.point]) + " " + std::to_string(r.number) +
                              " " + value(r.setting) + " " + value(r.value);
    if (t.kind == Taken::Kind::Preload) {
        record("preload " + std::to_string(r.number) + " " + value(r.value));
        return;
    }
    if (t.kind == Taken::Kind::SlipRepeated) {
        tell("slip " + where + " repeated");
        return;
    }
    const std::string line = "reading " + where + " " + signedPercent(r.deviation) + " " +
                             (r.conforms ? "conforms" : "exceeds");
    record(line + (r.slip ? " slip counted" : "") +
           (r.loading ? " loading " + formatFixed(*r.loading, 3) : ""));
    if (r.slip && ok())
        listener_.said("slip " + where + " counted");
    if (ok())
        listener_.said(line);
    if (!t.endsPoint)
        return;
    const PointSummary s = progress_.summary(r.point, r.direction);
    const std::string point = "point " + plainNumber(plan().points[r.point]) + " mean " +
                              value(s.mean) + " deviation " + signedPercent(s.meanDeviation) +
                              " spread " + value(s.spread);
    record(point + " share " + formatFixed(s.spreadShare, 2));
    if (ok())
        listener_.said(point);
}

void VerificationRun::tell(const std::string& line) {
    record(line);
    if (ok())
        listener_.said(line);
}

void VerificationRun::record(const std::string& text) {
    std::string error;
    if (ok() && !file_.append(std::time(nullptr), text, error))
        error_ = error;
}

std::string VerificationRun::value(double x) const {
    return formatFixed(x, plan().decimals);
}

}  // namespace vornex::verify
