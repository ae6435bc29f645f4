#pragma once

#include <QString>

#include "judge/JudgeRules.h"

namespace vornex {

// The texts of the results panel and of the report in the user's language.
struct ReportTexts {
    QString title, test, file, started, made, instruments, graph, results, events;
    QString slave, unit, measure, set, range, target, upper, lower, threshold, since;
    QString count, lastPeak, pass, low, high, incomplete, mean, sd, min, max;
    QString event, time, peak, verdict, noSettings, automatic;
    QString refusedSettings;  // %1: what of the companion file was refused
    QString peaks, peaksHeld, peaksPolled;
    QString verdictPass, verdictLow, verdictHigh, verdictNone, verdictIncomplete;
    QString open;  // a pull still on while recording

    QString verdictText(judge::Verdict v) const;
};

// From a language file; an empty name or a missing key gives the English text.
ReportTexts reportTexts(const QString& languageFile);
// From the built-in file of a language ("en_US", "zh_CN", "zh_TW"); English for any other.
ReportTexts builtInReportTexts(const QString& language);

}  // namespace vornex
