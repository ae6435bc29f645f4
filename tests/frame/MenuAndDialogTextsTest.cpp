#include <gtest/gtest.h>

#include <QAction>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QKeySequence>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QVBoxLayout>
#include <set>

#include "Files.h"
#include "TempDir.h"
#include "config/PrivateProfile.h"
#include "controls/DialogTexts.h"
#include "frame/CommandIds.h"
#include "frame/LanguageSwitch.h"
#include "frame/MainMenu.h"
#include "i18n/Language.h"
#include "i18n/Startup.h"

namespace vornex {
namespace {

using test::writeFile;

QString itemText(const MainMenu& menu, int commandId) {
    return menu.action(commandId)->text();
}

TEST(DialogTextsTest, RetitlesNumberedControlsOnly) {
    test::TempDir dir;
    const QString file = dir.qFile("t.ini");
    writeFile(file, QStringLiteral("[String]\n"
                                   "IDD328_Title=Instrument Settings\n"
                                   "IDD328_1057=\n"
                                   "IDD328_2=Cancel\\nnow\n"
                                   "IDD328_-1=Limits\n"
                                   "IDD328_1042=Connect\n"
                                   "IDD328_1043=Range:\n")
                        .toUtf8());

    QDialog dialog;
    dialog.setWindowTitle(QStringLiteral("仪表参数"));
    const auto numbered = [](auto* control, int id) {
        setControlId(control, id);
        return control;
    };
    auto* set = numbered(new QPushButton(QStringLiteral("设置"), &dialog), 1057);
    auto* cancel = numbered(new QPushButton(QStringLiteral("取消"), &dialog), 2);
    auto* group = numbered(new QGroupBox(&dialog), -1);
    auto* connect = numbered(new QPushButton(QStringLiteral("连接"), group), 1042);
    auto* unnumbered = new QLabel(QStringLiteral("量 程:"), &dialog);
    auto* form = new QWidget(&dialog);
    form->setProperty(kDialogNumberProperty, 320);
    auto* inner = numbered(new QLabel(QStringLiteral("量 程:"), form), 1043);

    SetDialogTexts(file, &dialog, 328);
    EXPECT_EQ(dialog.windowTitle(), "Instrument Settings");
    EXPECT_EQ(set->text(), QStringLiteral("设置"));
    EXPECT_EQ(cancel->text(), "Cancel\\nnow");
    EXPECT_EQ(group->title(), "Limits");
    EXPECT_EQ(connect->text(), "Connect");
    EXPECT_EQ(unnumbered->text(), QStringLiteral("量 程:"));
    EXPECT_EQ(inner->text(), QStringLiteral("量 程:"));

    // The same value read as a message text becomes two lines.
    EXPECT_EQ(GetLangString(file, "IDD328_2"), "Cancel\nnow");
}

TEST(DialogTextsTest, MenuTextsBecomePlainTitles) {
    EXPECT_EQ(titleOfCommand("&Report..."), "Report");
    EXPECT_EQ(titleOfCommand(QStringLiteral("报告(&R)...")), QStringLiteral("报告"));
    EXPECT_EQ(titleOfCommand(QStringLiteral("打印(&P)…\tCtrl+P")), QStringLiteral("打印"));
    EXPECT_EQ(titleOfCommand("Save && Close"), "Save & Close");
}

// Within each drop-down a mnemonic letter leads to one item only, built in and in every language.
TEST(MenuMnemonicsTest, NoTwoItemsOfADropDownShareALetter) {
    QWidget window;
    MainMenu menu(&window);
    const auto expectDistinct = [&menu](const QString& language) {
        for (int position = 0; position < 4; ++position) {
            std::set<int> taken;
            for (const QAction* item : menu.dropDown(position)->actions()) {
                const int key = QKeySequence::mnemonic(item->text())[0].toCombined();
                EXPECT_TRUE(key == 0 || taken.insert(key).second)
                    << language.toStdString() << ": " << item->text().toStdString();
            }
        }
    };
    expectDistinct("built-in");
    for (const EmbeddedLanguageFile& file : embeddedLanguageFiles()) {
        UpdateMenuTexts(menu, file.resourcePath, false);
        expectDistinct(file.fileName);
    }
}

class LanguageSwitchTest : public ::testing::Test {
protected:
    LanguageSwitchTest() : paths_(AppPaths::forHome(dir_.qPath())), menu_(&window_) {
        prepareHome(paths_);
    }

    void setConfig(const QString& name) const {
        PrivateProfile(paths_.configFile).write("Setting", "Language", name);
    }
    std::unique_ptr<LanguageSwitch> start() {
        return std::make_unique<LanguageSwitch>(menu_, paths_, [this] { return testOpen_; });
    }

    test::TempDir dir_;
    AppPaths paths_;
    QWidget window_;
    MainMenu menu_;
    bool testOpen_ = false;
};

TEST_F(LanguageSwitchTest, StartupMarksAndRetitlesFromTheStoredLanguage) {
    auto languages = start();
    EXPECT_EQ(languages->currentCommand(), 0);
    EXPECT_EQ(menu_.markedLanguage(), command::kLanguageZhCN);
    EXPECT_EQ(itemText(menu_, command::kPrint), QStringLiteral("打印(&P)...\tCtrl+P"));
    QSignalSpy printed(menu_.action(command::kPrint), &QAction::triggered);
    window_.show();
    window_.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window_));
    QTest::keyClick(&window_, Qt::Key_P, Qt::ControlModifier);
    EXPECT_EQ(printed.count(), 1);

    setConfig("en_US");
    MainMenu english(&window_);
    LanguageSwitch englishSwitch(english, paths_, [] { return false; });
    EXPECT_EQ(english.markedLanguage(), command::kLanguageEnUS);
    EXPECT_EQ(english.dropDown(1)->title(), "&View");
    EXPECT_EQ(itemText(english, command::kLanguageZhTW), QStringLiteral("繁体中文"));
}

TEST_F(LanguageSwitchTest, ChoosingALanguageSwitchesOnceAndIsRememberedWhereItCanBe) {
    auto languages = start();
    QSignalSpy changed(languages.get(), &LanguageSwitch::languageChanged);

    // The marked language chosen first still runs the whole switch; a repeat does nothing.
    menu_.action(command::kLanguageZhCN)->trigger();
    menu_.action(command::kLanguageZhCN)->trigger();
    EXPECT_EQ(changed.count(), 1);
    EXPECT_EQ(languages->currentCommand(), command::kLanguageZhCN);

    menu_.action(command::kLanguageZhTW)->trigger();
    EXPECT_EQ(changed.count(), 2);
    EXPECT_EQ(changed.last().at(0).toString(), paths_.languageFolder + "zh_TW.ini");
    EXPECT_EQ(menu_.markedLanguage(), command::kLanguageZhTW);
    EXPECT_EQ(PrivateProfile(paths_.configFile).read("Setting", "Language", "", 1000), "zh_TW");
    EXPECT_EQ(menu_.dropDown(2)->title(), QStringLiteral("語言(&L)"));

    // The choice holds when the configuration cannot be written.
    QFile::remove(paths_.configFile);
    QDir().mkdir(paths_.configFile);
    languages->choose(command::kLanguageEnUS);
    EXPECT_EQ(languages->languageFile(), paths_.languageFolder + "en_US.ini");
    EXPECT_EQ(menu_.dropDown(0)->title(), "&Test");
}

TEST_F(LanguageSwitchTest, KeysMissingFromAnOlderFileComeFromTheBuiltInFileOfItsLanguage) {
    const QByteArray older = "[Setting]\nLanguage=zh_CN\n[String]\nIDS_MENU_HELP=mine\n";
    writeFile(paths_.languageFolder + "older.ini", older);
    auto languages = start();
    EXPECT_EQ(languages->languageFile(), paths_.languageFolder + "older.ini");
    EXPECT_EQ(menu_.dropDown(3)->title(), "mine");
    EXPECT_EQ(itemText(menu_, command::kExit), QStringLiteral("退出(&X)"));
    EXPECT_EQ(itemText(menu_, command::kLanguageZhCN), QStringLiteral("简体中文"));
    EXPECT_EQ(test::readFile(paths_.languageFolder + "older.ini"), older);

    // A language the program does not carry has nothing to fill in from.
    setConfig("de_DE");
    writeFile(paths_.languageFolder + "de.ini", "[Setting]\nLanguage=de_DE\n");
    languages = start();
    EXPECT_EQ(itemText(menu_, command::kExit), "Not Found");
}

}  // namespace
}  // namespace vornex
