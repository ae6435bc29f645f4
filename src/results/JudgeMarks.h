#pragma once

#include <QString>

#include "judge/LiveResults.h"

class QCPCurve;
class QCPItemRect;
class QCPItemStraightLine;
class QCustomPlot;

namespace vornex {

// What judging draws on the graph, as items and a plottable of its own beside the curves: a
// circle on every listed event's peak (red when it is low or high; while recording, a pull still
// on is not listed yet), an orange square on an incomplete pull's (it was judged neither way:
// a ring would pass it), named in the legend while there is one, and for the displayed instrument
// its target line and the band between its lower and upper limit. The band lies on a layer below
// the curves; the marks are left out of the legend and out of what the measuring cursor snaps to.
class JudgeMarks {
public:
    explicit JudgeMarks(QCustomPlot& plot);

    // Marks the peaks of every instrument judged and the band of `displayedSlave`; the graph
    // redraws when it next does.
    void show(const LiveResults& results, int displayedSlave, bool recording);
    // The legend's name of the incomplete pulls' mark, in the window's language.
    void setIncompleteName(const QString& name);

    const QCPCurve& peaks() const { return *peaks_; }
    const QCPCurve& badPeaks() const { return *badPeaks_; }
    const QCPCurve& incompletePeaks() const { return *incompletePeaks_; }
    const QCPItemRect& band() const { return *band_; }
    const QCPItemStraightLine& target() const { return *target_; }

private:
    QCustomPlot& plot_;
    QCPCurve* peaks_;
    QCPCurve* badPeaks_;
    QCPCurve* incompletePeaks_;
    QCPItemRect* band_;
    QCPItemStraightLine* target_;
};

}  // namespace vornex
