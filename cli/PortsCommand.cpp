#include <cstdio>

#include "Arguments.h"
#include "Commands.h"
#include "link/PortDiscovery.h"
#include "link/PortTable.h"

namespace vornex::cli {

int runPorts(const QStringList& args) {
    const Arguments arguments(args, {QStringLiteral("port")});
    if (!arguments.ok()) {
        std::fprintf(stderr, "vornex-cli ports: %s\n", qPrintable(arguments.error()));
        return 1;
    }
    std::vector<std::string> named;
    for (const QString& port : arguments.values(QStringLiteral("port"))) {
        named.push_back(port.toStdString());
    }
    PortTable table;
    table.fill(discoverPorts(named));
    if (table.empty()) {
        std::fputs("vornex-cli ports: no serial port found\n", stderr);
        return 0;
    }
    std::printf("%s\n", table.selected().c_str());
    for (int i = 0; i < static_cast<int>(table.entries().size()); ++i) {
        if (i != table.selectedIndex())
            std::printf("%s\n", table.entries()[i].c_str());
    }
    return 0;
}

}  // namespace vornex::cli
