#pragma once

#include <cstddef>
#include <string>

#include "files/FileResult.h"
#include "judge/TestResults.h"
#include "report/ReportCharts.h"
#include "report/ReportTexts.h"
#include "sign/DocumentIssue.h"

namespace vornex {

// Events of one instrument beyond which the report lists only those judged low or high, with a
// line that says how many were left out: a table of many thousand rows is read by no one and
// makes the report slow to draw. The events' CSV file lists them all.
inline constexpr size_t kReportEventLimit = 2000;

// The report of a judged test as an A4 PDF a lab can sign: who tested what on which bench and
// the file it was read from with its hash; the instruments with their settings, the graph, the
// results and the events; with `charts`, a control-chart page per instrument; the document's
// number, issue date and lab and page N of M at the foot of every page; its signatures, and the
// lines to sign of the roles not signed, at the end. Replaced whole or not at all.
FileResult writeReportPdf(const TestResults& results, const ReportTexts& texts,
                          const sign::DocumentIssue& issue, const std::string& path,
                          const ReportCharts* charts = nullptr);

}  // namespace vornex
