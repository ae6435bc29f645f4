#include "controls/MessageBox.h"

#include <QMessageBox>
#include <QPushButton>
#include <utility>

#include "i18n/Language.h"
#include "i18n/LanguageKeys.h"

namespace vornex {

namespace {
MessageSink& sink() {
    static MessageSink installed;
    return installed;
}

QMessageBox::Icon toQt(MessageIcon icon) {
    switch (icon) {
        case MessageIcon::Information:
            return QMessageBox::Information;
        case MessageIcon::Critical:
            return QMessageBox::Critical;
        case MessageIcon::None:
            return QMessageBox::NoIcon;
        case MessageIcon::Warning:
            break;
    }
    return QMessageBox::Warning;
}
}  // namespace

void ShowMessage(QWidget* parent, const QString& text, const QString& caption, MessageIcon icon) {
    if (sink()) {
        sink()({text, caption, icon});
        return;
    }
    QMessageBox box(toQt(icon), caption, text, QMessageBox::Ok, parent);
    box.exec();
}

int AskMessage(QWidget* parent, const QString& text, const QString& caption,
               const QStringList& buttons, MessageIcon icon) {
    if (sink())
        return sink()({text, caption, icon, buttons});
    QMessageBox box(toQt(icon), caption, text, QMessageBox::NoButton, parent);
    QList<QAbstractButton*> choices;
    for (qsizetype i = 0; i < buttons.size(); ++i) {
        // The last choice is the one that changes nothing: Escape takes it.
        const auto role =
            i + 1 == buttons.size() && i > 0 ? QMessageBox::RejectRole : QMessageBox::AcceptRole;
        choices.append(box.addButton(buttons[i], role));
    }
    if (!choices.isEmpty())
        box.setDefaultButton(qobject_cast<QPushButton*>(choices.constLast()));
    box.exec();
    return static_cast<int>(choices.indexOf(box.clickedButton()));
}

void showLangMessage(QWidget* parent, const QString& languageFile, const char* key,
                     MessageIcon icon, const QString& detail) {
    QString text = GetLangString(languageFile, QString::fromUtf8(key));
    if (!detail.isEmpty())
        text += QStringLiteral("\n\n") + detail;
    ShowMessage(parent, text, GetLangString(languageFile, QString::fromUtf8(langkey::kMessageTip)),
                icon);
}

MessageSink SetMessageSink(MessageSink newSink) {
    return std::exchange(sink(), std::move(newSink));
}

}  // namespace vornex
