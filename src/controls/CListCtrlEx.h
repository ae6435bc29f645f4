#pragma once

#include <QPersistentModelIndex>
#include <QPointer>
#include <QStringList>
#include <QTableWidget>
#include <functional>

namespace vornex {

// A report-style list (grid lines, whole rows selected) whose first-column cells, and those of
// the other columns made editable, are edited in place: a click on one opens a CEditItem (over the
// whole row for the first column, over the cell for others), or a CComboItem with the choice list
// when the column predicate marks the column for a drop-down. A committed edit sets the cell and is
// reported through itemEdited. The Delete key is only reported through deleteRequested: the
// owner removes rows itself, so its own records and these rows stay in step.
class CListCtrlEx : public QTableWidget {
    Q_OBJECT

public:
    explicit CListCtrlEx(QWidget* parent = nullptr);

    // A column whose header, cell alignment and width are fixed here.
    void InsertColumn(int column, const QString& heading, Qt::Alignment format, int width);
    // Appends or inserts a row with text in column 0; returns its index.
    int InsertItem(int row, const QString& text);
    void DeleteItem(int row);
    void SetItemText(int row, int column, const QString& text);
    QString GetItemText(int row, int column) const;
    int GetItemCount() const { return rowCount(); }

    // Returns 1 for a column to be edited with a drop-down of the choice list, 2 for one that also
    // takes any text typed.
    using ColumnPredicate = std::function<int(int column)>;
    void SetColumnPredicate(ColumnPredicate predicate) { columnPredicate_ = std::move(predicate); }
    void SetChoiceList(const QStringList& choices) { choices_ = choices; }
    // The choices asked for each time a drop-down opens, in place of a fixed list: what they come
    // from may change while the list is shown.
    void SetChoiceSource(std::function<QStringList()> source) { choiceSource_ = std::move(source); }
    // Columns besides the first whose cells are edited in place.
    void SetEditableColumns(QList<int> columns) { editableColumns_ = std::move(columns); }

    // The open in-place editor (a CEditItem or a CComboItem), if any.
    QWidget* editor() const { return editor_; }

signals:
    // An in-place edit was committed: the cell now holds text.
    void itemEdited(int row, int column, const QString& text);
    // The Delete key was pressed while row was selected; the list itself deletes nothing.
    void deleteRequested(int row);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void openEditor(int row, int column);
    void endLabelEdit(const QPersistentModelIndex& cell, const QString& text, bool cancelled);
    Qt::Alignment columnFormat(int column) const;

    ColumnPredicate columnPredicate_;
    QStringList choices_;
    std::function<QStringList()> choiceSource_;
    QList<int> editableColumns_;
    QPointer<QWidget> editor_;
};

}  // namespace vornex
