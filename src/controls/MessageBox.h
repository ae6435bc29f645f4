#pragma once

#include <QString>
#include <functional>

class QWidget;

namespace vornex {

enum class MessageIcon { Information, Warning, Critical, None };

struct MessageRecord {
    QString text;
    QString caption;
    MessageIcon icon;
};

// Every message box of the program goes through here. A test installs a sink to record the
// messages instead of blocking on a modal box.
void ShowMessage(QWidget* parent, const QString& text, const QString& caption,
                 MessageIcon icon = MessageIcon::Warning);

// A message of the language file: the text under key, captioned by "IDS_MESSAGE_TIP". A detail
// (a path, a reason) follows the text after a blank line.
void showLangMessage(QWidget* parent, const QString& languageFile, const char* key,
                     MessageIcon icon = MessageIcon::Warning, const QString& detail = QString());

using MessageSink = std::function<void(const MessageRecord&)>;
// Returns the sink that was installed before; an empty sink restores real message boxes.
MessageSink SetMessageSink(MessageSink sink);

}  // namespace vornex
