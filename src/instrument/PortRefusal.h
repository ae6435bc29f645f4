#pragma once

#include <QString>
#include <functional>

#include "link/Link.h"

class QWidget;

namespace vornex {

// The port this window's own polling holds, empty while it holds none.
using PolledPort = std::function<QString()>;

// Says why a dialog's own link could not open `port`: this window polls it (and how to free it),
// the user may not open it, a gateway's host name does not resolve or the gateway refuses, or it
// cannot be opened at all.
void showPortRefusal(QWidget* parent, const QString& languageFile, const QString& port,
                     const PolledPort& polled, OpenResult why);

}  // namespace vornex
