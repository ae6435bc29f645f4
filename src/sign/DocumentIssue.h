#pragma once

#include <string>
#include <vector>

#include "sign/CopyReview.h"
#include "sign/Signatures.h"

namespace vornex::sign {

// What a printed report or certificate says of its issue: its number, the day it was first
// issued, the issuing lab, every signature of its record, each marked when the file is no
// longer the one signed, and for a copy of an amended record what its amendments changed (the
// document is then "Amendment N to NUMBER", N the latest's). Empty fields are printed as nothing.
struct DocumentIssue {
    std::string number, issued, lab, labAddress;
    struct SignedBy {
        Signature signature;
        bool changed = false;  // the file's SHA-256 now differs from the one signed
    };
    std::vector<SignedBy> signatures;
    std::vector<Change> changes;
};

// The issue of the document of the test or run file `path`: the number the home folder
// (ending in "/") keeps for its record, given now when it has none; the lab of config.ini
// (`[Setting] Lab=`, `LabAddress=`); the signatures of Signatures.tsv, and for a copy fetched from
// the store the changes and signatures it carries (CopyReview). What cannot be read or
// kept is left empty, with the reason in `error`: a document is printed all the same.
DocumentIssue issueDocument(const std::string& home, const std::string& configFile,
                            const std::string& path, std::string& error);

}  // namespace vornex::sign
