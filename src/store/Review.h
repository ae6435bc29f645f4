#pragma once

#include <string>
#include <vector>

#include "sign/CopyReview.h"
#include "store/PgConnection.h"
#include "store/StoreResult.h"

namespace vornex::store {

// A reviewer's change of one descriptive field of a stored record (vornex_amendments): a new row,
// a copy of the latest with the field changed, supersedes it; the earlier rows stay.
struct Amendment {
    int number = 0;  // 1, 2, ... per original record
    std::string id, amends, original, field, oldValue, newValue, reason, by;
    std::string at;  // in this clock's local time with its offset: 2027-01-12T09:14:00+08:00
};

// Amends the latest row of `uuid`'s record as the connection's login (a vornex_reviewer); the
// new row's UUID, or the server's refusal.
StoreAnswer<std::string> amendRecord(PgConnection& connection, const std::string& uuid,
                                     const std::string& field, const std::string& value,
                                     const std::string& reason);

// Every amendment of the record `uuid` belongs to (the original and all its amendments), in order.
StoreAnswer<std::vector<Amendment>> amendmentsOf(PgConnection& connection, const std::string& uuid);

// Amendment N to UUID: FIELD "OLD" -> "NEW" (REASON) by LOGIN at 2027-01-12 09:14 +08:00
std::string amendmentLine(const Amendment& amendment);

// A signature the store holds (vornex_signatures), its time as signed: ISO 8601 in the signer's
// offset, "2027-01-12T09:14:00+08:00".
struct StoredSignature {
    std::string meaning, name, sha256, time;
};

// The signatures of `uuid`'s record and of the original it amends, oldest first.
StoreAnswer<std::vector<StoredSignature>> signaturesOf(PgConnection& connection,
                                                       const std::string& uuid);

// "Reviewed by NAME, 2027-01-12 09:14 +08:00 (SHA-256 0123456789abcdef…)", as documents print it.
std::string signatureLine(const StoredSignature& signature);

// What a copy of the record carries of these (sign::CopyReview), so that its documents print them.
sign::CopyReview copyReviewOf(const std::vector<Amendment>& amendments,
                              const std::vector<StoredSignature>& signatures);

// Signs the stored record `uuid` now, as `meaning`, by `name` (the login when empty): the
// signature stored (an existing one of the same second is kept), or the server's refusal.
StoreAnswer<StoredSignature> signStored(PgConnection& connection, const std::string& uuid,
                                        const std::string& meaning, const std::string& name);

// What sendSignatures did: signatures sent (or already there), lines whose record is not
// stored yet, and each line the server refused, with its reason.
struct SignaturesSent {
    size_t sent = 0;
    size_t waiting = 0;
    std::vector<std::string> refused;
    StoreResult result;  // Signatures.tsv could not be read
};

// Sends the lines of the home folder's Signatures.tsv (home ends in "/") whose file the store
// holds, found by its SHA-256; each alone, so that one refused stops no other. The server takes
// a bench's performed signatures of its own records, and reviewed or approved ones only from a
// reviewer's login: one made at a bench signed in as a bench is refused, and said so, each time.
SignaturesSent sendSignatures(PgConnection& connection, const std::string& home);
// The same on a connection of its own, which `interrupt` (when given) ends: nothing is asked of
// the server when the home holds no Signatures.tsv, and a server not reached is the result.
SignaturesSent sendHomeSignatures(const std::string& home, const std::string& conninfo,
                                  PgInterrupt* interrupt = nullptr);

}  // namespace vornex::store
