#pragma once

#include <QString>
#include <QStringList>
#include <functional>

class QWidget;

namespace vornex {

enum class MessageIcon { Information, Warning, Critical, None };

struct MessageRecord {
    QString text;
    QString caption;
    MessageIcon icon;
    // The choices of a question, first the one that goes ahead; empty for a box with OK only.
    QStringList buttons = {};
};

// Every message box of the program goes through here. A test installs a sink to record the
// messages, and to answer the questions, instead of blocking on a modal box.
void ShowMessage(QWidget* parent, const QString& text, const QString& caption,
                 MessageIcon icon = MessageIcon::Warning);

// A question with the given choices: the index of the one chosen, or -1 when the box was closed
// without a choice (Escape, the window's close button), which must be taken as the safe answer.
int AskMessage(QWidget* parent, const QString& text, const QString& caption,
               const QStringList& buttons, MessageIcon icon = MessageIcon::Warning);

// A message of the language file: the text under key, captioned by "IDS_MESSAGE_TIP". A detail
// (a path, a reason) follows the text after a blank line.
void showLangMessage(QWidget* parent, const QString& languageFile, const char* key,
                     MessageIcon icon = MessageIcon::Warning, const QString& detail = QString());

// Gets every message; what it returns answers a question, as AskMessage does.
using MessageSink = std::function<int(const MessageRecord&)>;
// Returns the sink that was installed before; an empty sink restores real message boxes.
MessageSink SetMessageSink(MessageSink sink);

}  // namespace vornex
