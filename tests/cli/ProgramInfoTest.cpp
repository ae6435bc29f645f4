#include <gtest/gtest.h>
#include <unistd.h>

#include <QFile>
#include <QProcess>

#include "TempDir.h"
#include "VornexVersion.h"

namespace vornex {
namespace {

struct Finished {
    int exitCode = -1;
    QString out;
    QString err;
};

Finished run(const QString& program, const QStringList& args) {
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"})
        environment.remove(name);
    process.setProcessEnvironment(environment);
    process.start(program, args);
    Finished finished;
    if (!process.waitForFinished(60000)) {
        process.kill();
        process.waitForFinished();
        return finished;
    }
    finished.exitCode = process.exitCode();
    finished.out = QString::fromUtf8(process.readAllStandardOutput());
    finished.err = QString::fromUtf8(process.readAllStandardError());
    return finished;
}

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
        Finished version = run(program.path, {"--version"});
        EXPECT_EQ(version.exitCode, 0);
        EXPECT_EQ(version.out, QString(program.name) + " " VORNEX_VERSION "\n");
        Finished help = run(program.path, {"--help"});
        EXPECT_EQ(help.exitCode, 0);
        EXPECT_TRUE(help.out.contains(program.helpText)) << help.out.toStdString();
    }
    EXPECT_EQ(run(VORNEX_CLI_PATH, {}).exitCode, 1) << "no command is still a usage error";
}

// The one cause of a failed open that users mend themselves is named with its remedy; other
// causes are not dressed up as it.
TEST(ProgramInfo, APortTheUserMayNotOpenNamesTheDialoutGroup) {
    test::TempDir dir;
    const QStringList missing = {"poll",     "--port", dir.qFile("none"), "--slaves", "1",
                                 "--passes", "1"};
    Finished refused = run(VORNEX_CLI_PATH, missing);
    EXPECT_EQ(refused.exitCode, 2);
    EXPECT_FALSE(refused.err.contains("dialout")) << refused.err.toStdString();

    if (::geteuid() == 0)
        GTEST_SKIP() << "root may open any port";
    QFile port(dir.qFile("locked"));
    ASSERT_TRUE(port.open(QIODevice::WriteOnly));
    port.close();
    ASSERT_TRUE(port.setPermissions(QFileDevice::Permissions()));
    refused =
        run(VORNEX_CLI_PATH, {"poll", "--port", port.fileName(), "--slaves", "1", "--passes", "1"});
    EXPECT_EQ(refused.exitCode, 2);
    EXPECT_TRUE(refused.err.contains("usermod -aG dialout")) << refused.err.toStdString();
}

}  // namespace
}  // namespace vornex
