#include <gtest/gtest.h>
#include <unistd.h>

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QWheelEvent>

#include "Files.h"
#include "LineFixture.h"
#include "MessageRecorder.h"
#include "TempDir.h"
#include "i18n/Language.h"
#include "i18n/LanguageKeys.h"
#include "instrument/CDlgDevParam.h"
#include "link/ModbusLink.h"

namespace vornex {
namespace {

const QString kEnglish = QStringLiteral(VORNEX_LANG_DIR "/en_US.ini");

class DlgDevParamTest : public test::LineFixture {
protected:
    void SetUp() override {
        startLine({sim::InstrumentConfig{}});
        line->changeOnKeypad(1, test::unitChange(2, 50000));
        dialog =
            std::make_unique<CDlgDevParam>(kEnglish, QStringList{QString::fromStdString(linkPath)});
        dialog->show();
    }

    template <typename W>
    W* control(const char* name) {
        return dialog->findChild<W*>(QString::fromLatin1(name));
    }
    void click(const char* button) {
        QTest::mouseClick(control<QPushButton>(button), Qt::LeftButton);
    }
    void type(const char* edit, const QString& text) {
        control<QLineEdit>(edit)->clear();
        QTest::keyClicks(control<QLineEdit>(edit), text);
    }
    // Steps the unit list with the keyboard, as a choice from it.
    void stepUnit(Qt::Key key) {
        control<QComboBox>("unit")->setFocus();
        QTest::keyClick(control<QComboBox>("unit"), key);
    }
    QString text(const char* edit) { return control<QLineEdit>(edit)->text(); }
    regmap::Settings committed() const { return *line->parameterSet(1, 0); }

    test::MessageRecorder messages;
    std::unique_ptr<CDlgDevParam> dialog;
};

// The refusal speaks the window's language; a language file without its words gives the fixed
// Chinese ones.
// Before Connect nothing shows a figure nobody read, and the dialog opens on the port asked for.
TEST(DlgDevParamOpening, NoFigureBeforeConnectAndThePortAskedFor) {
    CDlgDevParam dialog(kEnglish, {"/dev/ttyS0", "/dev/ttyUSB0"});
    for (const char* name : {"range", "target", "upper", "lower"})
        EXPECT_EQ(dialog.findChild<QLineEdit*>(name)->text(), "") << name;
    dialog.selectPort("/dev/ttyUSB0");
    EXPECT_EQ(dialog.findChild<QComboBox*>("port")->currentText(), "/dev/ttyUSB0");
    dialog.selectPort("/dev/nowhere");
    EXPECT_EQ(dialog.findChild<QComboBox*>("port")->currentText(), "/dev/ttyUSB0");
}

TEST_F(DlgDevParamTest, RefusedSetShowsTheFixedMessage) {
    click("connect");
    // 5100 kgf.cm is 500.15 N.m, above the range.
    type("target", "5100");
    click("set");
    type("target", "300");
    type("upper", "30");
    click("set");
    ASSERT_EQ(messages.messages.size(), 2u);
    for (const MessageRecord& m : messages.messages) {
        EXPECT_TRUE(m.text.startsWith("Target or limits out of range!"));
        EXPECT_EQ(m.caption, "Notice");
    }
    EXPECT_TRUE(messages.messages[0].text.endsWith("662.8 to 4843.6 kgf.cm; limits 0.0 to 25.5 %."))
        << messages.messages[0].text.toStdString();

    // A letter typed is refused in the message line, with no box; the keys after it land.
    type("target", "3x00");
    EXPECT_EQ(text("target"), "300");
    EXPECT_EQ(control<QLabel>("status")->text(), "Numbers only!");
    EXPECT_EQ(messages.messages.size(), 2u);

    // A field that is not wholly a number is refused as well, not read as its leading digits or 0.
    for (const char* upper : {"2-1", "1.2.3", ""}) {
        type("target", "3000");
        type("upper", upper);
        click("set");
    }
    EXPECT_EQ(messages.messages.size(), 5u);
    EXPECT_EQ(committed().target, 50000u);
    EXPECT_EQ(committed().upperLimit, 50);

    click("connect");
    test::TempDir folder;
    test::writeFile(folder.qFile("de.ini"), "[Setting]\nLanguage=de_DE\n");
    for (const QString& language :
         {folder.qFile("de.ini"), QStringLiteral(VORNEX_LANG_DIR "/zh_TW.ini")}) {
        CDlgDevParam other(language, QStringList{QString::fromStdString(linkPath)});
        other.show();
        QTest::mouseClick(other.findChild<QPushButton*>("connect"), Qt::LeftButton);
        ASSERT_TRUE(other.isConnected());
        other.findChild<QLineEdit*>("target")->setText("5100");
        QTest::mouseClick(other.findChild<QPushButton*>("set"), Qt::LeftButton);
    }
    ASSERT_EQ(messages.messages.size(), 7u);
    EXPECT_TRUE(messages.messages[5].text.startsWith(QStringLiteral("目标值或上下限设置错误！")));
    EXPECT_EQ(messages.messages[5].caption, QStringLiteral("提示"));
    EXPECT_TRUE(messages.messages[6].text.startsWith(QStringLiteral("目標值或上下限設定錯誤！")));
}

// A port held by the control panel's polling is named as such, with a way to free it that the
// modal dialog leaves open: close it first.
TEST_F(DlgDevParamTest, ConnectFailsWhileThePortIsHeld) {
    ModbusLink panel;
    ASSERT_EQ(panel.open(linkPath), OpenResult::Opened);
    click("connect");
    dialog->setPolledPort([this] { return QString::fromStdString(linkPath); });
    click("connect");
    EXPECT_FALSE(dialog->isConnected());
    ASSERT_EQ(messages.messages.size(), 2u);
    EXPECT_EQ(messages.messages[0].text.left(30), "The serial port cannot be open");
    EXPECT_EQ(messages.messages[0].caption, "Notice");
    EXPECT_EQ(messages.messages[1].text,
              "The control panel polls " + QString::fromStdString(linkPath) +
                  ".\nClose this window, press Disconnect on the control panel, then open this "
                  "window again.");
    for (const char* language : {"zh_CN", "zh_TW"}) {
        const QString text = GetLangString(QStringLiteral(VORNEX_LANG_DIR "/%1.ini").arg(language),
                                           QString::fromLatin1(langkey::kMessagePortPolled));
        EXPECT_TRUE(text.startsWith(QStringLiteral("控制面板"))) << language;
    }
    EXPECT_EQ(control<QPushButton>("connect")->text(), "Connect");

    // A port that takes a second master (a network gateway does) is refused all the same.
    panel.close();
    const uint64_t before = line->counters().frames;
    click("connect");
    EXPECT_FALSE(dialog->isConnected());
    ASSERT_EQ(messages.messages.size(), 3u);
    EXPECT_TRUE(messages.messages[2].text.startsWith("The control panel polls"));
    EXPECT_EQ(line->counters().frames, before);

    // Unconnected, Set and the lists change nothing on the instrument; Set says why.
    const uint64_t frames = line->counters().frames;
    click("set");
    stepUnit(Qt::Key_Down);
    EXPECT_EQ(line->counters().frames, frames);
    EXPECT_TRUE(control<QLabel>("status")->text().startsWith("Not connected"));

    dialog->setPolledPort({});
    control<QComboBox>("slave")->setCurrentIndex(5);
    click("connect");
    ASSERT_EQ(messages.messages.size(), 4u);
    EXPECT_TRUE(messages.messages[3].text.startsWith("Communication with the instrument failed"));
}

// The message names the remedy; the panel and the upload window take the same way.
TEST(DlgDevParamPort, APortTheUserMayNotOpenNamesTheDialoutGroup) {
    if (::geteuid() == 0)
        GTEST_SKIP() << "root may open any port";
    test::TempDir dir;
    QFile port(dir.qFile("locked"));
    ASSERT_TRUE(port.open(QIODevice::WriteOnly));
    port.close();
    ASSERT_TRUE(port.setPermissions(QFileDevice::Permissions()));
    test::MessageRecorder messages;
    CDlgDevParam dialog(kEnglish, QStringList{port.fileName()});
    dialog.show();
    QTest::mouseClick(dialog.findChild<QPushButton*>("connect"), Qt::LeftButton);
    ASSERT_EQ(messages.messages.size(), 1u);
    EXPECT_TRUE(messages.messages[0].text.contains("usermod -aG dialout"));
}

// A wheel notch over an unfocused list is no choice: nothing is written.
TEST_F(DlgDevParamTest, WheelOverTheListsWritesNothing) {
    click("connect");
    ASSERT_TRUE(dialog->isConnected());
    control<QPushButton>("set")->setFocus();
    line->log().clear();
    for (const char* name : {"mode", "unit", "measure"}) {
        QComboBox* list = control<QComboBox>(name);
        const int index = list->currentIndex();
        const QPoint at = list->rect().center();
        for (const int delta : {-120, 120}) {
            QWheelEvent wheel(at, list->mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton,
                              Qt::NoModifier, Qt::NoScrollPhase, false);
            QApplication::sendEvent(list, &wheel);
        }
        EXPECT_EQ(list->currentIndex(), index) << name;
    }
    EXPECT_EQ(line->log().size(), 0u);
    EXPECT_EQ(committed().unit, 2);
}

// After Set (the button or Return) the fields show what the instrument holds and the message line
// says it was read back. A block write that failed leaves the settings unknown; the next Set reads
// and shows them instead of failing for good, and the Set after that writes.
TEST_F(DlgDevParamTest, SetIsReadBackAndConfirmedInTheDialog) {
    click("connect");
    QLabel* status = control<QLabel>("status");
    EXPECT_EQ(status->text(), "");
    stepUnit(Qt::Key_Up);
    ASSERT_EQ(committed().unit, 1);
    type("target", "123.450");
    type("upper", "2.3");
    type("lower", "2.5");
    QTest::keyClick(control<QLineEdit>("lower"), Qt::Key_Return);
    EXPECT_EQ(committed().target, 12345u);
    EXPECT_EQ(committed().upperLimit, 23);
    EXPECT_EQ(committed().lowerLimit, 25);
    EXPECT_EQ(text("target"), "123.45");
    EXPECT_TRUE(status->text().startsWith("Written and read back")) << status->text().toStdString();
    EXPECT_TRUE(messages.messages.empty());

    line->faults().setIgnoreOnce(1, regmap::kHoldSettings);
    type("target", "100");
    click("set");
    ASSERT_EQ(messages.messages.size(), 1u);
    EXPECT_TRUE(messages.messages[0].text.startsWith("Communication with the instrument failed"));
    click("set");
    EXPECT_TRUE(status->text().startsWith("The settings were read again"));
    EXPECT_EQ(control<QComboBox>("unit")->currentText(), "N.m");
    EXPECT_FALSE(text("target").isEmpty());
    type("target", "200");
    click("set");
    EXPECT_TRUE(status->text().startsWith("Written and read back"));
    EXPECT_EQ(text("target"), "200.00");

    // Connect fails when the settings cannot be read, and leaves the link closed.
    click("connect");
    line->faults().setIgnoreOnce(1, regmap::kHoldSettings);
    click("connect");
    EXPECT_FALSE(dialog->isConnected());
    ASSERT_EQ(messages.messages.size(), 2u);
    EXPECT_TRUE(messages.messages[1].text.startsWith("Communication with the instrument failed"));
    ModbusLink other;
    EXPECT_EQ(other.open(linkPath), OpenResult::Opened);
}

// Connect shows the active set; an instrument that keeps its own settings: the fields show what it
// holds and the message line says it differs from what was written.
TEST_F(DlgDevParamTest, ConnectShowsTheSetAndAWriteTheInstrumentDidNotTakeIsSaid) {
    EXPECT_EQ(control<QComboBox>("slave")->currentText(), "Slave_1");
    click("connect");
    ASSERT_TRUE(dialog->isConnected());
    EXPECT_EQ(control<QPushButton>("connect")->text(), "Disconnect");
    EXPECT_FALSE(control<QComboBox>("port")->isEnabled());
    EXPECT_EQ(control<QComboBox>("mode")->currentText(), "Mode_0");
    EXPECT_EQ(control<QComboBox>("unit")->currentText(), "kgf.cm");
    EXPECT_EQ(text("target"), "5098.5");
    line->faults().setSettingsLocked(1, true);
    stepUnit(Qt::Key_Down);
    EXPECT_EQ(control<QComboBox>("unit")->currentText(), "kgf.cm");
    EXPECT_EQ(text("target"), "5098.5");
    EXPECT_TRUE(control<QLabel>("status")->text().startsWith("The instrument holds other values"));
    EXPECT_EQ(committed().unit, 2);
    EXPECT_TRUE(messages.messages.empty());
    click("connect");
    EXPECT_FALSE(dialog->isConnected());
    EXPECT_TRUE(control<QComboBox>("port")->isEnabled());

    // Closed while connected, the dialog releases the port.
    click("connect");
    dialog.reset();
    ModbusLink other;
    EXPECT_EQ(other.open(linkPath), OpenResult::Opened);
}

}  // namespace
}  // namespace vornex
