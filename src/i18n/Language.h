#pragma once

#include <QString>
#include <vector>

#include "config/AppPaths.h"

namespace vornex {

inline const QString kDefaultLanguage = QStringLiteral("zh_CN");

// Language files hold values of up to this many characters minus one.
inline constexpr int kLanguageBufferSize = 1000;

// A default language file carried inside the program, written out under fileName when the wanted
// language is not found in the language folder.
struct EmbeddedLanguageFile {
    QString fileName;
    QString resourcePath;
};

// The three default files, in the order they are written: Traditional Chinese, Simplified Chinese,
// English.
const std::vector<EmbeddedLanguageFile>& embeddedLanguageFiles();

// Finds the language file declaring the wanted name (the one stored in "config.ini" when the name
// is empty) and returns its full path. Candidates are the "*.ini" files of the language folder,
// tried in the order of their file names (plain character order, case-sensitive), so the same
// folder always gives the same answer; the name is matched exactly. Without a match the embedded
// defaults are written out, each only where no file of its name exists (a user's file or a link
// there is never written), and the folder's "zh_CN.ini" becomes current; when no such file exists
// it is created naming its language.
QString LoadLanguage(const AppPaths& paths, const QString& name,
                     const std::vector<EmbeddedLanguageFile>& embedded = embeddedLanguageFiles());

// The text of a key of section "String", "Not Found" when absent; each backslash-n in it becomes a
// line break. The file is read once and its texts served from memory until it changes on disk.
// A key that a file found by LoadLanguage lacks is taken from the built-in file of its language
// (the file stays as the user left it).
QString GetLangString(const QString& languageFile, const QString& key);

// As GetLangString, with `fallback` (given its line breaks as they are) for an absent key.
QString langStringOr(const QString& languageFile, const QString& key, const QString& fallback);

// The language file of the running program, for the few controls that are not given one: set by
// whoever switches the language, empty until then. Safe from any thread.
void setCurrentLanguageFile(const QString& languageFile);
QString currentLanguageFile();

// The language name a file declares in "Setting"/"Language", cut to bufferSize - 1 characters.
QString declaredLanguage(const QString& languageFile, int bufferSize = kLanguageBufferSize);

}  // namespace vornex
