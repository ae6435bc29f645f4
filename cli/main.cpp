#include <QApplication>
#include <QCoreApplication>
#include <QStringList>
#include <cstdio>
#include <cstring>
#include <functional>
#include <map>
#include <memory>

#include "Commands.h"

namespace {

void printUsage() {
    std::fputs(
        "usage: vornex-cli COMMAND [OPTIONS]\n"
        "  ports                                        list the serial ports\n"
        "  poll --port PATH --slaves 1,2,3 --passes N [--display ADDR]\n"
        "  record --port PATH --slaves 1,2,3 --test NAME [--seconds S] [--home DIR]\n"
        "  count FILE                                   records per instrument\n"
        "  export FILE --csv OUT                        records as CSV (OUT - for stdout)\n"
        "  params --port PATH --slave N [--set-mode M] [--set-unit NAME] [--set-measure NAME]\n"
        "         [--set TARGET UPPER LOWER]            read or write an instrument's settings\n"
        "  upload --port PATH --slave N (--xlsx OUT | --csv OUT) [--fast]\n"
        "  plot FILE --png OUT [--pdf OUT] [--from S --to S] [--width W --height H]\n",
        stderr);
}

}  // namespace

int main(int argc, char** argv) {
    // Drawing needs a GUI application, on no display unless one is named.
    const bool draws = argc > 1 && std::strcmp(argv[1], "plot") == 0;
    if (draws && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    const std::unique_ptr<QCoreApplication> app(draws ? new QApplication(argc, argv)
                                                      : new QCoreApplication(argc, argv));
    QStringList args = QCoreApplication::arguments().mid(1);
    if (args.isEmpty()) {
        printUsage();
        return 1;
    }
    const std::map<QString, std::function<int(const QStringList&)>> commands = {
        {"ports", vornex::cli::runPorts},   {"poll", vornex::cli::runPoll},
        {"record", vornex::cli::runRecord}, {"count", vornex::cli::runCount},
        {"export", vornex::cli::runExport}, {"params", vornex::cli::runParams},
        {"upload", vornex::cli::runUpload}, {"plot", vornex::cli::runPlot},
    };
    const auto command = commands.find(args.takeFirst());
    if (command == commands.end()) {
        printUsage();
        return 1;
    }
    return command->second(args);
}
