#pragma once

#include <QObject>

class QFocusEvent;
class QWidget;

namespace vornex {

// The keys of an in-place list editor, watched as an event filter on the editor. Enter commits and
// Escape cancels, both by handing the focus back to the list, so an edit always ends in one place:
// the editor's focus-out. While the editor is open these keys come before any shortcut of the
// window.
class InPlaceEditorKeys : public QObject {
public:
    // The editor is the filter's parent. With claimEditingKeys, Delete and the Ctrl combinations
    // (a text editor's undo, copy, select all) also belong to the editor rather than the window.
    InPlaceEditorKeys(QWidget* editor, bool claimEditingKeys);

    bool escaped() const { return escaped_; }

    // True once, for the focus-out that ends the edit; a popup that borrows the focus (the combo
    // box's drop-down, an edit's context menu) does not end it.
    bool endsEdit(const QFocusEvent* event);

    // The editor's parent is the list's viewport, which passes the focus on to the list itself.
    void handBackFocus();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* editor_;
    bool claimEditingKeys_;
    bool escaped_ = false;
    bool finished_ = false;
};

}  // namespace vornex
