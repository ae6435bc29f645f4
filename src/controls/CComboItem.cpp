#include "controls/CComboItem.h"

#include <QFocusEvent>

namespace vornex {

CComboItem::CComboItem(const QStringList& choices, const QString& currentText, const QRect& rect,
                       QWidget* parent)
    : QComboBox(parent), keys_(new InPlaceEditorKeys(this, false)) {
    setObjectName(QStringLiteral("CComboItem"));
    setFont(parent->font());
    addItems(choices);
    setCurrentIndex(findText(currentText, Qt::MatchExactly));
    setGeometry(rect);
    show();
    setFocus(Qt::OtherFocusReason);
}

void CComboItem::hidePopup() {
    QComboBox::hidePopup();
    keys_->handBackFocus();
}

void CComboItem::focusOutEvent(QFocusEvent* event) {
    QComboBox::focusOutEvent(event);
    if (!keys_->endsEdit(event))
        return;
    if (currentIndex() >= 0) {
        emit editFinished(currentText(), keys_->escaped());
    }
    deleteLater();
}

}  // namespace vornex
