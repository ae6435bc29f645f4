#include <QGuiApplication>
#include <cstring>
#include <memory>

#include "Commands.h"

namespace vornex::cli {

std::unique_ptr<QCoreApplication> makeApplication(int& argc, char** argv) {
    bool draws =
        argc > 1 && (std::strcmp(argv[1], "report") == 0 || std::strcmp(argv[1], "plot") == 0 ||
                     std::strcmp(argv[1], "certificate") == 0);
    // A verification run draws only its certificate.
    for (int i = 2; argc > 1 && std::strcmp(argv[1], "verify") == 0 && i < argc; ++i)
        draws = draws || std::strcmp(argv[i], "--pdf") == 0;
    if (!draws)
        return std::make_unique<QCoreApplication>(argc, argv);
    // Fonts, the graph and the PDF writer need a GUI application; it shows nothing on any screen
    // unless one is named.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    return std::make_unique<QGuiApplication>(argc, argv);
}

}  // namespace vornex::cli
