#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QSignalSpy>
#include <QTest>
#include <QToolTip>

#include "MessageRecorder.h"
#include "controls/CNFEdit.h"

namespace vornex {
namespace {

// A refusal is a tip at the field, never a box: the field keeps the focus and the keys.
class NFEditTest : public ::testing::Test {
protected:
    void SetUp() override {
        edit.show();
        edit.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&edit));
    }
    void expectNumbersOnly(int count) {
        ASSERT_EQ(refusals.count(), count);
        for (const QList<QVariant>& refusal : refusals)
            EXPECT_EQ(refusal.at(0).toString(), "Numbers only!");
        if (count > 0) {
            EXPECT_EQ(QToolTip::text(), "Numbers only!");
        }
        EXPECT_TRUE(recorder.messages.empty());
        EXPECT_TRUE(edit.hasFocus());
    }

    test::MessageRecorder recorder;
    CNFEdit edit;
    QSignalSpy refusals{&edit, &CNFEdit::refused};
};

// Only single characters are judged: points and minus signs may stand anywhere, editing keys
// edit, and every other character, and a paste, is refused with a message of its own.
TEST_F(NFEditTest, NumberCharactersAndEditingKeysPassEveryOtherCharacterIsRefused) {
    QTest::keyClicks(&edit, "1a2 .5,");
    QTest::keyClick(&edit, Qt::Key_E, Qt::ShiftModifier);
    EXPECT_EQ(edit.text(), "12.5");
    QTest::keyClicks(&edit, "-.");
    QTest::keyClick(&edit, Qt::Key_Backspace);
    QTest::keyClick(&edit, Qt::Key_Left);
    QTest::keyClick(&edit, Qt::Key_Delete);
    EXPECT_EQ(edit.text(), "12.5");
    expectNumbersOnly(4);

    // Input-method text is judged character by character.
    QInputMethodEvent commit;
    commit.setCommitString("1a2");
    QApplication::sendEvent(&edit, &commit);
    EXPECT_EQ(edit.text(), "12.512");
    expectNumbersOnly(5);

    // An X11 desktop sends Delete with the character U+007F and Ctrl+A with U+0001: editing keys,
    // not characters to judge.
    edit.setCursorPosition(0);
    QKeyEvent del(QEvent::KeyPress, Qt::Key_Delete, Qt::NoModifier, QStringLiteral("\x7f"));
    QApplication::sendEvent(&edit, &del);
    EXPECT_EQ(edit.text(), "2.512");
    QKeyEvent all(QEvent::KeyPress, Qt::Key_A, Qt::ControlModifier, QStringLiteral("\x01"));
    QApplication::sendEvent(&edit, &all);
    EXPECT_EQ(edit.selectedText(), "2.512");
    QTest::keyClicks(&edit, "7");
    EXPECT_EQ(edit.text(), "7");
    expectNumbersOnly(5);

    // Paste keys are refused like a character; text put in by the program is not judged.
    QGuiApplication::clipboard()->setText("123");
    QTest::keyClick(&edit, Qt::Key_V, Qt::ControlModifier);
    QTest::keyClick(&edit, Qt::Key_Insert, Qt::ShiftModifier);
    EXPECT_EQ(edit.text(), "7");
    expectNumbersOnly(7);
    edit.setText("500.0 kg");
    EXPECT_EQ(edit.text(), "500.0 kg");
    expectNumbersOnly(7);
}

}  // namespace
}  // namespace vornex
