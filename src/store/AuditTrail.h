#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "store/PgConnection.h"
#include "store/StoreResult.h"

namespace vornex::store {

// One row of the store's audit trail (vornex_audit), as the server's triggers appended it.
struct AuditEntry {
    int64_t id = 0;
    std::string at;  // UTC, microseconds: 2026-12-09T07:10:00.123456Z
    std::string login;
    std::string action;  // insert, or existing for a row stored before the trail began
    std::string table;
    std::string record;  // the row's key, its columns joined with "/"
    std::optional<std::string> oldValue;
    std::optional<std::string> newValue;
    std::optional<std::string> reason;
    std::string rowHash;  // SHA-256 of the row's content when it was appended
    std::string prevHash;
    std::string hash;
};

// Walks the trail in order, each row after the one before: a row must name its predecessor's
// hash and its own fields must give its hash, so that a row removed, inserted or changed after
// it was appended breaks the walk there.
class AuditChain {
public:
    // What the first row names as its predecessor.
    static std::string origin() { return std::string(64, '0'); }
    // The hash `entry`'s fields give, as the server computes it on appending.
    static std::string hashOf(const AuditEntry& entry);

    // Empty when `entry` continues the chain, else why it does not.
    std::string take(const AuditEntry& entry);
    size_t rows() const { return rows_; }

private:
    std::string last_ = origin();
    int64_t lastId_ = 0;
    size_t rows_ = 0;
};

struct AuditCheck {
    StoreResult result;    // the trail could not be read
    size_t rows = 0;       // rows walked
    int64_t brokenAt = 0;  // the first row found broken, 0 when the trail is intact
    std::string reason;
};

// Walks the whole trail and recomputes, for each row of the tables it covers, the content hash
// of the row as the table holds it now against its latest trail entry, so that a row changed or
// removed behind the program's back is found as well as a trail changed; and checks the pulls
// the server gathered from the events against the events.
AuditCheck verifyAudit(PgConnection& connection);

// Calls `take` for each row of the trail, oldest first, reading it a page at a time; with
// `record`, only that record's rows and its parts' (a test's instruments and events, a run's
// readings).
StoreResult walkAudit(PgConnection& connection, const std::string& record,
                      const std::function<void(const AuditEntry&)>& take);

// ID TIME LOGIN ACTION TABLE RECORD, blank-separated.
std::string auditLine(const AuditEntry& entry);

}  // namespace vornex::store
