#include "sign/CopyReview.h"

#include <cstdio>
#include <filesystem>
#include <system_error>

#include "files/AtomicFile.h"
#include "files/TsvFile.h"

namespace vornex::sign {

namespace {

constexpr const char* kHeader = "KIND\tFIELDS";
constexpr const char* kChange = "amendment";
constexpr const char* kSignature = "signature";

std::string line(const std::vector<std::string>& fields) {
    std::string text;
    for (const std::string& field : fields)
        text += (text.empty() ? "" : "\t") + tsvField(field);
    return text + "\n";
}

// "-" stands for nothing in a field, as tsvField writes it.
std::string unfield(const std::string& field) {
    return field == "-" ? std::string() : field;
}

}  // namespace

std::string copyReviewPath(const std::string& copy) {
    return copy + ".review.tsv";
}

bool writeCopyReview(const std::string& copy, const CopyReview& review, std::string& error) {
    const std::string path = copyReviewPath(copy);
    if (review.changes.empty() && review.signatures.empty()) {
        std::error_code failed;
        std::filesystem::remove(path, failed);
        if (failed)
            error = "cannot remove " + path + ": " + failed.message();
        return !failed;
    }
    std::string text = std::string(kHeader) + "\n";
    for (const Change& c : review.changes)
        text += line({kChange, std::to_string(c.number), c.field, c.oldValue, c.newValue, c.reason,
                      c.by, c.time});
    for (const Signature& s : review.signatures)
        text += line({kSignature, s.time, meaningWord(s.meaning), s.name, s.sha256});
    return writeWholeFile(path, text, &error);
}

std::optional<CopyReview> readCopyReview(const std::string& copy, std::string& error) {
    std::vector<std::vector<std::string>> rows;
    if (!TsvFile(copyReviewPath(copy), kHeader).read(rows, error))
        return std::nullopt;
    CopyReview review;
    for (const std::vector<std::string>& row : rows) {
        if (row.size() == 8 && row[0] == kChange) {
            int number = 0;
            if (std::sscanf(row[1].c_str(), "%d", &number) != 1 || number < 1)
                continue;
            review.changes.push_back(
                {number, row[2], unfield(row[3]), unfield(row[4]), row[5], row[6], row[7]});
        } else if (row.size() == 5 && row[0] == kSignature) {
            const std::optional<Meaning> meaning = meaningOf(row[2]);
            if (meaning && row[4].size() == 64)
                review.signatures.push_back({row[1], *meaning, row[3], row[4], "", ""});
        }
    }
    return review;
}

}  // namespace vornex::sign
