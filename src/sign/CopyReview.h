#pragma once

#include <optional>
#include <string>
#include <vector>

#include "sign/Signatures.h"

namespace vornex::sign {

// One field a reviewer changed in the store, as an amended document prints it.
struct Change {
    int number = 0;  // the amendment's: 1, 2, ... of its original record
    std::string field, oldValue, newValue, reason, by;
    std::string time;  // ISO 8601 with the zone offset of the clock that prints it
};

// What the store held of a record's review when a copy of its file was fetched: its amendments
// and the signatures stored for it. A copy carries it beside itself, in COPY.review.tsv, so that
// a report or certificate made from the copy prints what changed and who signed.
struct CopyReview {
    std::vector<Change> changes;
    std::vector<Signature> signatures;  // uuid and path empty: the store's, of the record fetched
};

std::string copyReviewPath(const std::string& copy);

// Writes the review beside `copy`, replacing one there; nothing is written for a review with no
// change and no signature, and one left from an earlier copy goes. False with the reason.
bool writeCopyReview(const std::string& copy, const CopyReview& review, std::string& error);

// The review beside `copy`: an empty one when there is none, nothing with the reason when it
// cannot be read. Lines it cannot read are left out.
std::optional<CopyReview> readCopyReview(const std::string& copy, std::string& error);

}  // namespace vornex::sign
