#pragma once

#include <QString>
#include <functional>

#include "link/Link.h"

class QWidget;

namespace vornex {

// The port this window's own polling holds, empty while it holds none.
using PolledPort = std::function<QString()>;

// Shows that this window's own polling holds `port` and returns true, before a dialog opens a link
// of its own on it: a network gateway takes a second connection where a serial port refuses it,
// and two masters would then talk on one line. False, with nothing shown, for any other port.
bool refusePolledPort(QWidget* parent, const QString& languageFile, const QString& port,
                      const PolledPort& polled);

// Says why a dialog's own link could not open `port`: this window polls it (and how to free it),
// the user may not open it, a gateway's host name does not resolve or the gateway refuses, or it
// cannot be opened at all.
void showPortRefusal(QWidget* parent, const QString& languageFile, const QString& port,
                     const PolledPort& polled, OpenResult why);

}  // namespace vornex
