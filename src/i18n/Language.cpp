#include "i18n/Language.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <algorithm>

#include "i18n/ProfileFile.h"

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

void writeEmbeddedFiles(const QString& folder, const std::vector<EmbeddedLanguageFile>& embedded) {
    for (const EmbeddedLanguageFile& file : embedded) {
        QFile resource(file.resourcePath);
        if (!resource.open(QIODevice::ReadOnly)) {
            continue;
        }
        const QByteArray bytes = resource.readAll();
        QSaveFile target(folder + file.fileName);
        target.setDirectWriteFallback(true);
        if (target.open(QIODevice::WriteOnly) && target.write(bytes) == bytes.size()) {
            target.commit();
        }
    }
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
        wanted = ProfileFile(paths.configFile)
                     .read(kSetting, kLanguage, kDefaultLanguage, kLanguageBufferSize);
    }

    QString current;
    for (const QFileInfo& file : languageFileCandidates(paths.languageFolder)) {
        const QString declared = declaredLanguage(file.filePath());
        if (!declared.isEmpty() && declared == wanted) {
            current = file.filePath();
            break;
        }
    }
    if (current.isEmpty()) {
        writeEmbeddedFiles(paths.languageFolder, embedded);
        current = paths.languageFolder + QStringLiteral("zh_CN.ini");
        wanted = kDefaultLanguage;
    }
    ProfileFile(current).write(kSetting, kLanguage, wanted);
    return current;
}

QString GetLangString(const QString& languageFile, const QString& key) {
    QString text =
        ProfileFile(languageFile)
            .read(QStringLiteral("String"), key, QStringLiteral("Not Found"), kLanguageBufferSize);
    return text.replace(QStringLiteral("\\n"), QStringLiteral("\n"));
}

QString declaredLanguage(const QString& languageFile, int bufferSize) {
    return ProfileFile(languageFile).read(kSetting, kLanguage, QString(), bufferSize);
}

}  // namespace vornex
