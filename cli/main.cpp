#include <QCoreApplication>
#include <QStringList>
#include <cstdio>
#include <functional>
#include <map>

#include "Commands.h"
#include "VornexVersion.h"
#include "files/TemporaryFiles.h"

namespace {

void printUsage(std::FILE* out = stderr) {
    std::fputs(
        "usage: vornex-cli COMMAND [OPTIONS] | --help | --version\n"
        "  ports                                        list the serial ports\n"
        "  poll --port PATH --slaves 1,2,3 --passes N [--display ADDR] [--fast-pass]\n"
        "  record --port PATH --slaves 1,2,3 --test NAME [--seconds S] [--home DIR]\n"
        "         [--operator NAME] [--tool ID] [--note TEXT] [--fast-pass]\n"
        "  count FILE                                   records per instrument\n"
        "  export FILE --csv OUT                        records as CSV (OUT - for stdout)\n"
        "  params --port PATH --slave N [--set-mode M] [--set-unit NAME] [--set-measure NAME]\n"
        "         [--set TARGET UPPER LOWER]            read or write an instrument's settings\n"
        "  upload --port PATH --slave N (--xlsx OUT | --csv OUT) [--fast]\n"
        "  report FILE [--threshold X] [--target T --upper U --lower L] [--csv OUT] [--pdf OUT]\n"
        "         [--home DIR]\n"
        "  plot FILE --png OUT [--pdf OUT] [--from S --to S] [--width W --height H]\n"
        "  verify --port PATH --slave A --tool ID [--class C] [--max X --min X --unit U]\n"
        "         [--profile NAME|FILE] [--points P1,P2,...] [--readings N] [--preloads N]\n"
        "         [--operator NAME] [--temperature C --humidity %] [--slips count|repeat]\n"
        "         [--allow-polled] [--fast-pass] [--overdue-reason TEXT] [--reference ASSET]\n"
        "         [--uncertainty PCT] [--type I|II] [--resolution R]\n"
        "         [--condition as-found|as-left]\n"
        "         [--resume RUNFILE] [--home DIR] [--csv OUT] [--pdf OUT]\n"
        "                                               verify a torque tool\n"
        "  certificate RUNFILE --pdf OUT [--csv OUT] [--home DIR]\n"
        "                                               an ended run's certificate again\n"
        "  sign FILE --meaning performed|reviewed|approved [--name NAME] [--home DIR]\n"
        "                                               sign a test or run file\n"
        "  register list [--tools|--references] [--home DIR] [--uri URI]\n"
        "                                               the lab's tools and references\n"
        "  register add-tool ID --class C --type I|II --min X --max X --unit U [--maker M]\n"
        "           [--model M] [--serial S] [--interval-months N] [--interval-cycles N]\n"
        "           [--lead-days N] [--last YYYY-MM-DD] [--home DIR]\n"
        "  register add-reference ASSET --range X --unit U --resolution X --uncertainty PCT\n"
        "           --lowest X --due YYYY-MM-DD [--maker M] [--model M] [--serial S]\n"
        "           [--certificate N] [--home DIR]\n"
        "  register due [--within DAYS] [--home DIR] [--uri URI]\n"
        "                                               what is overdue or due soon\n"
        "  register impact --tool ID | --reference ASSET [--home DIR] [--uri URI]\n"
        "                                               what it touched since last known good:\n"
        "                                               KIND UUID|PATH BENCH TIME OPERATOR "
        "RESULT\n"
        "  spc FILE --slave A [--subgroup N] [--chart xbar-r|xbar-s] [--rules LIST]\n"
        "      [--limits data|tolerance]                control charts and capability of one\n"
        "                                               instrument's pulls\n"
        "  sync [--once] [--home DIR] [--uri URI]       send the closed tests and runs waiting\n"
        "  store init [--home DIR] [--uri URI]          create or migrate the store's schema\n"
        "  store find [--tool ID] [--bench NAME] [--operator NAME] [--since DATE]\n"
        "             [--until DATE] [--verdict low|high|fail] [--tsv] [--home DIR]\n"
        "             [--uri URI]\n"
        "  store get UUID --out FILE [--home DIR] [--uri URI]\n"
        "  store bench add NAME --login ROLE            bind a bench's login to its bench\n"
        "  store audit verify|list [--record UUID]      check or list the audit trail\n"
        "  store amend UUID --field FIELD --value VALUE --reason TEXT\n"
        "                                               amend a stored record (a reviewer)\n"
        "  store sign UUID --meaning reviewed|approved [--name NAME]\n"
        "                                               sign a stored record (a reviewer)\n"
        "  store spc --tool ID [--subgroup N] [--chart xbar-r|xbar-s] [--rules LIST]\n"
        "            [--limits data|tolerance]          control charts of a tool's stored pulls\n",
        out);
}

}  // namespace

int main(int argc, char** argv) {
    vornex::removeTemporaryFilesOnSignals();
    const auto app = vornex::cli::makeApplication(argc, argv);
    QStringList args = app->arguments().mid(1);
    if (args.isEmpty()) {
        printUsage();
        return 1;
    }
    if (args.first() == QLatin1String("--help") || args.first() == QLatin1String("-h")) {
        printUsage(stdout);
        return 0;
    }
    if (args.first() == QLatin1String("--version")) {
        std::puts("vornex-cli " VORNEX_VERSION);
        return 0;
    }
    const std::map<QString, std::function<int(const QStringList&)>> commands = {
        {"ports", vornex::cli::runPorts},
        {"poll", vornex::cli::runPoll},
        {"record", vornex::cli::runRecord},
        {"count", vornex::cli::runCount},
        {"export", vornex::cli::runExport},
        {"params", vornex::cli::runParams},
        {"upload", vornex::cli::runUpload},
        {"report", vornex::cli::runReport},
        {"plot", vornex::cli::runPlot},
        {"verify", vornex::cli::runVerify},
        {"sync", vornex::cli::runSync},
        {"store", vornex::cli::runStore},
        {"certificate", vornex::cli::runCertificate},
        {"sign", vornex::cli::runSign},
        {"register", vornex::cli::runRegister},
        {"spc", vornex::cli::runSpc},
    };
    const auto command = commands.find(args.takeFirst());
    if (command == commands.end()) {
        printUsage();
        return 1;
    }
    return command->second(args);
}
