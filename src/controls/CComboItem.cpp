#include "controls/CComboItem.h"

#include <QFocusEvent>

namespace vornex {

CComboItem::CComboItem(const QStringList& choices, const QString& currentText, const QRect& rect,
                       QWidget* parent, bool typed)
    : QComboBox(parent), keys_(new InPlaceEditorKeys(this, typed)) {
    setObjectName(QStringLiteral("CComboItem"));
    setFont(parent->font());
    addItems(choices);
    if (typed) {
        setEditable(true);
        setInsertPolicy(QComboBox::NoInsert);
    }
    setCurrentIndex(findText(currentText, Qt::MatchExactly));
    if (typed)
        setEditText(currentText);
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
    if (currentIndex() >= 0 || isEditable()) {
        emit editFinished(currentText(), keys_->escaped());
    }
    deleteLater();
}

}  // namespace vornex
