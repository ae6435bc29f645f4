#include "sign/DocumentRecord.h"

#include <QDir>
#include <QFileInfo>
#include <cerrno>
#include <cstring>

#include "files/Sha256.h"
#include "record/CompanionFile.h"
#include "verify/RunFile.h"

namespace vornex::sign {

namespace {

bool endsWith(const std::string& text, const std::string& end) {
    return text.size() >= end.size() &&
           text.compare(text.size() - end.size(), end.size(), end) == 0;
}

}  // namespace

std::optional<DocumentRecord> readDocumentRecord(const std::string& path, std::string& error) {
    DocumentRecord record;
    record.sha256 = fileSha256Hex(path, error);
    if (record.sha256.empty())
        return std::nullopt;
    record.path =
        QDir::cleanPath(QFileInfo(QString::fromStdString(path)).absoluteFilePath()).toStdString();
    if (endsWith(path, ".pdat")) {
        const CompanionRead companion = readCompanion(companionPath(path));
        if (companion.companion) {
            record.uuid = companion.companion->uuid;
            record.operatorName = companion.companion->trace.operatorName;
        }
        return record;
    }
    std::optional<verify::StoredRun> run = verify::readRunFile(path, error);
    if (!run)
        return std::nullopt;
    record.kind = DocumentRecord::Kind::Run;
    record.operatorName = run->plan.operatorName;
    return record;
}

}  // namespace vornex::sign
