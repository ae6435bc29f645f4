#include <gtest/gtest.h>

#include <QRandomGenerator>

#include "Files.h"
#include "TempDir.h"
#include "config/PrivateProfile.h"
#include "i18n/LanguageTexts.h"

namespace vornex {
namespace {

using test::readFile;
using test::writeFile;

class PrivateProfileTest : public ::testing::Test {
protected:
    QString path(const QString& name = QStringLiteral("p.ini")) const { return dir_.qFile(name); }
    QString read(const QString& section, const QString& key, int bufferSize = 1000) const {
        return PrivateProfile(path()).read(section, key, QStringLiteral("DEF"), bufferSize);
    }

    test::TempDir dir_;
};

TEST_F(PrivateProfileTest, ReadsLikeTheProfileFunctions) {
    writeFile(path(),
              "; comment=not a key\n"
              "stray=outside any section\n"
              "[Setting]\n"
              "  LANGUAGE  =   zh_TW   \n"
              "language=second\n"
              "Quoted=\"  padded  \"\n"
              "Single='x'\n"
              "Mixed=\"x'\n"
              "Lone=\"\n"
              "NoEquals\n"
              "Empty=\n"
              "[ setting ]\n"
              "Other=from the second section\n"
              "[S]\n"
              "K=ab\xF0\x9F\x98\x80"
              "c\n"
              "[Long]\n"
              "Text=" +
                  QByteArray(1500, 'a') + "\n");

    EXPECT_EQ(read("setting", "Language"), "zh_TW");
    EXPECT_EQ(read("Setting", "Quoted"), "  padded  ");
    EXPECT_EQ(read("Setting", "Single"), "x");
    EXPECT_EQ(read("Setting", "Mixed"), "\"x'");
    EXPECT_EQ(read("Setting", "Lone"), "\"");
    EXPECT_EQ(read("Setting", "Empty"), "");
    EXPECT_EQ(read("Setting", "NoEquals"), "DEF");
    EXPECT_EQ(read("Setting", "stray"), "DEF");
    EXPECT_EQ(read("Setting", "; comment"), "DEF");
    // Only the first section of a name is searched.
    EXPECT_EQ(read("Setting", "Other"), "DEF");
    EXPECT_EQ(read("Missing", "Language"), "DEF");
    EXPECT_EQ(read("Long", "Text").size(), 999);
    EXPECT_EQ(read("Long", "Text", 100).size(), 99);
    EXPECT_EQ(read("Setting", "Language", 3), "zh");
    // A cut never splits a character outside the basic plane.
    EXPECT_EQ(read("S", "K", 4), "ab");
    EXPECT_EQ(read("S", "K", 5), QStringLiteral("ab\U0001F600"));
    EXPECT_EQ(PrivateProfile(path("absent.ini")).read("Setting", "Language", "zh_CN", 1000),
              "zh_CN");

    // Language lookups serve the same values from memory.
    const auto texts = LanguageTexts::of(path());
    for (const char* key : {"Language", "Quoted", "Single", "Mixed", "Lone", "Empty", "NoEquals",
                            "stray", "; comment", "Other"}) {
        EXPECT_EQ(texts->value("SETTING", key, "DEF", 1000), read("Setting", key)) << key;
    }
    EXPECT_EQ(texts->value("long", "TEXT", "DEF", 100), read("Long", "Text", 100));
    EXPECT_EQ(texts->value("Missing", "Language", "DEF", 1000), "DEF");
    EXPECT_EQ(LanguageTexts::of(path("absent.ini"))->value("Setting", "Language", "DEF", 1000),
              "DEF");
}

TEST_F(PrivateProfileTest, WriteChangesOneLineKeepsTheRestAndRefusesWhatWouldBreakTheFile) {
    const QByteArray original =
        "; settings\r\n"
        "[Setting]\r\n"
        "Language = en_US ; trailing text stays part of the value\r\n"
        "Other=1\r\n"
        "\r\n"
        "[String]\r\n"
        "A=b";
    writeFile(path(), original);
    ASSERT_TRUE(PrivateProfile(path()).write("SETTING", "language", "zh_CN"));
    ASSERT_TRUE(PrivateProfile(path()).write("Setting", "New", "v"));
    ASSERT_TRUE(PrivateProfile(path()).write("String", "C", "d"));
    ASSERT_TRUE(PrivateProfile(path()).write("Added", "K", "x y"));
    EXPECT_EQ(readFile(path()),
              "; settings\r\n"
              "[Setting]\r\n"
              "Language=zh_CN\r\n"
              "Other=1\r\n"
              "New=v\r\n"
              "\r\n"
              "[String]\r\n"
              "A=b\r\n"
              "C=d\r\n"
              "\r\n"
              "[Added]\r\n"
              "K=x y\r\n");

    // A new file is UTF-8; refused entries leave a file alone.
    const QString fresh = path("new.ini");
    ASSERT_TRUE(PrivateProfile(fresh).write("Setting", "Language", QStringLiteral("简体")));
    const QByteArray written = QStringLiteral("[Setting]\nLanguage=简体\n").toUtf8();
    EXPECT_EQ(readFile(fresh), written);
    EXPECT_FALSE(PrivateProfile(fresh).write("Setting", "Language", "a\nb"));
    EXPECT_FALSE(PrivateProfile(fresh).write("Setting", "K=V", "x"));
    EXPECT_FALSE(PrivateProfile(fresh).write("Set]ting", "K", "x"));
    EXPECT_FALSE(PrivateProfile(fresh).write("Setting", "[Other]", "x"));
    EXPECT_EQ(readFile(fresh), written);
    EXPECT_FALSE(PrivateProfile(dir_.qFile("no/such/folder.ini")).write("S", "K", "V"));
}

TEST_F(PrivateProfileTest, EveryEncodingReadsAndKeepsItsFormOnWrite) {
    using Form = QByteArray (*)(const QString&);
    const std::pair<const char*, Form> forms[] = {
        {"utf8", [](const QString& t) { return t.toUtf8(); }},
        {"utf8 bom", [](const QString& t) { return "\xEF\xBB\xBF" + t.toUtf8(); }},
        {"utf16 le", test::utf16le},
        {"utf16 be", test::utf16be},
        {"utf8 lf", [](const QString& t) { return QString(t).remove('\r').toUtf8(); }},
    };
    const QString text = QStringLiteral("[Setting]\r\nLanguage=繁體中文\r\n[String]\r\nK=v\r\n");
    QString expected = text;
    expected.replace(QStringLiteral("繁體中文"), QStringLiteral("简体"));
    expected += QStringLiteral("New=值\r\n");
    for (const auto& [name, form] : forms) {
        SCOPED_TRACE(name);
        writeFile(path(), form(text));
        EXPECT_EQ(read("Setting", "Language"), QStringLiteral("繁體中文"));
        ASSERT_TRUE(PrivateProfile(path()).write("Setting", "Language", QStringLiteral("简体")));
        ASSERT_TRUE(PrivateProfile(path()).write("String", "New", QStringLiteral("值")));
        EXPECT_EQ(read("Setting", "Language"), QStringLiteral("简体"));
        EXPECT_EQ(read("String", "New"), QStringLiteral("值"));
        EXPECT_EQ(read("String", "K"), "v");
        EXPECT_EQ(readFile(path()), form(expected));
    }
}

TEST_F(PrivateProfileTest, HostileFilesNeitherCrashNorLoseBytes) {
    QByteArray binary(256 * 1024, '\0');
    QRandomGenerator random(7);
    for (char& byte : binary)
        byte = static_cast<char>(random.bounded(256));
    const QByteArray endless = "[A]\nk=v\n" + QByteArray(10 * 1024 * 1024, 'x');
    const QByteArray unsectioned = "k=v\n=\n[\n]\n[]\nnot an entry\n";
    const QByteArray oddUtf16 = test::utf16le("[A]\nk=v\n") + "\x41";

    for (const QByteArray& bytes : {binary, endless, unsectioned, oddUtf16}) {
        writeFile(path(), bytes);
        EXPECT_EQ(read("Missing", "k"), "DEF");
        ASSERT_TRUE(PrivateProfile(path()).write("Setting", "Language", "en_US"));
        const QByteArray written = readFile(path());
        if (bytes == oddUtf16) {
            // The stray byte stays last, behind the added lines.
            EXPECT_TRUE(written.startsWith(bytes.chopped(1)));
            EXPECT_TRUE(written.endsWith('\x41'));
        } else {
            EXPECT_TRUE(written.startsWith(bytes));
        }
        EXPECT_EQ(read("Setting", "Language"), "en_US");
    }

    writeFile(path(), endless);
    EXPECT_EQ(read("A", "k"), "v");
    ASSERT_TRUE(PrivateProfile(path()).write("A", "k", "w"));
    EXPECT_EQ(readFile(path()), "[A]\nk=w\n" + QByteArray(10 * 1024 * 1024, 'x'));
}

}  // namespace
}  // namespace vornex
