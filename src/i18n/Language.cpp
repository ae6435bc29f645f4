#include "i18n/Language.h"

#include <fcntl.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <cerrno>
#include <map>
#include <mutex>
#include <optional>

#include "config/IniDocument.h"
#include "config/PrivateProfile.h"
#include "i18n/LanguageTexts.h"

namespace vornex {

namespace {

const QString kSetting = QStringLiteral("Setting");
const QString kLanguage = QStringLiteral("Language");

QFileInfoList languageFileCandidates(const QString& folder) {
    QFileInfoList files;
    const QFileInfoList entries =
        QDir(folder).entryInfoList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot, QDir::NoSort);
    for (const QFileInfo& entry : entries) {
        if (entry.isFile() &&
            entry.fileName().endsWith(QStringLiteral(".ini"), Qt::CaseInsensitive)) {
            files.append(entry);
        }
    }
    std::sort(files.begin(), files.end(), [](const QFileInfo& a, const QFileInfo& b) {
        return a.fileName().compare(b.fileName(), Qt::CaseSensitive) < 0;
    });
    return files;
}

// Writes a new file where nothing of that name exists; a user's file, or a link, already there is
// never written. A write cut short removes the file it made, so that no half file is taken for the
// user's own on a later start.
bool createExclusively(const QString& path, const QByteArray& bytes) {
    const QByteArray name = QFile::encodeName(path);
    const int fd =
        ::open(name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (fd < 0)
        return false;
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t n =
            ::write(fd, bytes.constData() + done, static_cast<size_t>(bytes.size() - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        done += n;
    }
    const bool written = ::close(fd) == 0 && done == bytes.size();
    if (!written)
        ::unlink(name.constData());
    return written;
}

void writeEmbeddedFiles(const QString& folder, const std::vector<EmbeddedLanguageFile>& embedded) {
    for (const EmbeddedLanguageFile& file : embedded) {
        QFile resource(file.resourcePath);
        if (resource.open(QIODevice::ReadOnly))
            createExclusively(folder + file.fileName, resource.readAll());
    }
}

// The built-in file that fills in the keys a language file lacks, by language file. A folder
// written by an older program lacks the keys added since; they are taken from the built-in file
// of the same language, in memory, so that no text the user changed is ever touched.
class FallbackFiles {
public:
    void set(const QString& languageFile, const QString& builtIn) {
        std::lock_guard<std::mutex> lock(mutex_);
        if (builtIn.isEmpty())
            files_.erase(languageFile);
        else
            files_[languageFile] = builtIn;
    }
    QString of(const QString& languageFile) {
        std::lock_guard<std::mutex> lock(mutex_);
        const auto found = files_.find(languageFile);
        return found == files_.end() ? QString() : found->second;
    }

private:
    std::mutex mutex_;
    std::map<QString, QString> files_;
};

FallbackFiles& fallbackFiles() {
    static FallbackFiles files;
    return files;
}

QString builtInFileOf(const QString& language, const std::vector<EmbeddedLanguageFile>& embedded) {
    for (const EmbeddedLanguageFile& file : embedded) {
        if (declaredLanguage(file.resourcePath) == language)
            return file.resourcePath;
    }
    return {};
}

std::optional<QString> stringValue(const QString& file, const QString& key) {
    const std::shared_ptr<const LanguageTexts> texts = LanguageTexts::of(file);
    const QString section = QStringLiteral("String");
    if (!texts->contains(section, key))
        return std::nullopt;
    return texts->value(section, key, QString(), kLanguageBufferSize);
}

}  // namespace

const std::vector<EmbeddedLanguageFile>& embeddedLanguageFiles() {
    static const std::vector<EmbeddedLanguageFile> files = {
        {QStringLiteral("zh_TW.ini"), QStringLiteral(":/lang/zh_TW.ini")},
        {QStringLiteral("zh_CN.ini"), QStringLiteral(":/lang/zh_CN.ini")},
        {QStringLiteral("en_US.ini"), QStringLiteral(":/lang/en_US.ini")},
    };
    return files;
}

QString LoadLanguage(const AppPaths& paths, const QString& name,
                     const std::vector<EmbeddedLanguageFile>& embedded) {
    QString wanted = name;
    if (wanted.isEmpty()) {
        wanted = PrivateProfile(paths.configFile)
                     .read(kSetting, kLanguage, kDefaultLanguage, kLanguageBufferSize);
    }

    const auto declaring = [&paths](const QString& language) {
        for (const QFileInfo& file : languageFileCandidates(paths.languageFolder)) {
            const QString declared = declaredLanguage(file.filePath());
            if (!declared.isEmpty() && declared == language)
                return file.filePath();
        }
        return QString();
    };
    QString current = declaring(wanted);
    if (current.isEmpty()) {
        // A configuration written before the first start (a lab's set-up, vornex-cli) names a
        // built-in language whose file is not there yet.
        writeEmbeddedFiles(paths.languageFolder, embedded);
        current = declaring(wanted);
    }
    if (current.isEmpty()) {
        current = paths.languageFolder + QStringLiteral("zh_CN.ini");
        wanted = kDefaultLanguage;
    }
    // A file that exists already is the user's: it is used as it is.
    IniDocument stamped;
    stamped.setValue(kSetting, kLanguage, wanted);
    createExclusively(current, stamped.toBytes());
    fallbackFiles().set(current, builtInFileOf(wanted, embedded));
    return current;
}

QString GetLangString(const QString& languageFile, const QString& key) {
    return langStringOr(languageFile, key, QStringLiteral("Not Found"));
}

QString langStringOr(const QString& languageFile, const QString& key, const QString& fallback) {
    std::optional<QString> text = stringValue(languageFile, key);
    if (!text) {
        const QString builtIn = fallbackFiles().of(languageFile);
        if (!builtIn.isEmpty())
            text = stringValue(builtIn, key);
    }
    QString found = text.value_or(fallback);
    return found.replace(QStringLiteral("\\n"), QStringLiteral("\n"));
}

namespace {
std::mutex currentMutex;
QString& currentFile() {
    static QString file;
    return file;
}
}  // namespace

void setCurrentLanguageFile(const QString& languageFile) {
    std::lock_guard<std::mutex> lock(currentMutex);
    currentFile() = languageFile;
}

QString currentLanguageFile() {
    std::lock_guard<std::mutex> lock(currentMutex);
    return currentFile();
}

QString declaredLanguage(const QString& languageFile, int bufferSize) {
    return LanguageTexts::of(languageFile)->value(kSetting, kLanguage, QString(), bufferSize);
}

}  // namespace vornex
