#pragma once

#include <QComboBox>
#include <QStringList>

#include "controls/InPlaceEditorKeys.h"

namespace vornex {

// The in-place drop-down of a list cell, offering a list of choices, and with `typed` taking any
// text typed into it besides. Like CEditItem it lives until it loses the focus and reports once
// through editFinished, then deletes itself; closing the drop-down or Enter commits the chosen
// entry (or the text typed), Escape cancels.
class CComboItem : public QComboBox {
    Q_OBJECT

public:
    // Placed over rect of parent (the list's viewport) with the choices in order; the entry equal
    // to currentText is chosen when there is one. The combo box takes the focus.
    CComboItem(const QStringList& choices, const QString& currentText, const QRect& rect,
               QWidget* parent, bool typed = false);

    void hidePopup() override;

signals:
    // cancelled is true after Escape. Not sent when no entry was chosen.
    void editFinished(const QString& text, bool cancelled);

protected:
    void focusOutEvent(QFocusEvent* event) override;

private:
    InPlaceEditorKeys* keys_;
};

}  // namespace vornex
