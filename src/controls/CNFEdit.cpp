#include "controls/CNFEdit.h"

#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QToolTip>

#include "i18n/Language.h"
#include "i18n/LanguageKeys.h"

namespace vornex {

namespace {

// Only a character that would be inserted is judged; control characters (Backspace is 8, Delete
// 127, Ctrl+A 1) belong to editing keys, which work as in any line edit.
bool isInserted(QChar c) {
    return c.isPrint();
}

bool isAccepted(QChar c) {
    const char16_t u = c.unicode();
    return (u >= u'0' && u <= u'9') || u == u'.' || u == u'-';
}

int refusedCount(const QString& text) {
    int refused = 0;
    for (const QChar c : text) {
        if (isInserted(c) && !isAccepted(c))
            ++refused;
    }
    return refused;
}

}  // namespace

CNFEdit::CNFEdit(QWidget* parent) : QLineEdit(parent) {}

void CNFEdit::refuse() {
    const QString text =
        langStringOr(currentLanguageFile(), QString::fromLatin1(langkey::kMessageNumbersOnly),
                     QStringLiteral("Numbers only!"));
    QToolTip::showText(mapToGlobal(QPoint(0, height())), text, this);
    emit refused(text);
}

void CNFEdit::keyPressEvent(QKeyEvent* event) {
    // Pasted text could hold anything, so the paste keys are refused like a wrong character.
    if (event->matches(QKeySequence::Paste)) {
        event->accept();
        refuse();
        return;
    }
    const int refused = refusedCount(event->text());
    if (refused == 0) {
        QLineEdit::keyPressEvent(event);
        return;
    }
    event->accept();
    for (int i = 0; i < refused; ++i)
        refuse();
}

void CNFEdit::inputMethodEvent(QInputMethodEvent* event) {
    const QString committed = event->commitString();
    QString kept;
    int refused = 0;
    for (const QChar c : committed) {
        if (isAccepted(c))
            kept += c;
        else if (isInserted(c))
            ++refused;
    }
    if (kept == committed) {
        QLineEdit::inputMethodEvent(event);
        return;
    }
    QInputMethodEvent filtered(event->preeditString(), event->attributes());
    filtered.setCommitString(kept, event->replacementStart(), event->replacementLength());
    QLineEdit::inputMethodEvent(&filtered);
    event->accept();
    for (int i = 0; i < refused; ++i) {
        refuse();
    }
}

}  // namespace vornex
