#include "PollerConnect.h"

#include <cstdio>

#include "LinkMessages.h"

namespace vornex::cli {

bool connectPoller(Poller& poller, const QString& port, const char* command) {
    const ConnectResult result = poller.connect(port.toStdString());
    switch (result) {
        case ConnectResult::Connected:
            return true;
        case ConnectResult::InUse:
            std::fprintf(stderr, "vornex-cli %s: port %s is in use by another program\n", command,
                         qPrintable(port));
            return false;
        case ConnectResult::UnknownHost:
        case ConnectResult::Refused:
            printNetworkRefusal(command, port.toStdString(), result == ConnectResult::UnknownHost);
            return false;
        case ConnectResult::CannotOpen:
        case ConnectResult::StillStopping:
            break;
    }
    std::fprintf(stderr, "vornex-cli %s: cannot open port %s\n", command, qPrintable(port));
    printPortAccessHint(port.toStdString());
    return false;
}

}  // namespace vornex::cli
