#include <gtest/gtest.h>
#include <unistd.h>

#include <QFile>

#include "CliRun.h"
#include "TempDir.h"
#include "VornexVersion.h"

namespace vornex {
namespace {

using test::CliRun;
using test::runCli;

// Every program answers --version and --help on standard output, the window without a display.
TEST(ProgramInfo, EveryProgramNamesItsVersionAndOptions) {
    const struct {
        const char* path;
        const char* name;
        const char* helpText;
    } programs[] = {
        {VORNEX_APP_PATH, "vornex", "FILE.pdat"},
        {VORNEX_CLI_PATH, "vornex-cli", "usage: vornex-cli COMMAND"},
        {VORNEX_SIM_PATH, "vornex-sim", "--baud-emulate"},
    };
    for (const auto& program : programs) {
        SCOPED_TRACE(program.name);
        const CliRun version = test::runProgram(program.path, {"--version"}, true);
        EXPECT_EQ(version.exitCode, 0);
        EXPECT_EQ(version.out, QString(program.name) + " " VORNEX_VERSION "\n");
        const CliRun help = test::runProgram(program.path, {"--help"}, true);
        EXPECT_EQ(help.exitCode, 0);
        EXPECT_TRUE(help.out.contains(program.helpText)) << help.out.toStdString();
    }
    EXPECT_EQ(runCli({}).exitCode, 1) << "no command is still a usage error";
}

// The one cause of a failed open that users mend themselves is named with its remedy (other
// causes are not dressed up as it: see the poll command's tests).
TEST(ProgramInfo, APortTheUserMayNotOpenNamesTheDialoutGroup) {
    if (::geteuid() == 0)
        GTEST_SKIP() << "root may open any port";
    test::TempDir dir;
    QFile port(dir.qFile("locked"));
    ASSERT_TRUE(port.open(QIODevice::WriteOnly));
    port.close();
    ASSERT_TRUE(port.setPermissions(QFileDevice::Permissions()));
    const CliRun refused =
        runCli({"poll", "--port", port.fileName(), "--slaves", "1", "--passes", "1"});
    EXPECT_EQ(refused.exitCode, 2);
    EXPECT_TRUE(refused.err.contains("usermod -aG dialout")) << refused.err.toStdString();
}

}  // namespace
}  // namespace vornex
