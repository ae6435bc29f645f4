// Language files and config.ini are the user's to edit: any bytes, in any of the encodings the ini
// reader tells by byte-order mark. The input is the file. The parser must give it back byte for
// byte, its lookups must agree with each other (profile read, the cached language texts, the
// language lookup by path), and a value it writes must read back.
#include <QByteArray>
#include <QString>
#include <QStringList>

#include "FuzzSupport.h"
#include "config/IniDocument.h"
#include "config/PrivateProfile.h"
#include "i18n/Language.h"
#include "i18n/LanguageKeys.h"
#include "i18n/LanguageTexts.h"

using vornex::IniDocument;
using vornex::LanguageTexts;
using vornex::fuzz::check;

namespace {

const QString kSetting = QStringLiteral("Setting");
const QString kLanguage = QStringLiteral("Language");
const QString kString = QStringLiteral("String");

// What a profile read of the document gives.
QString profileRead(const IniDocument& doc, const QString& section, const QString& key) {
    return vornex::profileValue(doc.value(section, key), QStringLiteral("Not Found"),
                                vornex::kLanguageBufferSize);
}

// Case folding turns an unpaired UTF-16 surrogate into U+FFFD, which a comparison without regard
// to case does not: a name holding one is found by a profile read but not under its folded form.
// The program looks up plain ASCII names only, so such names are left out of the comparison.
bool replacedInFolding(const QString& foldedName) {
    return foldedName.contains(QChar::ReplacementCharacter);
}

void checkIndex(const IniDocument& doc, const LanguageTexts& texts) {
    const IniDocument::ValueIndex index = doc.index();
    for (auto section = index.constBegin(); section != index.constEnd(); ++section) {
        if (replacedInFolding(section.key()))
            continue;
        for (auto entry = section->constBegin(); entry != section->constEnd(); ++entry) {
            if (replacedInFolding(entry.key()))
                continue;
            check(doc.value(section.key(), entry.key()) == entry.value(),
                  "the index and a lookup find different values");
            check(texts.value(section.key(), entry.key(), QString(), vornex::kLanguageBufferSize) ==
                      profileRead(doc, section.key(), entry.key()),
                  "language texts and a profile read differ");
        }
    }
}

void checkLookupByPath(const QByteArray& bytes, const IniDocument& doc,
                       const LanguageTexts& texts) {
    const vornex::fuzz::MemoryFile file(reinterpret_cast<const uint8_t*>(bytes.constData()),
                                        static_cast<size_t>(bytes.size()));
    const QString path = QString::fromStdString(file.path());
    check(vornex::PrivateProfile(path).read(kSetting, kLanguage, QStringLiteral("Not Found"),
                                            vornex::kLanguageBufferSize) ==
              profileRead(doc, kSetting, kLanguage),
          "a profile read of the file differs from one of its bytes");
    check(vornex::declaredLanguage(path) ==
              texts.value(kSetting, kLanguage, QString(), vornex::kLanguageBufferSize),
          "the declared language differs from the texts' value");
    // The keys the file holds, and a few it may lack.
    QStringList names = doc.index().value(kString.toCaseFolded()).keys();
    names.removeIf(replacedInFolding);
    for (size_t i = 0; i < 4; ++i)
        names.append(QString::fromLatin1(vornex::kLanguageKeys[i]));
    for (const QString& name : names) {
        QString expected = profileRead(doc, kString, name);
        expected.replace(QStringLiteral("\\n"), QStringLiteral("\n"));
        check(vornex::GetLangString(path, name) == expected,
              "a language lookup differs from a profile read");
    }
}

void checkWrite(const IniDocument& original) {
    IniDocument doc = original;
    check(doc.setValue(kSetting, kLanguage, QStringLiteral("en_US")), "setValue refuses");
    const IniDocument back = IniDocument::fromBytes(doc.toBytes());
    check(back.value(kSetting, kLanguage) == QStringLiteral("en_US"),
          "a written value does not read back");
    check(back.toBytes() == doc.toBytes(), "a written document does not read back whole");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const IniDocument doc = IniDocument::fromBytes(bytes);
    check(doc.toBytes() == bytes, "the document does not give its bytes back");
    const LanguageTexts texts(bytes);
    checkIndex(doc, texts);
    checkLookupByPath(bytes, doc, texts);
    checkWrite(doc);
    return 0;
}
