#pragma once

#include "config/BenchConfig.h"
#include "judge/TestResults.h"
#include "report/ReportTexts.h"
#include "report/SpcTexts.h"
#include "spc/ControlChart.h"

namespace vornex {

class PageFlow;
class ReportBlocks;

// What a report charts: the bench's subgroup size, chart and rules, in the report's language.
struct ReportCharts {
    SpcTexts texts;
    spc::SpcRequest request;
};
// As config.ini keeps them; rules it cannot read are all on.
ReportCharts reportCharts(const ControlChartSettings& settings, const SpcTexts& texts);

// A page per instrument whose complete pulls make two subgroups or more: its control charts as
// the window draws them, how they were made, their limits, the capability and every rule that
// broke and where.
void printControlCharts(const ReportBlocks& blocks, PageFlow& flow, const TestResults& results,
                        const ReportTexts& t, const ReportCharts& charts);

}  // namespace vornex
