#include "controls/CEditItem.h"

#include <QFocusEvent>
#include <QFontMetrics>
#include <QKeyEvent>
#include <algorithm>

namespace vornex {

CEditItem::CEditItem(const QString& initialText, Qt::Alignment alignment, const QRect& rect,
                     QWidget* parent)
    : QLineEdit(parent) {
    setObjectName(QStringLiteral("CEditItem"));
    setProperty("controlId", kControlId);
    setFont(parent->font());
    setAlignment(alignment | Qt::AlignVCenter);
    setGeometry(rect);
    setText(initialText);
    show();
    setFocus(Qt::OtherFocusReason);
    deselect();
    setCursorPosition(0);
}

bool CEditItem::event(QEvent* e) {
    // These keys belong to the editor while it is open, before any shortcut of the window.
    if (e->type() == QEvent::ShortcutOverride) {
        auto* key = static_cast<QKeyEvent*>(e);
        const int k = key->key();
        if (k == Qt::Key_Return || k == Qt::Key_Enter || k == Qt::Key_Escape ||
            k == Qt::Key_Delete || (key->modifiers() & Qt::ControlModifier)) {
            e->accept();
            return true;
        }
    }
    return QLineEdit::event(e);
}

// The parent is the list's viewport, which passes the focus on to the list itself.
void CEditItem::handBackFocus() {
    parentWidget()->setFocus(Qt::OtherFocusReason);
}

void CEditItem::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
        case Qt::Key_Escape:
            escaped_ = true;
            event->accept();
            handBackFocus();
            return;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            event->accept();
            handBackFocus();
            return;
        default:
            QLineEdit::keyPressEvent(event);
            widenToText();
    }
}

void CEditItem::widenToText() {
    const int wanted = QFontMetrics(font()).horizontalAdvance(text()) + 5;
    if (width() >= wanted) {
        return;
    }
    const int limit = parentWidget()->width() - x();
    resize(std::max(width(), std::min(wanted, limit)), height());
}

void CEditItem::focusOutEvent(QFocusEvent* event) {
    QLineEdit::focusOutEvent(event);
    // A context menu of the editor borrows the focus without ending the edit.
    if (finished_ || event->reason() == Qt::PopupFocusReason) {
        return;
    }
    finished_ = true;
    emit editFinished(text(), escaped_);
    deleteLater();
}

}  // namespace vornex
