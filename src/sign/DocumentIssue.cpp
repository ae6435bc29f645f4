#include "sign/DocumentIssue.h"

#include <QString>
#include <algorithm>

#include "config/BenchConfig.h"
#include "sign/DocumentNumbers.h"

namespace vornex::sign {

DocumentIssue issueDocument(const std::string& home, const std::string& configFile,
                            const std::string& path, std::string& error) {
    DocumentIssue issue;
    const BenchConfig config(QString::fromStdString(configFile));
    issue.lab = config.lab();
    issue.labAddress = config.labAddress();
    const std::optional<DocumentRecord> record = readDocumentRecord(path, error);
    if (!record)
        return issue;
    const DocumentNumber number = issueNumber(home, config.bench(), *record, error);
    issue.number = number.number;
    issue.issued = number.issued;
    std::vector<Signature> signatures;
    if (!Signatures(home).of(*record, signatures, error))
        return issue;
    const std::optional<CopyReview> review = readCopyReview(path, error);
    if (review) {
        issue.changes = review->changes;
        // A bench's own signature the store holds too is printed once.
        for (const Signature& stored : review->signatures) {
            if (std::none_of(signatures.begin(), signatures.end(), [&](const Signature& s) {
                    return s.meaning == stored.meaning && s.name == stored.name &&
                           s.sha256 == stored.sha256 && s.time == stored.time;
                }))
                signatures.push_back(stored);
        }
    }
    for (Signature& s : signatures) {
        const bool changed = s.sha256 != record->sha256;
        issue.signatures.push_back({std::move(s), changed});
    }
    return issue;
}

}  // namespace vornex::sign
