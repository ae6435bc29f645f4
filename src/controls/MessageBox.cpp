#include "controls/MessageBox.h"

#include <QMessageBox>
#include <utility>

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

MessageSink SetMessageSink(MessageSink newSink) {
    return std::exchange(sink(), std::move(newSink));
}

}  // namespace vornex
