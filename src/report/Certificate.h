#pragma once

#include <optional>
#include <string>

#include "files/FileResult.h"
#include "report/ReportTexts.h"
#include "sign/DocumentIssue.h"
#include "verify/RunFile.h"

namespace vornex {

// The reference instrument as a run file names it ("slave 3 on PORT, mode P, range 500.00 N.m").
struct ReferenceInstrument {
    int address = 0;
    std::string port, mode, range;
};
std::optional<ReferenceInstrument> referenceOf(const std::string& instrument);

// What the bench knows beside the run file.
struct CertificateFacts {
    std::string bench;
    std::string instrumentName;  // the user's name for the reference's address, when given
};

// The document of the ended verification run in `runPath` as an A4 PDF, the one its run issues
// (see DocumentKind): a declaration of conformance with its decision rule, a verification record
// saying why it is none, or a calibration certificate with its uncertainty per target value and no
// conformance but a planned decision rule's. Each holds the bench, operator, date, ambient
// conditions, the tool as the register names it, the reference instrument, the procedure and
// preloads, every reading with its deviation (and verdict, but for a calibration), each point
// summed up, per direction when the run took both, the remarks, the result in one line, the run
// file's SHA-256, its signatures or a line to sign; the document's number, issue date and lab and
// page N of M at the foot of every page. The remarks are every confirmation and warning
// the run file holds, and what the certificate finds itself: ambient conditions not recorded, a
// reference whose calibration was due before the run; a run with remarks sends its reader to them
// instead of showing a bare green result. Everything is read back from the run file, so any ended
// run has its certificate. Written whole or not at all; a run that has not ended, or was
// abandoned, has none.
FileResult writeCertificatePdf(const std::string& runPath, const CertificateFacts& facts,
                               const ReportTexts& texts, const sign::DocumentIssue& issue,
                               const std::string& path);

}  // namespace vornex
