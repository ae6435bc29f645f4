#include "app/CommandLine.h"

namespace vornex {

QString CommandLine::usage() {
    return QStringLiteral(
        "usage: vornex [--home DIR] [--simulate] [--port PATH]... [FILE.pdat]\n"
        "  --home DIR    keep config.ini, Data/ and Language/ in DIR\n"
        "  --simulate    offer a built-in simulated line with instruments 1, 2 and 3\n"
        "  --port PATH   offer PATH in the port list (repeatable)\n"
        "  FILE.pdat     show this test file in the graph\n"
        "  --version     print the version\n"
        "  --help        print this text\n");
}

CommandLine CommandLine::parse(const QStringList& arguments) {
    CommandLine line;
    auto valueOf = [&](int& i, const QString& option) -> QString {
        const QString& argument = arguments[i];
        if (argument.startsWith(option + QLatin1Char('=')))
            return argument.mid(option.size() + 1);
        if (i + 1 < arguments.size())
            return arguments[++i];
        line.error = option + QStringLiteral(" needs a value");
        return QString();
    };
    for (int i = 1; i < arguments.size() && line.error.isEmpty(); ++i) {
        const QString& argument = arguments[i];
        if (argument == QStringLiteral("--simulate")) {
            line.simulate = true;
        } else if (argument == QStringLiteral("--help") || argument == QStringLiteral("-h")) {
            line.helpShown = true;
        } else if (argument == QStringLiteral("--version")) {
            line.versionShown = true;
        } else if (argument == QStringLiteral("--home") ||
                   argument.startsWith(QStringLiteral("--home="))) {
            line.home = valueOf(i, QStringLiteral("--home"));
        } else if (argument == QStringLiteral("--port") ||
                   argument.startsWith(QStringLiteral("--port="))) {
            const QString port = valueOf(i, QStringLiteral("--port"));
            if (!port.isEmpty())
                line.ports << port;
        } else if (!argument.startsWith(QLatin1Char('-')) && line.testFile.isEmpty()) {
            line.testFile = argument;
        } else {
            line.error = QStringLiteral("unknown argument ") + argument;
        }
    }
    return line;
}

}  // namespace vornex
