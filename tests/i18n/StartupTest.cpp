#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>
#include <algorithm>
#include <cstdio>
#include <iterator>
#include <vector>

#include "Files.h"
#include "TempDir.h"
#include "config/HomeFolder.h"
#include "config/PrivateProfile.h"
#include "i18n/CertificateKeys.h"
#include "i18n/Language.h"
#include "i18n/LanguageKeys.h"
#include "i18n/RegisterKeys.h"
#include "i18n/SignKeys.h"
#include "i18n/SpcKeys.h"
#include "i18n/Startup.h"

namespace vornex {
namespace {

using test::readFile;
using test::writeFile;

QString languageFile(const QString& name, const QString& extra = QString()) {
    return QStringLiteral("[Setting]\nLanguage=%1\n[String]\n%2").arg(name, extra);
}

class StartupTest : public ::testing::Test {
protected:
    StartupTest() : paths_(AppPaths::forHome(dir_.qPath())) {}

    void makeLanguageFile(const QString& fileName, const QByteArray& bytes) const {
        writeFile(paths_.languageFolder + fileName, bytes);
    }

    test::TempDir dir_;
    AppPaths paths_;
};

TEST(HomeFolderTest, StrongestSourceWinsAndPathsAreAbsolute) {
    test::TempDir program;
    HomeFolderSources sources{"/opt/opt", "/opt/env", program.qPath(), "/opt/user"};
    EXPECT_EQ(resolveHomeFolder(sources), "/opt/opt");
    sources.homeOption.clear();
    EXPECT_EQ(resolveHomeFolder(sources), "/opt/env");
    sources.environment.clear();
    EXPECT_EQ(resolveHomeFolder(sources), program.qPath());
    ASSERT_TRUE(QDir(program.qPath()).mkdir("bin"));
    sources.programFolder = program.qFile("bin");
    EXPECT_EQ(resolveHomeFolder(sources), "/opt/user") << "an installed program";
    sources.programFolder = program.qFile("not-there");
    EXPECT_EQ(resolveHomeFolder(sources), "/opt/user");

    EXPECT_EQ(homeOption({"vornex", "--home", "/a b"}), "/a b");
    EXPECT_EQ(homeOption({"vornex", "--home=/c"}), "/c");
    EXPECT_EQ(homeOption({"vornex", "--home"}), "");
    EXPECT_EQ(homeOption({"vornex", "--homely", "/d"}), "");

    EXPECT_EQ(AppPaths::forHome("/").configFile, "/config.ini");
    EXPECT_EQ(AppPaths::forHome("/srv//bench/").dataFolder, "/srv/bench/Data/");
    EXPECT_EQ(AppPaths::forHome("rel").languageFolder, QDir::currentPath() + "/rel/Language/");
}

TEST_F(StartupTest, FirstStartWritesConfigFoldersAndTheThreeLanguageFiles) {
    EXPECT_TRUE(prepareHome(paths_).isEmpty());
    EXPECT_EQ(readFile(paths_.configFile), "[Setting]\nLanguage=zh_CN\n");
    EXPECT_TRUE(QFileInfo(paths_.dataFolder).isDir());

    const QString current = LoadLanguage(paths_, QString());
    EXPECT_EQ(current, paths_.languageFolder + "zh_CN.ini");
    for (const EmbeddedLanguageFile& file : embeddedLanguageFiles()) {
        EXPECT_EQ(readFile(paths_.languageFolder + file.fileName), readFile(file.resourcePath));
    }
    EXPECT_EQ(GetLangString(current, langkey::kMenuFile), QStringLiteral("测试(&T)"));

    // A nested home that does not exist yet is made with its parents. Without built-in files its
    // language file is a bare Chinese one, and texts are "Not Found".
    const AppPaths nested = AppPaths::forHome(dir_.qFile("a/b"));
    EXPECT_TRUE(prepareHome(nested).isEmpty());
    const QString bare = LoadLanguage(nested, QString(), {});
    EXPECT_EQ(readFile(bare), "[Setting]\nLanguage=zh_CN\n");
    EXPECT_EQ(GetLangString(bare, langkey::kMenuFile), "Not Found");
    EXPECT_EQ(QDir(nested.languageFolder).entryList(QDir::Files), QStringList{"zh_CN.ini"});
}

TEST_F(StartupTest, ExistingConfigAndFoldersAreLeftAlone) {
    const QByteArray config = "; mine\r\n[setting]\r\nlanguage = en_US\r\n";
    writeFile(paths_.configFile, config);
    QDir(paths_.home).mkdir("Data");
    writeFile(paths_.dataFolder + "keep.pdat", "12345");
    prepareHome(paths_);
    EXPECT_EQ(readFile(paths_.configFile), config);
    EXPECT_EQ(readFile(paths_.dataFolder + "keep.pdat"), "12345");

    // No English file yet: the built-in files are written first, so the configured language is
    // the one of the very first start, and the choice stays stored.
    EXPECT_EQ(LoadLanguage(paths_, QString()), paths_.languageFolder + "en_US.ini");
    EXPECT_EQ(PrivateProfile(paths_.configFile).read("Setting", "Language", "", 1000), "en_US");
    EXPECT_EQ(LoadLanguage(paths_, QString()), paths_.languageFolder + "en_US.ini");
}

TEST_F(StartupTest, MatchIsExactInAnyEncodingAndTheFirstFileByNameWins) {
    prepareHome(paths_);
    makeLanguageFile("b.ini", languageFile("fr_FR").toUtf8());
    makeLanguageFile("a.ini", languageFile("fr_FR").toUtf8());
    const QByteArray spaced = "[Setting]\r\nLanguage = fr_FR\r\n";
    makeLanguageFile("Z.INI", spaced);
    makeLanguageFile("0.txt", languageFile("fr_FR").toUtf8());
    QDir(paths_.languageFolder).mkdir("00.ini");
    makeLanguageFile("lower.ini", languageFile("zh_cn").toUtf8());
    EXPECT_EQ(LoadLanguage(paths_, "fr_FR"), paths_.languageFolder + "Z.INI");
    EXPECT_EQ(readFile(paths_.languageFolder + "Z.INI"), spaced);

    const QByteArray lower = readFile(paths_.languageFolder + "lower.ini");
    EXPECT_EQ(LoadLanguage(paths_, "zh_CN", {}), paths_.languageFolder + "zh_CN.ini");
    EXPECT_EQ(readFile(paths_.languageFolder + "lower.ini"), lower);

    // A UTF-16 file is found by the language it declares, and its texts are read.
    makeLanguageFile("x.ini", test::utf16le(languageFile(
                                  "de_DE", QStringLiteral("IDS_MESSAGE_TIP=提示\\n第二行\r\n"))));
    const QString current = LoadLanguage(paths_, "de_DE");
    EXPECT_EQ(current, paths_.languageFolder + "x.ini");
    EXPECT_EQ(GetLangString(current, langkey::kMessageTip), QStringLiteral("提示\n第二行"));
    EXPECT_TRUE(readFile(current).startsWith("\xFF\xFE"));
}

TEST_F(StartupTest, BuiltInFilesNeverReplaceUserFilesAndLookupsSeeFilesChangedOnDisk) {
    prepareHome(paths_);
    const QByteArray edited = languageFile("zh_TW", "IDS_MESSAGE_TIP=mine\n").toUtf8();
    makeLanguageFile("zh_TW.ini", edited);
    test::TempDir outside;
    const QString target = outside.qFile("elsewhere.ini");
    const QByteArray foreign = languageFile("xx_XX", "IDS_MESSAGE_TIP=outside\n").toUtf8();
    writeFile(target, foreign);
    ASSERT_TRUE(QFile::link(target, paths_.languageFolder + "zh_CN.ini"));
    ASSERT_TRUE(QFile::link(outside.qFile("new.ini"), paths_.languageFolder + "en_US.ini"));

    const QString current = LoadLanguage(paths_, "fr_FR");
    EXPECT_EQ(current, paths_.languageFolder + "zh_CN.ini");
    EXPECT_EQ(readFile(paths_.languageFolder + "zh_TW.ini"), edited);
    EXPECT_EQ(readFile(target), foreign);
    EXPECT_TRUE(QFileInfo(current).isSymLink());
    EXPECT_FALSE(QFileInfo::exists(outside.qFile("new.ini")));
    EXPECT_EQ(GetLangString(current, langkey::kMessageTip), "outside");

    // Lookups see the file changed on disk.
    const QString file = dir_.qFile("x.ini");
    writeFile(file, languageFile("de_DE", "IDS_MESSAGE_TIP=one\n").toUtf8());
    EXPECT_EQ(GetLangString(file, langkey::kMessageTip), "one");
    EXPECT_EQ(GetLangString(file, "IDS_NONE"), "Not Found");

    writeFile(file, languageFile("de_DE", "IDS_MESSAGE_TIP=three\n").toUtf8());
    EXPECT_EQ(GetLangString(file, langkey::kMessageTip), "three");
    // Another file of the same size put in its place.
    const QString other = dir_.qFile("y.ini");
    writeFile(other, languageFile("de_DE", "IDS_MESSAGE_TIP=fours\n").toUtf8());
    ASSERT_EQ(std::rename(other.toUtf8().constData(), file.toUtf8().constData()), 0);
    EXPECT_EQ(GetLangString(file, langkey::kMessageTip), "fours");
    EXPECT_EQ(declaredLanguage(file), "de_DE");
}

TEST(LanguageFilesTest, EveryFileTranslatesEveryKey) {
    const QString names[] = {"zh_TW", "zh_CN", "en_US"};
    ASSERT_EQ(embeddedLanguageFiles().size(), 3u);
    for (std::size_t i = 0; i < 3; ++i) {
        const QString file = embeddedLanguageFiles()[i].resourcePath;
        SCOPED_TRACE(file.toStdString());
        EXPECT_EQ(declaredLanguage(file), names[i]);
        std::vector<const char*> keys(std::begin(kLanguageKeys), std::end(kLanguageKeys));
        keys.insert(keys.end(), std::begin(langkey::kSignLanguageKeys),
                    std::end(langkey::kSignLanguageKeys));
        keys.insert(keys.end(), std::begin(langkey::kRegisterLanguageKeys),
                    std::end(langkey::kRegisterLanguageKeys));
        keys.insert(keys.end(), std::begin(langkey::kSpcLanguageKeys),
                    std::end(langkey::kSpcLanguageKeys));
        keys.insert(keys.end(), std::begin(langkey::kCertificateLanguageKeys),
                    std::end(langkey::kCertificateLanguageKeys));
        for (const char* key : keys) {
            const QString text = PrivateProfile(file).read("String", key, QString(), 1000);
            EXPECT_FALSE(text.isEmpty()) << key;
            const bool chinese = std::any_of(
                text.begin(), text.end(), [](QChar c) { return c.script() == QChar::Script_Han; });
            EXPECT_EQ(chinese, names[i] != "en_US") << key;
        }
    }
}

}  // namespace
}  // namespace vornex
