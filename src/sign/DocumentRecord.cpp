#include "sign/DocumentRecord.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFileInfo>
#include <cerrno>
#include <cstring>

#include "files/Sha256.h"
#include "record/CompanionFile.h"
#include "verify/RunFile.h"

namespace vornex::sign {

namespace {

// The hash of a regular file read piece by piece (a long test is large); a FIFO or a device named
// like one is refused, not waited on. Empty with the reason in `error` when it cannot be read.
std::string hashOf(const std::string& path, std::string& error) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    struct stat status {};
    if (fd < 0 || ::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
        error =
            "cannot read " + path + ": " + (fd < 0 ? std::strerror(errno) : "not a regular file");
        if (fd >= 0)
            ::close(fd);
        return {};
    }
    Sha256 hash;
    char piece[1 << 16];
    ssize_t got = 0;
    while ((got = ::read(fd, piece, sizeof piece)) > 0 || (got < 0 && errno == EINTR))
        if (got > 0)
            hash.add(piece, static_cast<size_t>(got));
    const int readError = errno;
    ::close(fd);
    if (got < 0) {
        error = "cannot read " + path + ": " + std::strerror(readError);
        return {};
    }
    return hash.hex();
}

bool endsWith(const std::string& text, const std::string& end) {
    return text.size() >= end.size() &&
           text.compare(text.size() - end.size(), end.size(), end) == 0;
}

}  // namespace

std::optional<DocumentRecord> readDocumentRecord(const std::string& path, std::string& error) {
    DocumentRecord record;
    record.sha256 = hashOf(path, error);
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
