#pragma once

#include <QString>
#include <vector>

#include "report/ReportBlocks.h"
#include "report/ReportTexts.h"
#include "sign/DocumentIssue.h"

namespace vornex {

// The number, issue date and lab at the foot of every page, "Document No.: B7-2027-000123 ·
// Issued: 2027-01-12 · Lab, Address", the number "Amendment N to B7-..." for an amended record;
// what is not known is left out.
QString issueFooter(const sign::DocumentIssue& issue, const ReportTexts& texts);
// The same as the first fields of the document's head.
std::vector<ReportBlocks::Field> issueFields(const sign::DocumentIssue& issue,
                                             const ReportTexts& texts);

// A descriptive field as an amended record has it: the value of its latest change, else `value`.
QString amendedValue(const sign::DocumentIssue& issue, const char* field, const QString& value);

// Below the head of a copy of an amended record: each change, its field, old and new value, who
// made it, when, and why.
void printChanges(const ReportBlocks& blocks, PageFlow& flow, const sign::DocumentIssue& issue,
                  const ReportTexts& texts);

// At the end of a document: each signature of its record, "Reviewed by NAME, 2027-01-12 09:14
// +08:00 (SHA-256 first 16 hex digits…)", in red with "changed after it was signed" when the file
// is no longer the one signed; then a blank line to sign on paper for each of `roles` no one has
// signed (a signature of a changed file signs nothing).
void printSignatures(const ReportBlocks& blocks, PageFlow& flow, const sign::DocumentIssue& issue,
                     const ReportTexts& texts, const std::vector<sign::Meaning>& roles);

}  // namespace vornex
