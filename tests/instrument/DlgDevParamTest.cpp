#include <gtest/gtest.h>

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "LineFixture.h"
#include "MessageRecorder.h"
#include "instrument/CDlgDevParam.h"
#include "link/ModbusLink.h"

namespace vornex {
namespace {

const QString kEnglish = QStringLiteral(VORNEX_LANG_DIR "/en_US.ini");

class DlgDevParamTest : public test::LineFixture {
protected:
    void SetUp() override {
        startLine({sim::InstrumentConfig{}});
        sim::KeypadChange change;
        change.unit = 2;
        change.target = 50000;
        line->changeOnKeypad(1, change);
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
    QString text(const char* edit) { return control<QLineEdit>(edit)->text(); }
    regmap::Settings committed() const { return *line->parameterSet(1, 0); }

    test::MessageRecorder messages;
    std::unique_ptr<CDlgDevParam> dialog;
};

TEST_F(DlgDevParamTest, ConnectShowsTheParameterSet) {
    EXPECT_EQ(control<QComboBox>("slave")->currentText(), "Slave_1");
    EXPECT_EQ(text("range"), "500.0");
    EXPECT_EQ(text("target"), "500.0");
    click("connect");
    ASSERT_TRUE(dialog->isConnected());
    EXPECT_EQ(control<QPushButton>("connect")->text(), "Disconnect");
    EXPECT_FALSE(control<QComboBox>("port")->isEnabled());
    EXPECT_EQ(control<QComboBox>("unit")->currentText(), "kgf.cm");
    EXPECT_EQ(text("target"), "5098.5");
    EXPECT_EQ(control<QComboBox>("mode")->currentText(), "Mode_0");

    // A unit chosen from the list rewrites the block with the same raw target.
    QComboBox* unit = control<QComboBox>("unit");
    unit->setFocus();
    QTest::keyClick(unit, Qt::Key_Down);
    EXPECT_EQ(committed().unit, 3);
    EXPECT_EQ(committed().target, 50000u);
    EXPECT_EQ(text("target"), "368.780");

    click("connect");
    EXPECT_FALSE(dialog->isConnected());
    EXPECT_EQ(control<QPushButton>("connect")->text(), "Connect");
    EXPECT_TRUE(control<QComboBox>("port")->isEnabled());
    EXPECT_TRUE(messages.messages.empty());
}

TEST_F(DlgDevParamTest, SetWritesWhatWasTyped) {
    click("connect");
    QComboBox* unit = control<QComboBox>("unit");
    unit->setFocus();
    QTest::keyClick(unit, Qt::Key_Up);
    ASSERT_EQ(committed().unit, 1);
    type("target", "123.45");
    type("upper", "2.3");
    type("lower", "2.5");
    QTest::keyClick(control<QLineEdit>("lower"), Qt::Key_Return);
    EXPECT_EQ(committed().target, 12344u);
    EXPECT_EQ(committed().lowerLimit, 25);
    EXPECT_TRUE(messages.messages.empty());
}

TEST_F(DlgDevParamTest, RefusedSetShowsTheFixedMessage) {
    click("connect");
    // The shown 5098.5 kgf.cm is larger than the range as typed.
    click("set");
    type("target", "300");
    type("upper", "30");
    click("set");
    ASSERT_EQ(messages.messages.size(), 2u);
    for (const MessageRecord& m : messages.messages) {
        EXPECT_EQ(m.text, QString::fromUtf8("目标值或上下限设置错误！"));
        EXPECT_EQ(m.caption, QString::fromUtf8("提示"));
    }
    EXPECT_EQ(committed().target, 50000u);
    EXPECT_EQ(committed().upperLimit, 50);
}

TEST_F(DlgDevParamTest, ConnectFailsWhileThePortIsHeld) {
    ModbusLink panel;
    ASSERT_EQ(panel.open(linkPath), OpenResult::Opened);
    click("connect");
    EXPECT_FALSE(dialog->isConnected());
    ASSERT_EQ(messages.messages.size(), 1u);
    EXPECT_EQ(messages.messages[0].text.left(30), "The serial port cannot be open");
    EXPECT_EQ(messages.messages[0].caption, "Notice");
    EXPECT_EQ(control<QPushButton>("connect")->text(), "Connect");

    // Unconnected, Set and the lists change nothing on the instrument.
    panel.close();
    const uint64_t frames = line->counters().frames;
    click("set");
    control<QComboBox>("unit")->setFocus();
    QTest::keyClick(control<QComboBox>("unit"), Qt::Key_Down);
    EXPECT_EQ(line->counters().frames, frames);

    control<QComboBox>("slave")->setCurrentIndex(5);
    click("connect");
    ASSERT_EQ(messages.messages.size(), 2u);
    EXPECT_TRUE(messages.messages[1].text.startsWith("Communication with the instrument failed"));
}

TEST_F(DlgDevParamTest, ClosingReleasesThePort) {
    click("connect");
    ASSERT_TRUE(dialog->isConnected());
    dialog.reset();
    ModbusLink other;
    EXPECT_EQ(other.open(linkPath), OpenResult::Opened);
}

}  // namespace
}  // namespace vornex
