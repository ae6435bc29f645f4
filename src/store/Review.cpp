#include "store/Review.h"

#include <filesystem>
#include <system_error>

#include "files/TsvFile.h"
#include "sign/Signatures.h"

namespace vornex::store {

namespace {

// The record an amendment row belongs to: its original, or the row itself when it amends none.
const char* const kRoot =
    "coalesce((SELECT original FROM vornex_amendments WHERE id = $1::uuid), "
    "$1::uuid)";

// The time as signed, rebuilt from the instant and the offset the signer's clock had.
const char* const kSignedTime =
    "to_char((s.signed_at AT TIME ZONE 'UTC') + s.zone::interval, "
    "'YYYY-MM-DD\"T\"HH24:MI:SS') || s.zone";

// The zone offset ISO 8601 ends with, "+08:00", or nothing.
std::string offsetOf(const std::string& iso) {
    if (iso.size() < 6)
        return {};
    const std::string zone = iso.substr(iso.size() - 6);
    const auto digit = [&](size_t i) { return zone[i] >= '0' && zone[i] <= '9'; };
    if ((zone[0] != '+' && zone[0] != '-') || !digit(1) || !digit(2) || zone[3] != ':' ||
        !digit(4) || !digit(5))
        return {};
    return zone;
}

PgResult sign(PgConnection& connection, const PgParam& hash, const std::string& meaning,
              const std::string& name, const std::string& time, const PgParam& record) {
    return connection.exec("SELECT vornex_sign($1, $2, $3, $4::timestamptz, $5, $6::uuid)",
                           {hash, PgParam::text(meaning), PgParam::text(name), PgParam::text(time),
                            PgParam::text(offsetOf(time)), record});
}

}  // namespace

StoreAnswer<std::string> amendRecord(PgConnection& connection, const std::string& uuid,
                                     const std::string& field, const std::string& value,
                                     const std::string& reason) {
    const PgResult result = connection.exec(
        "SELECT vornex_amend($1::uuid, $2, $3, $4)",
        {PgParam::text(uuid), PgParam::text(field), PgParam::text(value), PgParam::text(reason)});
    StoreAnswer<std::string> amended;
    amended.result = connection.check(result);
    if (amended)
        amended.value = result.value(0, 0);
    return amended;
}

StoreAnswer<std::vector<Amendment>> amendmentsOf(PgConnection& connection,
                                                 const std::string& uuid) {
    const PgResult result = connection.exec(
        std::string("SELECT number, id, amends, original, field, old_value, new_value, reason, "
                    "amended_by, to_char(amended_at AT TIME ZONE 'UTC', "
                    "'YYYY-MM-DD\"T\"HH24:MI:SS\"Z\"') FROM vornex_amendments WHERE original = ") +
            kRoot + " ORDER BY number",
        {PgParam::text(uuid)});
    StoreAnswer<std::vector<Amendment>> found;
    found.result = connection.check(result);
    for (int row = 0; found && row < result.rows(); ++row) {
        found.value.push_back({std::stoi(result.value(row, 0)), result.value(row, 1),
                               result.value(row, 2), result.value(row, 3), result.value(row, 4),
                               result.value(row, 5), result.value(row, 6), result.value(row, 7),
                               result.value(row, 8), sign::isoLocal(result.value(row, 9))});
    }
    return found;
}

std::string amendmentLine(const Amendment& a) {
    return "Amendment " + std::to_string(a.number) + " to " + a.original + ": " + a.field + " \"" +
           a.oldValue + "\" -> \"" + a.newValue + "\" (" + a.reason + ") by " + a.by + " at " +
           sign::printedTime(a.at);
}

StoreAnswer<std::vector<StoredSignature>> signaturesOf(PgConnection& connection,
                                                       const std::string& uuid) {
    const PgResult result = connection.exec(
        std::string("SELECT s.meaning, s.name, s.sha256, ") + kSignedTime +
            " FROM vornex_signatures s WHERE s.record = " + kRoot +
            " OR s.record IN (SELECT id FROM vornex_amendments WHERE original = " + kRoot +
            ") ORDER BY s.signed_at, s.id",
        {PgParam::text(uuid)});
    StoreAnswer<std::vector<StoredSignature>> found;
    found.result = connection.check(result);
    for (int row = 0; found && row < result.rows(); ++row) {
        found.value.push_back({result.value(row, 0), result.value(row, 1), result.value(row, 2),
                               result.value(row, 3)});
    }
    return found;
}

std::string signatureLine(const StoredSignature& s) {
    std::string meaning = s.meaning;
    if (!meaning.empty())
        meaning[0] = static_cast<char>(meaning[0] - 'a' + 'A');
    return meaning + " by " + s.name + ", " + sign::printedTime(s.time) + " (SHA-256 " +
           s.sha256.substr(0, 16) + "\u2026)";
}

sign::CopyReview copyReviewOf(const std::vector<Amendment>& amendments,
                              const std::vector<StoredSignature>& signatures) {
    sign::CopyReview review;
    for (const Amendment& a : amendments)
        review.changes.push_back({a.number, a.field, a.oldValue, a.newValue, a.reason, a.by, a.at});
    for (const StoredSignature& s : signatures) {
        if (const std::optional<sign::Meaning> meaning = sign::meaningOf(s.meaning))
            review.signatures.push_back({s.time, *meaning, s.name, s.sha256, "", ""});
    }
    return review;
}

StoreAnswer<StoredSignature> signStored(PgConnection& connection, const std::string& uuid,
                                        const std::string& meaning, const std::string& name) {
    StoreAnswer<StoredSignature> signed_;
    std::string signer = name;
    if (signer.empty()) {
        const PgResult login = connection.exec("SELECT session_user::text");
        signed_.result = connection.check(login);
        if (!signed_)
            return signed_;
        signer = login.value(0, 0);
    }
    signed_.value = {meaning, signer, {}, sign::isoNow()};
    const PgResult result =
        sign(connection, PgParam::null(), meaning, signer, signed_.value.time, PgParam::text(uuid));
    signed_.result = connection.check(result);
    if (signed_)
        signed_.value.sha256 = result.value(0, 0);
    return signed_;
}

SignaturesSent sendSignatures(PgConnection& connection, const std::string& home) {
    SignaturesSent sent;
    std::vector<std::vector<std::string>> rows;
    std::string error;
    if (!TsvFile(home + sign::kSignaturesFile, sign::kSignaturesHeader).read(rows, error)) {
        sent.result = StoreResult::failed(StoreResultKind::Files, error);
        return sent;
    }
    for (const std::vector<std::string>& fields : rows) {
        // TIME MEANING NAME SHA256 ...: lines a reader cannot take are left alone.
        if (fields.size() < 6 || !sign::meaningOf(fields[1]) || fields[3].size() != 64 ||
            offsetOf(fields[0]).empty())
            continue;
        const PgResult result = sign(connection, PgParam::text(fields[3]), fields[1], fields[2],
                                     fields[0], PgParam::null());
        const StoreResult checked = connection.check(result);
        if (checked.kind == StoreResultKind::Unreachable) {
            sent.result = checked;
            return sent;
        }
        if (!checked)
            sent.refused.push_back("the signature " + fields[0] + " of " + fields[3] +
                                   " is refused: " + checked.text);
        else if (result.isNull(0, 0))
            ++sent.waiting;
        else
            ++sent.sent;
    }
    return sent;
}

SignaturesSent sendHomeSignatures(const std::string& home, const std::string& conninfo,
                                  PgInterrupt* interrupt) {
    std::error_code ignored;
    if (!std::filesystem::exists(home + sign::kSignaturesFile, ignored))
        return {};
    PgConnection connection(conninfo, 10, interrupt);
    if (const StoreResult reached = connection.reached(); !reached) {
        SignaturesSent unreached;
        unreached.result = reached;
        return unreached;
    }
    return sendSignatures(connection, home);
}

}  // namespace vornex::store
