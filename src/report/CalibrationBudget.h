#pragma once

#include <QStringList>

#include "report/ReportBlocks.h"
#include "report/ReportTable.h"
#include "report/ReportTexts.h"
#include "verify/RunProgress.h"
#include "verify/UncertaintyBudget.h"

class QPaintDevice;

namespace vornex {

// The measurement uncertainty a calibration certificate states per target value (each point of
// each direction), from what the run file holds alone: the tool's resolution when it was given,
// the sub-tests' contributions, the reference's own uncertainty as the register held it, the
// scatter of the point's readings. A contribution the file does not hold is named as not measured
// and left out of w, W and W′, never given a value; a decision rule is then left undecided.
class CalibrationBudget {
public:
    enum class Outcome { Met, Failed, Undecided };

    CalibrationBudget(const verify::RunProgress& progress, const verify::Contributions& measured,
                      const std::string& referenceAsset, const ReportTexts& texts);

    // The heading, the reference's traceability, the table, what was not measured, the ¼ rule.
    void print(const ReportBlocks& blocks, PageFlow& flow, const QPaintDevice& device);

    // Of the decision rule W′ <= permissible deviation; `exceeded` names where it fails.
    Outcome outcome() const;
    const QStringList& exceeded() const { return exceeded_; }

private:
    std::vector<ReportTable::Column> columns() const;
    void addRows(const verify::RunProgress& progress);
    QStringList quarterRule() const;

    const verify::RunPlan& plan_;
    const verify::Contributions measured_;
    const ReportTexts& t_;
    QString traceability_;
    QStringList notMeasured_, exceeded_, coarse_;  // coarse_: where the display is too coarse
    std::vector<ReportTable> tables_;              // per direction, clockwise first
};

}  // namespace vornex
