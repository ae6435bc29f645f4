#pragma once

#include <optional>
#include <string>
#include <vector>

#include "sign/DocumentRecord.h"

namespace vornex::sign {

// What a signer declares of a test or run: that they performed it, reviewed it or approved it.
enum class Meaning { Performed, Reviewed, Approved };
std::optional<Meaning> meaningOf(const std::string& word);
const char* meaningWord(Meaning meaning);

// One line of the home folder's Signatures.tsv: "TIME MEANING NAME SHA256 UUID PATH", tabs
// between, TIME in ISO 8601 with its zone offset, UUID "-" when the record has none.
struct Signature {
    std::string time;
    Meaning meaning = Meaning::Performed;
    std::string name, sha256, uuid, path;
};

inline constexpr const char* kSignaturesFile = "Signatures.tsv";
inline constexpr const char* kSignaturesHeader = "TIME\tMEANING\tNAME\tSHA256\tUUID\tPATH";

// The signature file of a home folder (ending in "/").
class Signatures {
public:
    explicit Signatures(const std::string& home);

    // Every signature of the record, as signed: by its UUID when both know one, else by its path.
    // False with the reason in `error` when the file cannot be read; lines it cannot read are
    // left out.
    bool of(const DocumentRecord& record, std::vector<Signature>& found, std::string& error) const;

    enum class Outcome { Signed, Unreadable, Changed, NoName };
    struct Result {
        Outcome outcome = Outcome::Unreadable;
        Signature signature;  // the one added, or for Changed the earlier one that differs
        std::string error;
    };
    // Signs the file as it is now. A name is needed but for Performed, which takes the record's
    // operator when none is given. Refused (Changed) when an earlier signature of the same record
    // or the same path holds another SHA-256: what was signed is no longer this file.
    Result sign(const std::string& path, Meaning meaning, const std::string& name) const;

    const std::string& path() const;

private:
    std::string path_;
};

// "2027-01-12 09:14 +08:00" of "2027-01-12T09:14:00+08:00": how a document prints the time.
std::string printedTime(const std::string& iso);
// Now, in local time with its offset, as a signature is dated: "2027-01-12T09:14:00+08:00".
std::string isoNow();
// An instant of ISO 8601 (in any zone, "2027-01-12T01:14:00Z") as this clock's local time with its
// offset, "2027-01-12T09:14:00+08:00"; as given when it is not such an instant.
std::string isoLocal(const std::string& iso);

}  // namespace vornex::sign
