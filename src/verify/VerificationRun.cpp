#include "verify/VerificationRun.h"

#include <ctime>

#include "link/NumberText.h"

namespace vornex::verify {

VerificationRun::VerificationRun(RunFile file, const RunPlan& plan, RunListener& listener)
    : file_(std::move(file)),
      progress_(plan),
      listener_(listener),
      reader_(setting(progress_.next())) {}

double VerificationRun::setting(const Step& step) const {
    return step.kind == Step::Kind::Reading ? plan().setting(step.point) : plan().tool.maximum;
}

void VerificationRun::resume(const StoredRun& stored) {
    progress_ = replay(stored);
    reader_ = PullReader(setting(progress_.next()));
    record("resumed after a gap since " + stored.lastTime);
}

void VerificationRun::start() {
    nextStep();
}

void VerificationRun::feed(const std::vector<Sample>& samples) {
    if (finished() || lineDown_ || slipPeak_)
        return;
    for (const Sample& s : samples) {
        if (const std::optional<double> peak = reader_.add(s.seconds, s.value)) {
            take(*peak, std::nullopt);
            return;
        }
    }
    // The pull is asked for once the torque is down, so that it is seen from its start.
    if (!prompted_ && reader_.ready())
        prompt();
}

void VerificationRun::lineLost() {
    if (finished() || lineDown_)
        return;
    lineDown_ = true;
    say("line lost");
    record("line lost");
    listener_.changed();
}

void VerificationRun::lineBack() {
    if (finished() || !lineDown_)
        return;
    lineDown_ = false;
    say("line back");
    record("line back");
    // A pull during the outage was not seen whole: it is asked for again.
    reader_ = PullReader(setting(progress_.next()));
    prompted_ = false;
    listener_.changed();
}

void VerificationRun::answerSlip(bool count) {
    if (!slipPeak_ || finished())
        return;
    const double peak = *slipPeak_;
    slipPeak_.reset();
    slipReading_.reset();
    take(peak, count ? SlipPolicy::Count : SlipPolicy::Repeat);
}

void VerificationRun::abandon(const std::string& reason) {
    if (finished())
        return;
    record("abandoned " + reason);
    abandoned_ = true;
    listener_.changed();
}

void VerificationRun::note(const std::string& text) {
    record(text);
}

void VerificationRun::take(double peak, std::optional<SlipPolicy> answer) {
    if (!answer && plan().slips == SlipPolicy::Ask && progress_.isSlip(peak)) {
        slipPeak_ = peak;
        slipReading_ = progress_.peek(peak);
        listener_.changed();
        return;
    }
    const Taken taken = progress_.take(peak, answer);
    last_ = taken;
    recordTaken(taken);
    nextStep();
}

void VerificationRun::nextStep() {
    prompted_ = false;
    if (!ok()) {
        listener_.changed();
        return;
    }
    const Step step = progress_.next();
    if (step.kind == Step::Kind::Done) {
        const std::string line =
            std::string("result ") + (progress_.conforms() ? "conforms" : "does-not-conform");
        say(line);
        record(line);
        ended_ = ok();
    } else {
        reader_ = PullReader(setting(step));
    }
    listener_.changed();
}

void VerificationRun::prompt() {
    prompted_ = true;
    const Step step = progress_.next();
    if (step.kind == Step::Kind::Preload) {
        say("preload " + std::to_string(step.number) + " of " + std::to_string(plan().preloads));
    } else {
        say("apply " + value(plan().setting(step.point)) + " " + plan().tool.unit + " point " +
            plainNumber(plan().points[step.point]) + " reading " + std::to_string(step.number) +
            " of " + std::to_string(plan().readings));
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
    if (r.slip) {
        const char* answer = t.kind == Taken::Kind::Reading ? " counted" : " repeated";
        say("slip " + where + answer);
        if (t.kind == Taken::Kind::SlipRepeated) {
            record("slip " + where + answer);
            return;
        }
    }
    const std::string line = "reading " + where + " " + signedPercent(r.deviation) + " " +
                             (r.conforms ? "conforms" : "exceeds");
    say(line);
    record(line + (r.slip ? " slip counted" : ""));
    if (!t.endsPoint)
        return;
    const PointSummary s = progress_.summary(r.point);
    const std::string point = "point " + plainNumber(plan().points[r.point]) + " mean " +
                              value(s.mean) + " deviation " + signedPercent(s.meanDeviation) +
                              " spread " + value(s.spread);
    say(point);
    record(point + " share " + formatFixed(s.spreadShare, 2));
}

void VerificationRun::say(const std::string& line) {
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
