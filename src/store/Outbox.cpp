#include "store/Outbox.h"

#include <sys/stat.h>
#include <unistd.h>

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QUuid>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <map>
#include <optional>

#include "files/AtomicFile.h"
#include "record/CompanionFile.h"

namespace vornex::store {

namespace {

const char* const kSuffix = ".item";

std::string itemText(const OutboxItem& item) {
    return std::string("Kind=") + (item.kind == OutboxItem::Kind::Test ? "test" : "run") +
           "\nUUID=" + item.uuid + "\nPath=" + item.path + "\nBench=" + item.bench +
           "\nSupersedes=" + item.supersedes + "\nQueued=" + std::to_string(item.queued) + "\n";
}

std::string canonicalUuid(const std::string& text) {
    const QUuid uuid = QUuid::fromString(QString::fromStdString(text));
    return uuid.isNull() ? std::string() : uuid.toString(QUuid::WithoutBraces).toStdString();
}

// The item a file holds, or what is wrong with it.
std::optional<DamagedItem> readItem(const QString& file, OutboxItem& item) {
    using Damage = DamagedItem::Damage;
    const std::string name = file.toStdString();
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly))
        return DamagedItem{Damage::Unreadable, name, f.errorString().toStdString()};
    const QByteArray text = f.readAll();
    if (f.error() != QFileDevice::NoError)
        return DamagedItem{Damage::Unreadable, name, f.errorString().toStdString()};
    if (text.isEmpty())
        return DamagedItem{Damage::Empty, name, {}};
    std::map<std::string, std::string> values;
    for (const QByteArray& line : text.split('\n')) {
        const qsizetype eq = line.indexOf('=');
        if (eq > 0)
            values[line.left(eq).toStdString()] = line.mid(eq + 1).toStdString();
    }
    // Items are written whole, their last line ending like the others.
    if (!text.endsWith('\n'))
        return DamagedItem{Damage::CutShort, name, {}};
    const std::string kind = values["Kind"];
    if (kind != "test" && kind != "run")
        return DamagedItem{Damage::UnknownKind, name, kind};
    if (values["Path"].empty() || values.count("Queued") == 0)
        return DamagedItem{Damage::CutShort, name, {}};
    item.kind = kind == "test" ? OutboxItem::Kind::Test : OutboxItem::Kind::Run;
    item.path = values["Path"];
    item.bench = values["Bench"];
    item.supersedes = values["Supersedes"];
    item.queued = static_cast<std::time_t>(std::atoll(values["Queued"].c_str()));
    item.file = name;
    if (item.kind == OutboxItem::Kind::Test) {
        const CompanionRead read = readCompanion(companionPath(item.path));
        if (read.companion)
            item.uuid = canonicalUuid(read.companion->uuid);
    }
    // Items written before they named their UUID are named by it.
    const auto named = values.find("UUID");
    if (item.uuid.empty()) {
        item.uuid =
            canonicalUuid(named != values.end() ? named->second
                                                : QFileInfo(file).completeBaseName().toStdString());
    }
    if (item.uuid.empty())
        return DamagedItem{Damage::NoUuid, name, {}};
    return std::nullopt;
}

// A line of an item is one line: a path with a line break is not queued.
bool oneLine(const std::string& text) {
    return text.find_first_of("\r\n") == std::string::npos;
}

StoreResult writeOutboxFile(const std::string& path, const std::string& bytes) {
    std::string error;
    if (writeWholeFile(path, bytes, &error))
        return StoreResult();
    return StoreResult::failed(StoreResultKind::Files, error);
}

std::string absolute(const std::string& path) {
    return QFileInfo(QString::fromStdString(path)).absoluteFilePath().toStdString();
}

}  // namespace

Outbox::Outbox(const std::string& home) : home_(home), folder_(home + "Outbox/") {}

StoreResult Outbox::write(const OutboxItem& item) {
    if (!oneLine(item.path) || !oneLine(item.bench)) {
        return StoreResult::failed(StoreResultKind::BadInput,
                                   "a path or bench name with a line break cannot be queued");
    }
    if (::mkdir(folder_.c_str(), 0755) != 0 && errno != EEXIST) {
        return StoreResult::failed(StoreResultKind::Files,
                                   "cannot make " + folder_ + ": " + std::strerror(errno));
    }
    const std::lock_guard<std::mutex> lock(mutex_);
    return writeOutboxFile(folder_ + item.uuid + kSuffix, itemText(item));
}

StoreResult Outbox::queueTest(const std::string& testPath, const std::string& bench) {
    const std::string companionFile = companionPath(testPath);
    CompanionRead read = readCompanion(companionFile);
    if (!read.refusal.empty())
        return StoreResult::failed(StoreResultKind::BadInput, read.refusal);
    Companion companion = read.companion.value_or(Companion());
    if (companion.uuid.empty()) {
        companion.uuid = QUuid::createUuid().toString(QUuid::WithoutBraces).toStdString();
        if (!read.companion) {
            const std::string name =
                QFileInfo(QString::fromStdString(testPath)).completeBaseName().toStdString();
            companion.testName = name;
            companion.trace.bench = bench;
        }
        if (const FileResult written = writeCompanion(companionFile, companion); !written) {
            return StoreResult::failed(StoreResultKind::Files,
                                       "cannot give " + testPath + " its UUID: " + written.text);
        }
    }
    return write({OutboxItem::Kind::Test, companion.uuid, absolute(testPath),
                  companion.trace.bench.empty() ? bench : companion.trace.bench, std::string(),
                  std::time(nullptr), std::string()});
}

std::string Outbox::runRecord(const std::string& runPath) const {
    return folder_ + "runs/" +
           QCryptographicHash::hash(QByteArray::fromStdString(absolute(runPath)),
                                    QCryptographicHash::Sha256)
               .toHex()
               .toStdString();
}

StoreResult Outbox::queueRun(const std::string& runPath, const std::string& bench) {
    QFile file(QString::fromStdString(runPath));
    if (!file.open(QIODevice::ReadOnly)) {
        return StoreResult::failed(StoreResultKind::Files, "cannot read " + runPath + ": " +
                                                               file.errorString().toStdString());
    }
    // The run's contents and bench name it: a run that goes on after it was queued is another.
    const QByteArray contents = file.readAll();
    const std::string uuid =
        QUuid::createUuidV5(QUuid(QStringLiteral("6f1c9a52-3c0e-4b1e-9a57-0b1d3f7e2a41")),
                            QByteArray::fromStdString(bench) + '\n' + contents)
            .toString(QUuid::WithoutBraces)
            .toStdString();
    const std::string record = runRecord(runPath);
    QFile earlier(QString::fromStdString(record));
    std::string supersedes =
        earlier.open(QIODevice::ReadOnly) ? earlier.readAll().trimmed().toStdString() : "";
    if (supersedes == uuid)
        supersedes.clear();
    if (StoreResult queued = write({OutboxItem::Kind::Run, uuid, absolute(runPath), bench,
                                    supersedes, std::time(nullptr), std::string()});
        !queued)
        return queued;
    ::mkdir((folder_ + "runs").c_str(), 0755);
    return writeOutboxFile(record, uuid);
}

OutboxContents Outbox::contents() const {
    const std::lock_guard<std::mutex> lock(mutex_);
    OutboxContents contents;
    const QDir dir(QString::fromStdString(folder_));
    const QStringList names = dir.entryList({QStringLiteral("*.item")}, QDir::Files);
    for (const QString& name : names) {
        OutboxItem item;
        if (std::optional<DamagedItem> damaged = readItem(dir.filePath(name), item))
            contents.damaged.push_back(std::move(*damaged));
        else
            contents.items.push_back(item);
    }
    std::stable_sort(contents.items.begin(), contents.items.end(),
                     [](const OutboxItem& a, const OutboxItem& b) { return a.queued < b.queued; });
    return contents;
}

void Outbox::remove(const OutboxItem& item) {
    const std::lock_guard<std::mutex> lock(mutex_);
    ::unlink(item.file.c_str());
}

std::string describe(const DamagedItem& damaged) {
    switch (damaged.damage) {
        case DamagedItem::Damage::Unreadable:
            return damaged.file + " cannot be read: " + damaged.detail;
        case DamagedItem::Damage::Empty:
            return damaged.file + " is empty";
        case DamagedItem::Damage::CutShort:
            return damaged.file + " is cut short";
        case DamagedItem::Damage::UnknownKind:
            return damaged.file + " is of no known kind (\"" + damaged.detail + "\")";
        case DamagedItem::Damage::NoUuid:
            return damaged.file + " names no UUID";
    }
    return damaged.file;
}

}  // namespace vornex::store
