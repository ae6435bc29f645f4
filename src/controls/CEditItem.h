#pragma once

#include <QLineEdit>

#include "controls/InPlaceEditorKeys.h"

namespace vornex {

// The in-place edit box of a list cell. It lives until it loses the focus: Enter, a click
// elsewhere or a change of window commit its text, Escape cancels; either way it reports once
// through editFinished and then deletes itself.
class CEditItem : public QLineEdit {
    Q_OBJECT

public:
    static constexpr int kControlId = 0x1234;

    // Placed over rect of parent (the list's viewport); the list's font and the cell's text and
    // alignment are taken here, and the editor takes the focus.
    CEditItem(const QString& initialText, Qt::Alignment alignment, const QRect& rect,
              QWidget* parent);

signals:
    // cancelled is true after Escape; text is then the editor's text, not to be applied.
    void editFinished(const QString& text, bool cancelled);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    void widenToText();

    InPlaceEditorKeys* keys_;
};

}  // namespace vornex
