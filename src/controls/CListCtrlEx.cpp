#include "controls/CListCtrlEx.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScrollBar>

#include "controls/CComboItem.h"
#include "controls/CEditItem.h"

namespace vornex {

CListCtrlEx::CListCtrlEx(QWidget* parent) : QTableWidget(parent) {
    setShowGrid(true);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    verticalHeader()->hide();
    horizontalHeader()->setHighlightSections(false);
}

void CListCtrlEx::InsertColumn(int column, const QString& heading, Qt::Alignment format,
                               int width) {
    column = std::clamp(column, 0, columnCount());
    insertColumn(column);
    auto* header = new QTableWidgetItem(heading);
    header->setTextAlignment(format | Qt::AlignVCenter);
    setHorizontalHeaderItem(column, header);
    setColumnWidth(column, width);
}

int CListCtrlEx::InsertItem(int row, const QString& text) {
    row = std::clamp(row, 0, rowCount());
    insertRow(row);
    SetItemText(row, 0, text);
    return row;
}

void CListCtrlEx::DeleteItem(int row) {
    if (row >= 0 && row < rowCount()) {
        removeRow(row);
    }
}

void CListCtrlEx::SetItemText(int row, int column, const QString& text) {
    if (row < 0 || row >= rowCount() || column < 0 || column >= columnCount()) {
        return;
    }
    QTableWidgetItem* cell = item(row, column);
    if (!cell) {
        cell = new QTableWidgetItem;
        cell->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled);
        cell->setTextAlignment(columnFormat(column) | Qt::AlignVCenter);
        setItem(row, column, cell);
    }
    cell->setText(text);
}

QString CListCtrlEx::GetItemText(int row, int column) const {
    const QTableWidgetItem* cell = item(row, column);
    return cell ? cell->text() : QString();
}

Qt::Alignment CListCtrlEx::columnFormat(int column) const {
    const QTableWidgetItem* header = horizontalHeaderItem(column);
    const Qt::Alignment format =
        header ? Qt::Alignment(header->textAlignment()) & Qt::AlignHorizontal_Mask : Qt::AlignLeft;
    if (format == Qt::AlignLeft || format == Qt::AlignRight) {
        return format;
    }
    return Qt::AlignHCenter;
}

void CListCtrlEx::mousePressEvent(QMouseEvent* event) {
    // Taking the focus ends (and commits) an editor that is still open before a new one opens.
    if (!hasFocus()) {
        setFocus(Qt::MouseFocusReason);
    }
    QTableWidget::mousePressEvent(event);
    if (event->button() != Qt::LeftButton) {
        return;
    }
    const QModelIndex index = indexAt(event->position().toPoint());
    if (index.isValid() && (index.column() == 0 || editableColumns_.contains(index.column()))) {
        openEditor(index.row(), index.column());
    }
}

void CListCtrlEx::openEditor(int row, int column) {
    const QModelIndex index = model()->index(row, column);
    if (!index.isValid()) {
        return;
    }
    scrollTo(index);
    // The first column's cell bounds, and so its editor, span the whole row.
    QRect bounds(columnViewportPosition(column), rowViewportPosition(row),
                 column == 0 ? horizontalHeader()->length() : columnWidth(column), rowHeight(row));
    if (bounds.left() < 0 || bounds.left() > viewport()->width()) {
        horizontalScrollBar()->setValue(horizontalScrollBar()->value() + bounds.left());
        bounds.moveLeft(0);
    }
    // Rows inserted or removed while the editor is open move the cell; the commit follows it,
    // and is dropped when the cell's row itself is gone.
    auto commit = [this, cell = QPersistentModelIndex(index)](const QString& text, bool cancelled) {
        endLabelEdit(cell, text, cancelled);
    };
    if (const int dropDown = columnPredicate_ ? columnPredicate_(column) : 0;
        dropDown == 1 || dropDown == 2) {
        auto* combo = new CComboItem(choiceSource_ ? choiceSource_() : choices_,
                                     GetItemText(row, column), bounds, viewport(), dropDown == 2);
        connect(combo, &CComboItem::editFinished, this, commit);
        editor_ = combo;
        return;
    }
    auto* edit = new CEditItem(GetItemText(row, column), columnFormat(column), bounds, viewport());
    connect(edit, &CEditItem::editFinished, this, commit);
    editor_ = edit;
}

void CListCtrlEx::endLabelEdit(const QPersistentModelIndex& cell, const QString& text,
                               bool cancelled) {
    if (cancelled || !cell.isValid()) {
        return;
    }
    SetItemText(cell.row(), cell.column(), text);
    emit itemEdited(cell.row(), cell.column(), text);
}

void CListCtrlEx::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Delete) {
        const QModelIndexList rows = selectionModel()->selectedRows();
        if (!rows.isEmpty()) {
            emit deleteRequested(rows.front().row());
        }
        event->accept();
        return;
    }
    QTableWidget::keyPressEvent(event);
}

}  // namespace vornex
