#pragma once

#include <QString>
#include <string>

#include "record/FileResult.h"
#include "report/ReportTexts.h"
#include "report/TestResults.h"

class QTextDocument;

namespace vornex {

// The report of a judged test as a document: test name, date and time, the instruments with
// their units and settings, the graph, the results table and every event. `madeAt` is the
// date and time the report is made.
void buildReport(QTextDocument& document, const TestResults& results, const ReportTexts& texts,
                 const QString& madeAt);

// The report as a PDF file, replaced whole or not at all.
FileResult writeReportPdf(const TestResults& results, const ReportTexts& texts,
                          const std::string& path);

}  // namespace vornex
