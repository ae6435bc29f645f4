#include "controls/CComboItem.h"

#include <QFocusEvent>
#include <QKeyEvent>

namespace vornex {

CComboItem::CComboItem(const QStringList& choices, const QString& currentText, const QRect& rect,
                       QWidget* parent)
    : QComboBox(parent) {
    setObjectName(QStringLiteral("CComboItem"));
    setFont(parent->font());
    addItems(choices);
    setCurrentIndex(findText(currentText, Qt::MatchExactly));
    setGeometry(rect);
    show();
    setFocus(Qt::OtherFocusReason);
}

bool CComboItem::event(QEvent* e) {
    // Enter and Escape end the edit before any shortcut of the window sees them.
    if (e->type() == QEvent::ShortcutOverride) {
        const int k = static_cast<QKeyEvent*>(e)->key();
        if (k == Qt::Key_Return || k == Qt::Key_Enter || k == Qt::Key_Escape) {
            e->accept();
            return true;
        }
    }
    return QComboBox::event(e);
}

// The parent is the list's viewport, which passes the focus on to the list itself.
void CComboItem::handBackFocus() {
    parentWidget()->setFocus(Qt::OtherFocusReason);
}

void CComboItem::hidePopup() {
    QComboBox::hidePopup();
    handBackFocus();
}

void CComboItem::keyPressEvent(QKeyEvent* event) {
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
            QComboBox::keyPressEvent(event);
    }
}

void CComboItem::focusOutEvent(QFocusEvent* event) {
    QComboBox::focusOutEvent(event);
    // Its own drop-down takes the focus while it is open.
    if (finished_ || event->reason() == Qt::PopupFocusReason) {
        return;
    }
    finished_ = true;
    if (currentIndex() >= 0) {
        emit editFinished(currentText(), escaped_);
    }
    deleteLater();
}

}  // namespace vornex
