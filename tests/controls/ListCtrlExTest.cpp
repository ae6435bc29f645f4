#include <gtest/gtest.h>

#include <QHeaderView>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>
#include <QVBoxLayout>

#include "Wait.h"
#include "controls/CComboItem.h"
#include "controls/CEditItem.h"
#include "controls/CListCtrlEx.h"

namespace vornex {
namespace {

// A device list as the control panel makes it: ID, Dev and S, centred, with two rows; and a
// line edit beside it to click on.
class ListCtrlExTest : public ::testing::Test {
protected:
    void SetUp() override {
        auto* layout = new QVBoxLayout(&window);
        list = new CListCtrlEx;
        other = new QLineEdit;
        layout->addWidget(list);
        layout->addWidget(other);
        window.resize(320, 240);
        window.show();
        window.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
        const int w = list->viewport()->width();
        list->InsertColumn(0, "ID", Qt::AlignCenter, w / 4);
        list->InsertColumn(1, "Dev", Qt::AlignCenter, 2 * w / 4);
        list->InsertColumn(2, "S", Qt::AlignCenter, w / 4);
        list->InsertItem(0, "5");
        list->InsertItem(1, "7");
    }

    QPoint cell(int row, int column) const {
        return list->visualRect(list->model()->index(row, column)).center();
    }
    void click(QPoint at) { QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at); }
    CEditItem* openEditor(int row) {
        click(cell(row, 0));
        auto* editor = qobject_cast<CEditItem*>(list->editor());
        EXPECT_NE(editor, nullptr);
        EXPECT_TRUE(editor && editor->hasFocus());
        return editor;
    }
    bool editorClosed() {
        return test::waitUntil([&] { return list->editor() == nullptr; });
    }
    // Opens a row's editor, types at the end and presses `key`; true once the editor closed.
    bool appendAndPress(int row, const QString& typed, Qt::Key key) {
        CEditItem* editor = openEditor(row);
        if (editor == nullptr)
            return false;
        QTest::keyClick(editor, Qt::Key_End);
        QTest::keyClicks(editor, typed);
        QTest::keyClick(editor, key);
        return editorClosed();
    }

    QWidget window;
    CListCtrlEx* list = nullptr;
    QLineEdit* other = nullptr;
};

TEST_F(ListCtrlExTest, EditorOpensOverTheRowOnlyFromColumnZero) {
    click(cell(0, 1));
    click(cell(1, 2));
    click(QPoint(5, list->visualRect(list->model()->index(1, 0)).bottom() + 20));
    EXPECT_EQ(list->editor(), nullptr);

    CEditItem* editor = openEditor(1);
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(editor->text(), "7");
    // The first column's cell bounds span the whole row.
    EXPECT_EQ(editor->geometry().left(), 0);
    EXPECT_EQ(editor->geometry().width(), list->horizontalHeader()->length());
    EXPECT_EQ(editor->geometry().top(), list->rowViewportPosition(1));
}

TEST_F(ListCtrlExTest, EscapeCancelsAndEnterOrLeavingTheEditorCommitsEvenAnEmptyText) {
    QSignalSpy edited(list, &CListCtrlEx::itemEdited);

    ASSERT_TRUE(appendAndPress(0, "9", Qt::Key_Escape));
    EXPECT_EQ(list->GetItemText(0, 0), "5");
    EXPECT_EQ(edited.count(), 0);

    ASSERT_TRUE(appendAndPress(0, "9", Qt::Key_Return));
    EXPECT_TRUE(list->hasFocus());
    EXPECT_EQ(list->GetItemText(0, 0), "59");
    ASSERT_EQ(edited.count(), 1);
    EXPECT_EQ(edited.at(0), (QList<QVariant>{0, 0, QString("59")}));
    EXPECT_EQ(list->GetItemCount(), 2);

    CEditItem* editor = openEditor(1);
    ASSERT_NE(editor, nullptr);
    QTest::keyClick(editor, Qt::Key_Delete);
    QTest::mouseClick(other, Qt::LeftButton);
    ASSERT_TRUE(editorClosed());
    EXPECT_EQ(list->GetItemText(1, 0), "");
    ASSERT_EQ(edited.count(), 2);
    EXPECT_EQ(edited.at(1), (QList<QVariant>{1, 0, QString("")}));

    // A click on another row commits the open editor before opening the next one.
    editor = openEditor(0);
    ASSERT_NE(editor, nullptr);
    QTest::keyClicks(editor, "3");
    CEditItem* next = openEditor(1);
    EXPECT_NE(next, editor);
    EXPECT_EQ(list->GetItemText(0, 0), "359");
    EXPECT_EQ(edited.count(), 3);
}

TEST_F(ListCtrlExTest, DeleteKeyAsksTheOwnerAndDeletesNothingItself) {
    QSignalSpy asked(list, &CListCtrlEx::deleteRequested);
    list->setFocus();
    QTest::keyClick(list, Qt::Key_Delete);
    EXPECT_EQ(asked.count(), 0);

    click(cell(1, 1));
    QTest::keyClick(list, Qt::Key_Delete);
    ASSERT_EQ(asked.count(), 1);
    EXPECT_EQ(asked.at(0).at(0).toInt(), 1);
    EXPECT_EQ(list->GetItemCount(), 2);

    // Inside the editor the key edits the text.
    CEditItem* editor = openEditor(0);
    ASSERT_NE(editor, nullptr);
    QTest::keyClick(editor, Qt::Key_Delete);
    EXPECT_EQ(editor->text(), "");
    EXPECT_EQ(asked.count(), 1);
}

TEST_F(ListCtrlExTest, AnEditFollowsItsRowWhenRowsAreRemovedMeanwhile) {
    QSignalSpy edited(list, &CListCtrlEx::itemEdited);
    list->InsertItem(2, "9");

    CEditItem* editor = openEditor(2);
    ASSERT_NE(editor, nullptr);
    QTest::keyClick(editor, Qt::Key_End);
    QTest::keyClicks(editor, "1");
    list->DeleteItem(0);
    QTest::keyClick(editor, Qt::Key_Return);
    ASSERT_TRUE(editorClosed());
    EXPECT_EQ(list->GetItemText(0, 0), "7");
    EXPECT_EQ(list->GetItemText(1, 0), "91");
    ASSERT_EQ(edited.count(), 1);
    EXPECT_EQ(edited.at(0), (QList<QVariant>{1, 0, QString("91")}));

    // The edited row itself removed: the edit has nowhere to go.
    editor = openEditor(1);
    ASSERT_NE(editor, nullptr);
    list->DeleteItem(1);
    QTest::keyClick(editor, Qt::Key_Return);
    ASSERT_TRUE(editorClosed());
    EXPECT_EQ(list->GetItemCount(), 1);
    EXPECT_EQ(list->GetItemText(0, 0), "7");
    EXPECT_EQ(edited.count(), 1);
}

TEST_F(ListCtrlExTest, MarkedColumnIsEditedWithTheChoiceList) {
    QSignalSpy edited(list, &CListCtrlEx::itemEdited);
    list->SetColumnPredicate([](int column) { return column == 0 ? 1 : 0; });
    list->SetChoiceList({"3", "5", "7"});

    // Escape keeps the entry; Return takes the one stepped to.
    for (const auto& [key, kept, edits] :
         {std::tuple{Qt::Key_Escape, "5", 0}, {Qt::Key_Return, "7", 1}}) {
        click(cell(0, 0));
        auto* combo = qobject_cast<CComboItem*>(list->editor());
        ASSERT_NE(combo, nullptr);
        EXPECT_EQ(combo->count(), 3);
        EXPECT_EQ(combo->currentText(), "5");
        QTest::keyClick(combo, Qt::Key_Down);
        QTest::keyClick(combo, key);
        ASSERT_TRUE(editorClosed());
        EXPECT_EQ(list->GetItemText(0, 0), kept);
        EXPECT_EQ(edited.count(), edits);
    }
}

}  // namespace
}  // namespace vornex
