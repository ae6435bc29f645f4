#include "controls/CNFEdit.h"

#include <QInputMethodEvent>
#include <QKeyEvent>

#include "controls/MessageBox.h"
#include "i18n/Language.h"
#include "i18n/LanguageKeys.h"

namespace vornex {

namespace {
constexpr char16_t kBackspace = 0x08;

// Keys that the dialog or the edit act on without producing a typed character.
bool isNavigation(const QKeyEvent& event) {
    switch (event.key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
        case Qt::Key_Escape:
        case Qt::Key_Tab:
        case Qt::Key_Backtab:
            return true;
        default:
            return false;
    }
}

// A Control chord with a letter types a control character (Ctrl+C is 3, Ctrl+V is 22), whatever
// text the platform attached to the event.
bool isControlCharacter(const QKeyEvent& event) {
    return (event.modifiers() & Qt::ControlModifier) && event.key() >= Qt::Key_A &&
           event.key() <= Qt::Key_Z;
}

bool isAccepted(QChar c) {
    const char16_t u = c.unicode();
    return (u >= u'0' && u <= u'9') || u == u'.' || u == u'-' || u == kBackspace;
}
}  // namespace

CNFEdit::CNFEdit(QWidget* parent) : QLineEdit(parent) {}

void CNFEdit::refuse() {
    const QString file = currentLanguageFile();
    ShowMessage(
        this,
        langStringOr(file, QString::fromLatin1(langkey::kMessageNumbersOnly),
                     QStringLiteral("Numbers only!")),
        langStringOr(file, QString::fromLatin1(langkey::kMessageTip), QStringLiteral("Tips")),
        MessageIcon::None);
}

void CNFEdit::keyPressEvent(QKeyEvent* event) {
    if (isControlCharacter(*event)) {
        event->accept();
        refuse();
        return;
    }
    const QString typed = event->text();
    if (typed.isEmpty() || isNavigation(*event)) {
        QLineEdit::keyPressEvent(event);
        return;
    }
    bool accepted = true;
    for (const QChar c : typed) {
        accepted = accepted && isAccepted(c);
    }
    if (accepted) {
        QLineEdit::keyPressEvent(event);
        return;
    }
    event->accept();
    for (const QChar c : typed) {
        if (!isAccepted(c)) {
            refuse();
        }
    }
}

void CNFEdit::inputMethodEvent(QInputMethodEvent* event) {
    const QString committed = event->commitString();
    QString kept;
    int refused = 0;
    for (const QChar c : committed) {
        if (isAccepted(c)) {
            kept += c;
        } else {
            ++refused;
        }
    }
    if (refused == 0) {
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
