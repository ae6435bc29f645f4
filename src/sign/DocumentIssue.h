#pragma once

#include <string>
#include <vector>

#include "sign/Signatures.h"

namespace vornex::sign {

// What a printed report or certificate says of its issue: its number, the day it was first
// issued, the issuing lab, and every signature of its record, each marked when the file is no
// longer the one signed. Empty fields are printed as nothing.
struct DocumentIssue {
    std::string number, issued, lab, labAddress;
    struct SignedBy {
        Signature signature;
        bool changed = false;  // the file's SHA-256 now differs from the one signed
    };
    std::vector<SignedBy> signatures;
};

// The issue of the document of the test or run file `path`: the number the home folder
// (ending in "/") keeps for its record, given now when it has none; the lab of config.ini
// (`[Setting] Lab=`, `LabAddress=`); the signatures of Signatures.tsv. What cannot be read or
// kept is left empty, with the reason in `error`: a document is printed all the same.
DocumentIssue issueDocument(const std::string& home, const std::string& configFile,
                            const std::string& path, std::string& error);

}  // namespace vornex::sign
