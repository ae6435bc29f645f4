#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QPushButton>
#include <QStatusBar>
#include <QTabWidget>
#include <QTableWidget>
#include <QTest>
#include <QTimer>
#include <memory>

#include "CliRun.h"
#include "Files.h"
#include "PgCluster.h"
#include "RecordFiles.h"
#include "TempDir.h"
#include "Wait.h"
#include "benchstore/BenchStore.h"
#include "browser/CDlgSelData.h"
#include "judge/TestResults.h"
#include "record/CompanionFile.h"
#include "store/ResultSender.h"
#include "store/Schema.h"
#include "store/StoreAddress.h"
#include "storeview/StoreStatusLabel.h"
#include "storeview/StoreTab.h"

namespace vornex::test {
namespace {

using namespace vornex::store;

const QString kChinese = QStringLiteral(VORNEX_LANG_DIR "/zh_CN.ini");

// The folder of the cluster's socket.
std::string socketOf(const PgCluster& cluster) {
    const std::string uri = cluster.uri();
    const size_t host = uri.find("host=") + 5;
    return uri.substr(host, uri.find('&', host) - host);
}

// What the Store tab and `store find` show of the tests of other benches.
class StoreSearchTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        cluster = new PgCluster;
        PgConnection admin(cluster->uri());
        ASSERT_TRUE(admin.exec("CREATE DATABASE found").ok());
        PgConnection connection(cluster->uri("found"));
        ASSERT_EQ(migrateSchema(connection).result.text, "");
    }
    static void TearDownTestSuite() { delete cluster; }

    // A closed test of one pull sent to the store under `uuid`.
    std::string storedTest(const std::string& name, const std::string& uuid,
                           const std::string& bench, const std::string& operatorName) {
        const std::string path = home.file(name + ".pdat");
        writeRecords(path, {point(0.0, 1.0, 1), point(0.1, 9.0, 1), point(0.2, 1.0, 1)});
        Companion companion;
        companion.uuid = uuid;
        companion.testName = name;
        companion.started = "2026-12-07 10:00:00";
        companion.trace.bench = bench;
        companion.trace.operatorName = operatorName;
        companion.trace.toolId = "T 77";
        EXPECT_TRUE(writeCompanion(companionPath(path), companion).ok());
        PgConnection connection(cluster->uri("found"));
        EXPECT_TRUE(sendTest(connection, uuid, path).sent());
        return path;
    }

    static PgCluster* cluster;
    TempDir home;
};

PgCluster* StoreSearchTest::cluster = nullptr;

// The tab says who tested what under which name; the test opens under its name (the window's title,
// report and page take it from the file), and the next opening searches as the last one did.
TEST_F(StoreSearchTest, TheStoreTabNamesTestsAndKeepsItsSearch) {
    const std::string uuid = "00000000-0000-4000-8000-000000000091";
    const std::string test = storedTest("wrench 12 left", uuid, "line 2", "Li Wei");
    const QString config = home.qFile("config.ini");
    auto dialog = std::make_unique<CDlgSelData>(kChinese, home.qPath() + "/Data/", false, false);
    dialog->addStoreTab(cluster->uri("found"), home.qFile("Store/"), config);
    dialog->show();
    dialog->findChild<QTabWidget*>("tabs")->setCurrentIndex(1);
    QTest::keyClicks(dialog->findChild<QLineEdit*>("storeTool"), "T 77");
    QTest::keyClicks(dialog->findChild<QLineEdit*>("storeOperator"), "Li Wei");
    QTest::mouseClick(dialog->findChild<QPushButton*>("storeSearch"), Qt::LeftButton);
    const auto* found = dialog->findChild<QTableWidget*>("storeFound");
    waitUntil([&] { return found->rowCount() > 0; });
    ASSERT_EQ(found->rowCount(), 1);
    EXPECT_EQ(found->horizontalHeaderItem(2)->text() + found->item(0, 2)->text(), "操作员Li Wei");
    EXPECT_EQ(found->horizontalHeaderItem(4)->text() + found->item(0, 4)->text(),
              "测试名称wrench 12 left");
    QTest::mouseClick(dialog->findChild<QPushButton*>("storeOpen"), Qt::LeftButton);
    waitUntil([&] { return dialog->result() == QDialog::Accepted; });
    ASSERT_EQ(dialog->result(), QDialog::Accepted);
    const std::string opened = dialog->filePath().toStdString();
    EXPECT_EQ(opened, home.file("Store/" + uuid + "/wrench 12 left.pdat"));
    EXPECT_EQ(readBytes(opened), readBytes(test));
    EXPECT_EQ(judgeTestFile(opened, {}).results.name, "wrench 12 left");
    dialog = std::make_unique<CDlgSelData>(kChinese, home.qPath() + "/Data/", false, false);
    dialog->addStoreTab(cluster->uri("found"), home.qFile("Store/"), config);
    EXPECT_EQ(dialog->findChild<QLineEdit*>("storeTool")->text(), "T 77");
    EXPECT_EQ(dialog->findChild<QLineEdit*>("storeOperator")->text(), "Li Wei");
}

// A bench named with blanks keeps its column in `--tsv`, and a tab or line break in a field that
// another program put there is escaped; the plain line stays as it was.
TEST_F(StoreSearchTest, FindAsTabSeparatedValuesKeepsEveryFieldApart) {
    const std::string uuid = "00000000-0000-4000-8000-000000000092";
    storedTest("t1", uuid, "bench 9 west", "Ann");
    PgConnection admin(cluster->uri("found"));
    ASSERT_TRUE(admin
                    .exec("UPDATE vornex_tests SET operator = E'Ann\\tB\\\\C\\nD' WHERE id = '" +
                          uuid + "'")
                    .ok());
    const QString uri = QString::fromStdString(cluster->uri("found"));
    const CliRun tsv = runCli({"store", "find", "--bench", "bench 9 west", "--tsv", "--uri", uri});
    ASSERT_EQ(tsv.exitCode, 0) << tsv.err.toStdString();
    ASSERT_EQ(tsv.outLines().size(), 2) << tsv.out.toStdString();
    EXPECT_EQ(tsv.outLines()[0], "uuid\tstart\tbench\ttool\tkind\tresult\toperator\tname");
    EXPECT_EQ(tsv.outLines()[1].toStdString(),
              uuid + "\t2026-12-07T10:00:00\tbench 9 west\tT 77\ttest\tnone\tAnn\\tB\\\\C\\nD\tt1");
    EXPECT_EQ(runCli({"store", "find", "--bench", "bench 9 west", "--uri", uri}).out.toStdString(),
              uuid + " 2026-12-07T10:00:00 bench 9 west T 77 test none\n");
}

// As ssh does for its keys: a service file that others can read and that holds the password is
// named with its mode, and the address is used all the same.
TEST_F(StoreSearchTest, APasswordOthersCanReadInTheServiceFileIsWarnedOf) {
    const std::string services = home.file("services.conf");
    writeBytes(services, "# lab\n[other]\npassword=x\n[results]\n host=" + socketOf(*cluster) +
                             "\ndbname=found\nuser=vornex_admin\npassword=s3cret\n");
    qputenv("PGSERVICEFILE", QByteArray::fromStdString(services));
    for (const mode_t mode : {0644, 0600}) {
        ::chmod(services.c_str(), mode);
        const CliRun run = runCli({"store", "find", "--tool", "none", "--uri", "results"});
        EXPECT_EQ(run.exitCode, 0);
        EXPECT_EQ(run.err.toStdString(),
                  mode == 0600 ? ""
                               : "vornex-cli: warning: " + services +
                                     " holds a password and is readable by others (mode 0644)\n");
    }
    EXPECT_EQ(storeAddress("postgresql:///x?service=other").exposedFile, "");
    ::chmod(services.c_str(), 0640);
    EXPECT_EQ(storeAddress("postgresql:///x?service=other").exposedMode, 0640u);
    EXPECT_EQ(storeAddress(cluster->uri("found")).exposedFile, "");
    qunsetenv("PGSERVICEFILE");
}

// The status bar's word in Chinese: one "store" prefix, the sender's words translated, the reason
// cut with an ellipsis where the bar ends and whole in the tooltip, and the exposed password.
TEST_F(StoreSearchTest, TheStoreErrorInTheStatusBarIsTranslatedWholeAndSaidOnce) {
    const std::string services = home.file("services.conf");
    writeBytes(services, "[gone]\nhost=" + home.path() + "\ndbname=x\npassword=s3cret\n");
    ::chmod(services.c_str(), 0604);
    qputenv("PGSERVICEFILE", QByteArray::fromStdString(services));
    writeBytes(home.file("config.ini"), "[Store]\nUri=gone\n");
    auto bench = std::make_unique<BenchStore>(home.qPath() + "/", home.qFile("config.ini"));
    QMainWindow window;
    auto* label = new StoreStatusLabel(*bench);
    label->setLanguageFile(kChinese);
    window.statusBar()->addPermanentWidget(label);
    window.resize(500, 300);
    window.show();
    bench->testClosed(storedTest("t2", "00000000-0000-4000-8000-000000000093", "b", "o"));
    ASSERT_TRUE(waitUntil([&] { return label->text().contains("无法连接服务器"); }))
        << label->text().toStdString();
    const QString whole = label->text();
    EXPECT_TRUE(whole.startsWith("存储：1 项待发送 — 无法连接服务器：")) << whole.toStdString();
    EXPECT_EQ(whole.count("存储"), 1);
    EXPECT_FALSE(whole.contains("store")) << whole.toStdString();
    EXPECT_TRUE(
        whole.contains(QString::fromStdString(services) + " 含有密码，且其他用户可读（权限 0604）"))
        << whole.toStdString();
    EXPECT_EQ(label->toolTip(), whole);
    EXPECT_TRUE(label->shownText().endsWith(QChar(0x2026))) << label->shownText().toStdString();
    delete label;
    bench.reset();
    qunsetenv("PGSERVICEFILE");
}

// A server that takes the connection and never answers holds up neither the window nor its
// closing: the search returns at once and says it is under way, events go on being handled, and
// the tab closes within the connect timeout (5 s) without waiting for an answer.
TEST(StoreTabTest, AServerThatNeverAnswersHoldsUpNeitherTheWindowNorItsClosing) {
    const int listener = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    ASSERT_EQ(::bind(listener, reinterpret_cast<sockaddr*>(&address), length), 0);
    ASSERT_EQ(::listen(listener, 4), 0);
    ASSERT_EQ(::getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length), 0);
    const TempDir home;
    auto tab = std::make_unique<StoreTab>(
        QString(), "postgresql://127.0.0.1:" + std::to_string(ntohs(address.sin_port)) + "/x",
        home.qFile("Store/"), QString());
    tab->show();
    const auto* message = tab->findChild<QLabel*>("storeMessage");
    QElapsedTimer asked;
    asked.start();
    QTest::mouseClick(tab->findChild<QPushButton*>("storeSearch"), Qt::LeftButton);
    EXPECT_LT(asked.elapsed(), 1000);
    EXPECT_EQ(message->text(), "Searching the store...");
    bool handled = false;
    QTimer::singleShot(50, tab.get(), [&handled] { handled = true; });
    EXPECT_TRUE(waitUntil([&] { return handled; }, 2000));
    QTest::keyClicks(tab->findChild<QLineEdit*>("storeTool"), "T 77");
    EXPECT_EQ(tab->findChild<QLineEdit*>("storeTool")->text(), "T 77");
    EXPECT_EQ(message->text(), "Searching the store...");
    asked.restart();
    tab.reset();
    EXPECT_LT(asked.elapsed(), 6000);
    ::close(listener);
}

}  // namespace
}  // namespace vornex::test
