#include "controls/InPlaceEditorKeys.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QWidget>

namespace vornex {

namespace {

bool endsEditKey(int key) {
    return key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Escape;
}

}  // namespace

InPlaceEditorKeys::InPlaceEditorKeys(QWidget* editor, bool claimEditingKeys)
    : QObject(editor), editor_(editor), claimEditingKeys_(claimEditingKeys) {
    editor->installEventFilter(this);
}

bool InPlaceEditorKeys::endsEdit(const QFocusEvent* event) {
    if (finished_ || event->reason() == Qt::PopupFocusReason)
        return false;
    finished_ = true;
    return true;
}

void InPlaceEditorKeys::handBackFocus() {
    editor_->parentWidget()->setFocus(Qt::OtherFocusReason);
}

bool InPlaceEditorKeys::eventFilter(QObject* watched, QEvent* event) {
    if (watched != editor_)
        return false;
    if (event->type() == QEvent::ShortcutOverride) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (endsEditKey(key->key()) ||
            (claimEditingKeys_ &&
             (key->key() == Qt::Key_Delete || (key->modifiers() & Qt::ControlModifier)))) {
            event->accept();
            return true;
        }
    } else if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (endsEditKey(key)) {
            if (key == Qt::Key_Escape)
                escaped_ = true;
            event->accept();
            handBackFocus();
            return true;
        }
    }
    return false;
}

}  // namespace vornex
