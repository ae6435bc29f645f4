#pragma once

#include <QApplication>
#include <QDialog>
#include <QLineEdit>
#include <QTimer>

#include "panel/CControlDlg.h"

namespace vornex::bench {

// Adds an instrument through the add-device dialog, answering it once it is up.
inline void addThroughDialog(CControlDlg& panel, int address) {
    auto* poll = new QTimer;
    poll->setInterval(5);
    QObject::connect(poll, &QTimer::timeout, [poll, address] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (dialog == nullptr || !dialog->isVisible())
            return;
        poll->stop();
        poll->deleteLater();
        dialog->findChild<QLineEdit*>()->setText(QString::number(address));
        dialog->accept();
    });
    poll->start();
    panel.onAdd();
}

}  // namespace vornex::bench
