#include "i18n/LanguageTexts.h"

#include <sys/stat.h>

#include <QFile>
#include <map>
#include <mutex>

#include "config/PrivateProfile.h"
#include "files/SmallFile.h"

namespace vornex {

namespace {

// What tells one state of a file on disk from another.
struct FileStamp {
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = 0;
    timespec modified{};
    timespec changed{};

    static FileStamp of(const struct stat& status) {
        return {status.st_dev, status.st_ino, status.st_size, status.st_mtim, status.st_ctim};
    }
    bool operator==(const FileStamp& other) const {
        return device == other.device && inode == other.inode && size == other.size &&
               modified.tv_sec == other.modified.tv_sec &&
               modified.tv_nsec == other.modified.tv_nsec &&
               changed.tv_sec == other.changed.tv_sec && changed.tv_nsec == other.changed.tv_nsec;
    }
};

// The file's bytes and the stamp they were read under; nothing for a file that cannot be read
// whole. Opened without blocking, so a pipe named like a language file is refused, not waited on.
std::optional<QByteArray> readRegularFile(const QString& path, FileStamp& stamp) {
    const SmallFile file = readSmallFile(QFile::encodeName(path).toStdString(),
                                         static_cast<size_t>(PrivateProfile::kMaxFileSize));
    if (!file.ok())
        return std::nullopt;
    stamp = FileStamp::of(file.status);
    return QByteArray(file.bytes.data(), static_cast<qsizetype>(file.bytes.size()));
}

std::optional<QByteArray> readBuiltIn(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    return file.readAll();
}

// The language files read so far, by path. Lookups come from the interface thread and from
// worker threads alike, hence the lock; it is held while a changed file is read again, so a file
// is never parsed twice at once.
class TextsCache {
public:
    std::shared_ptr<const LanguageTexts> get(const QString& path) {
        // The files built into the program never change and have no stamp.
        const bool builtIn = path.startsWith(QLatin1Char(':'));
        struct stat status {};
        if (!builtIn && (::stat(QFile::encodeName(path).constData(), &status) != 0 ||
                         !S_ISREG(status.st_mode))) {
            return empty();
        }
        std::lock_guard<std::mutex> lock(mutex_);
        ++clock_;
        auto found = entries_.find(path);
        if (found != entries_.end() && (builtIn || found->second.stamp == FileStamp::of(status))) {
            found->second.used = clock_;
            return found->second.texts;
        }
        Entry entry;
        const std::optional<QByteArray> bytes =
            builtIn ? readBuiltIn(path) : readRegularFile(path, entry.stamp);
        if (!bytes)
            return empty();
        entry.texts = std::make_shared<const LanguageTexts>(*bytes);
        entry.used = clock_;
        entries_[path] = entry;
        evictOldest();
        return entry.texts;
    }

private:
    // Start-up reads every candidate in the language folder; only the files in use stay.
    static constexpr size_t kMaxEntries = 8;

    struct Entry {
        FileStamp stamp;
        std::shared_ptr<const LanguageTexts> texts;
        unsigned long used = 0;
    };

    static std::shared_ptr<const LanguageTexts> empty() {
        static const auto none = std::make_shared<const LanguageTexts>();
        return none;
    }

    void evictOldest() {
        if (entries_.size() <= kMaxEntries)
            return;
        auto oldest = entries_.begin();
        for (auto it = entries_.begin(); it != entries_.end(); ++it) {
            if (it->second.used < oldest->second.used)
                oldest = it;
        }
        entries_.erase(oldest);
    }

    std::mutex mutex_;
    std::map<QString, Entry> entries_;
    unsigned long clock_ = 0;
};

}  // namespace

LanguageTexts::LanguageTexts(const QByteArray& bytes)
    : values_(IniDocument::fromBytes(bytes).index()) {}

QString LanguageTexts::value(const QString& section, const QString& key,
                             const QString& defaultValue, int bufferSize) const {
    std::optional<QString> found;
    const auto inSection = values_.constFind(section.toCaseFolded());
    if (inSection != values_.constEnd()) {
        const auto entry = inSection->constFind(key.toCaseFolded());
        if (entry != inSection->constEnd())
            found = *entry;
    }
    return profileValue(found, defaultValue, bufferSize);
}

bool LanguageTexts::contains(const QString& section, const QString& key) const {
    const auto inSection = values_.constFind(section.toCaseFolded());
    return inSection != values_.constEnd() && inSection->contains(key.toCaseFolded());
}

std::shared_ptr<const LanguageTexts> LanguageTexts::of(const QString& path) {
    static TextsCache cache;
    return cache.get(path);
}

}  // namespace vornex
