#include "PollerConnect.h"

#include <cstdio>

#include "LinkMessages.h"

namespace vornex::cli {

bool connectPoller(Poller& poller, const QString& port, const char* command) {
    const OpenResult result = poller.connect(port.toStdString());
    switch (result) {
        case OpenResult::Opened:
            return true;
        case OpenResult::InUse:
            std::fprintf(stderr, "vornex-cli %s: port %s is in use by another program\n", command,
                         qPrintable(port));
            return false;
        case OpenResult::UnknownHost:
        case OpenResult::Refused:
            printNetworkRefusal(command, port.toStdString(), result == OpenResult::UnknownHost);
            return false;
        case OpenResult::CannotOpen:
        case OpenResult::StillStopping:
        case OpenResult::NoAnswer:
            break;
    }
    std::fprintf(stderr, "vornex-cli %s: cannot open port %s\n", command, qPrintable(port));
    printPortAccessHint(port.toStdString());
    return false;
}

}  // namespace vornex::cli
