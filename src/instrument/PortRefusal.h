#pragma once

#include <QString>
#include <functional>

#include "link/Link.h"

class QWidget;

namespace vornex {

// The port the control panel's polling holds, empty while it holds none.
using PolledPort = std::function<QString()>;

// Shows that the control panel's polling holds `port` and returns true, before a dialog opens a
// link of its own on it: a network gateway takes a second connection where a serial port refuses
// it, and two masters would then talk on one line. The dialog is modal, so the way out it names
// starts with closing the dialog. False, with nothing shown, for any other port.
bool refusePolledPort(QWidget* parent, const QString& languageFile, const QString& port,
                      const PolledPort& polled);

// Says why a dialog's own link could not open `port`: the control panel polls it (and how to free
// it), the user may not open it, a gateway's host name does not resolve or the gateway refuses, or
// it cannot be opened at all.
void showPortRefusal(QWidget* parent, const QString& languageFile, const QString& port,
                     const PolledPort& polled, OpenResult why);

}  // namespace vornex
