#include "controls/CEditItem.h"

#include <QFocusEvent>
#include <QFontMetrics>
#include <QKeyEvent>
#include <algorithm>

namespace vornex {

CEditItem::CEditItem(const QString& initialText, Qt::Alignment alignment, const QRect& rect,
                     QWidget* parent)
    : QLineEdit(parent), keys_(new InPlaceEditorKeys(this, true)) {
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

void CEditItem::keyPressEvent(QKeyEvent* event) {
    QLineEdit::keyPressEvent(event);
    widenToText();
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
    if (!keys_->endsEdit(event))
        return;
    emit editFinished(text(), keys_->escaped());
    deleteLater();
}

}  // namespace vornex
