#include "sign/DocumentNumbers.h"

#include <QDate>
#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "files/TsvFile.h"

namespace vornex::sign {

namespace {

enum Column { kNumber, kIssued, kKind, kUuid, kPath, kColumns };

bool sameRecord(const std::vector<std::string>& row, const DocumentRecord& record) {
    if (row[kUuid] != "-" && !record.uuid.empty())
        return row[kUuid] == record.uuid;
    return row[kPath] == record.path;
}

// The sequence of a number of `prefix` ("B7-2027-"), 0 for a number of another bench or year.
long sequenceOf(const std::string& number, const std::string& prefix) {
    if (number.size() <= prefix.size() || number.compare(0, prefix.size(), prefix) != 0)
        return 0;
    const std::string digits = number.substr(prefix.size());
    if (digits.find_first_not_of("0123456789") != std::string::npos)
        return 0;
    return std::strtol(digits.c_str(), nullptr, 10);
}

}  // namespace

DocumentNumber issueNumber(const std::string& home, const std::string& bench,
                           const DocumentRecord& record, std::string& error) {
    const TsvFile file(home + kNumbersFile, kNumbersHeader);
    TsvAppend append(file);
    std::vector<std::vector<std::string>> rows;
    if (!file.read(rows, error))
        return {};
    const QDate today = QDate::currentDate();
    const std::string prefix = tsvField(bench) + "-" + std::to_string(today.year()) + "-";
    long last = 0;
    for (const std::vector<std::string>& row : rows) {
        if (row.size() < kColumns)
            continue;
        if (sameRecord(row, record))
            return {row[kNumber], row[kIssued]};
        last = std::max(last, sequenceOf(row[kNumber], prefix));
    }
    char sequence[24];
    std::snprintf(sequence, sizeof sequence, "%06ld", last + 1);
    DocumentNumber issued{prefix + sequence,
                          today.toString(QStringLiteral("yyyy-MM-dd")).toStdString()};
    if (!append.add(
            {issued.number, issued.issued,
             record.kind == DocumentRecord::Kind::Test ? "test" : "run", record.uuid, record.path},
            error))
        return {};
    return issued;
}

}  // namespace vornex::sign
