#include <gtest/gtest.h>

#include <QComboBox>
#include <QDate>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <filesystem>
#include <fstream>

#include "RecordFiles.h"
#include "TempDir.h"
#include "Wait.h"
#include "record/CompanionFile.h"
#include "register/LabRegister.h"
#include "registerwin/RegisterWindow.h"

namespace vornex {
namespace {

const QString kEnglish = QStringLiteral(VORNEX_LANG_DIR "/en_US.ini");
constexpr int kToolDue = 9, kToolCycles = 10, kToolState = 11, kReferenceState = 10;

RegisteredTool tool(const std::string& id, const std::string& maker, const QDate& lastGood) {
    RegisteredTool t;
    t.id = id;
    t.maker = maker;
    t.maximum = 20;
    t.unit = "N.m";
    t.lastGood = lastGood.isValid() ? lastGood.toString(Qt::ISODate).toStdString() : "";
    return t;
}

RegisteredReference reference(const std::string& asset, const QDate& due) {
    RegisteredReference r;
    r.asset = asset;
    r.range = 50;
    r.unit = "N.m";
    r.resolution = 0.01;
    r.uncertainty = 0.5;
    r.lowest = 1;
    r.due = due.toString(Qt::ISODate).toStdString();
    return r;
}

class RegisterWindowTest : public ::testing::Test {
protected:
    RegisterWindowTest() : paths_(AppPaths::forHome(home_.qPath())) {
        const QDate today = QDate::currentDate();
        enter(tool("W-OK", "Norbar", today.addMonths(-1)));
        enter(tool("W-SOON", "Tohnichi", today.addMonths(-12).addDays(10)));
        enter(tool("W-LATE", "Norbar", today.addMonths(-13)));
        enter(tool("W-NEVER", "Stahlwille", QDate()));
        enter(reference("R-OK", today.addDays(200)));
        enter(reference("R-LATE", today.addDays(-5)));
        const QDate next = today.addMonths(1);
        enter(reference("R-NEXT", QDate(next.year(), next.month(), 28)));
    }

    template <typename Entry>
    void enter(const Entry& entry) {
        std::string error;
        ASSERT_TRUE(LabRegister(paths_.home.toStdString()).enter(entry, error)) << error;
    }

    std::unique_ptr<RegisterWindow> open(const QString& language = kEnglish) {
        auto window = std::make_unique<RegisterWindow>(paths_, language);
        window->show();
        return window;
    }
    static QTableView* table(RegisterWindow& window, const char* name) {
        return window.findChild<QTableView*>(QString::fromLatin1(name));
    }
    // The first column of each row shown, top to bottom.
    static QStringList ids(QTableView* view) {
        QStringList found;
        for (int r = 0; r < view->model()->rowCount(); ++r)
            found << view->model()->index(r, 0).data().toString();
        return found;
    }
    static QModelIndex cell(QTableView* view, const QString& id, int column) {
        for (int r = 0; r < view->model()->rowCount(); ++r) {
            if (view->model()->index(r, 0).data().toString() == id)
                return view->model()->index(r, column);
        }
        return {};
    }
    static bool counted(QTableView* tools) {
        for (int r = 0; r < tools->model()->rowCount(); ++r) {
            if (tools->model()->index(r, kToolCycles).data().toString() == "counting...")
                return false;
        }
        return true;
    }
    static void clickHeader(QTableView* view, int column) {
        QHeaderView* header = view->horizontalHeader();
        const QPoint at(header->sectionViewportPosition(column) + header->sectionSize(column) / 2,
                        header->height() / 2);
        QTest::mouseClick(header->viewport(), Qt::LeftButton, Qt::NoModifier, at);
    }

    test::TempDir home_;
    AppPaths paths_;
};

TEST_F(RegisterWindowTest, ShowsEachEntrysStateAndFillsInTheCyclesCounted) {
    auto window = open();
    QTableView* tools = table(*window, "registerTools");
    QTableView* references = table(*window, "registerReferences");
    EXPECT_EQ(tools->model()->rowCount(), 4);
    ASSERT_TRUE(test::waitUntil([&] { return counted(tools); }));
    EXPECT_EQ(cell(tools, "W-OK", kToolState).data().toString(), "ok");
    EXPECT_EQ(cell(tools, "W-SOON", kToolState).data().toString(), "due soon");
    EXPECT_EQ(cell(tools, "W-LATE", kToolState).data().toString(), "overdue");
    EXPECT_EQ(cell(tools, "W-NEVER", kToolState).data().toString(), "overdue");
    EXPECT_EQ(cell(tools, "W-NEVER", kToolDue - 1).data().toString(), "never");
    EXPECT_EQ(cell(tools, "W-OK", kToolCycles).data().toString(), "0/5000");
    EXPECT_EQ(cell(tools, "W-OK", 6).data().toString(), "20 N.m");
    EXPECT_EQ(cell(tools, "W-OK", 7).data().toString(), "12 months / 5000 cycles");
    EXPECT_EQ(cell(tools, "W-LATE", 0).data(Qt::ForegroundRole).value<QColor>(), QColor(200, 0, 0));
    EXPECT_EQ(cell(tools, "W-SOON", 3).data(Qt::ForegroundRole).value<QColor>(),
              QColor(204, 102, 0));
    EXPECT_FALSE(cell(tools, "W-OK", 0).data(Qt::ForegroundRole).isValid());

    EXPECT_EQ(cell(references, "R-OK", kReferenceState).data().toString(), "ok");
    EXPECT_EQ(cell(references, "R-LATE", kReferenceState).data().toString(), "overdue");
    EXPECT_EQ(cell(references, "R-OK", 4).data().toString(), "50 N.m");
    EXPECT_FALSE(window->findChild<QLabel*>("registerProblems")->isVisible());
}

// The pulls of the home's tests made with a tool since its last good verification come in from
// the counting thread and make it overdue once they reach its interval's count.
TEST_F(RegisterWindowTest, CyclesOfTheHomesTestsMakeAToolOverdue) {
    RegisteredTool worn = tool("W-WORN", "Norbar", QDate::currentDate().addDays(-10));
    worn.intervalCycles = 3;
    enter(worn);
    const std::string path = home_.folder("Data/2026") + "worn.pdat";
    std::vector<CurvePoint> points;
    for (int pull = 0; pull < 3; ++pull) {
        for (const double value : {0.0, 4.0, 9.0, 4.0, 0.0})
            points.push_back(test::point(0.1 * static_cast<double>(points.size()), value, 1));
    }
    test::writeRecords(path, points);
    Companion companion;
    companion.started = QDate::currentDate().toString(Qt::ISODate).toStdString() + " 09:00:00";
    companion.trace.toolId = "W-WORN";
    // A target to judge the pulls by: only judged pulls are cycles.
    InstrumentSettings settings;
    settings.range = 20;
    settings.decimals = 2;
    settings.target = 9;
    settings.upper = 10;
    settings.lower = 10;
    companion.instruments[1] = {settings};
    ASSERT_TRUE(writeCompanion(companionPath(path), companion).ok());

    auto window = open();
    QTableView* tools = table(*window, "registerTools");
    ASSERT_TRUE(test::waitUntil([&] { return counted(tools); }));
    EXPECT_EQ(cell(tools, "W-WORN", kToolCycles).data().toString(), "3/3");
    EXPECT_EQ(cell(tools, "W-WORN", kToolState).data().toString(), "overdue");
    EXPECT_EQ(cell(tools, "W-OK", kToolCycles).data().toString(), "0/5000");
}

TEST_F(RegisterWindowTest, SortsByAHeaderClickedAndFiltersByTextAndList) {
    auto window = open();
    QTableView* tools = table(*window, "registerTools");
    QTableView* references = table(*window, "registerReferences");
    ASSERT_TRUE(test::waitUntil([&] { return counted(tools); }));
    // By due date: never verified first, then the days in their order, not as texts.
    clickHeader(tools, kToolDue);
    EXPECT_EQ(ids(tools), QStringList({"W-NEVER", "W-LATE", "W-SOON", "W-OK"}));
    clickHeader(tools, kToolDue);
    EXPECT_EQ(ids(tools), QStringList({"W-OK", "W-SOON", "W-LATE", "W-NEVER"}));

    auto* find = window->findChild<QLineEdit*>("registerFind");
    QTest::keyClicks(find, "norBAR");
    EXPECT_EQ(ids(tools), QStringList({"W-OK", "W-LATE"}));
    EXPECT_EQ(window->findChild<QLabel*>("registerShown")->text(), "2 of 4 shown");
    find->clear();

    auto* list = window->findChild<QComboBox*>("registerList");
    list->setFocus();
    QTest::keyClick(list, Qt::Key_Down);
    ASSERT_EQ(list->currentText(), "Overdue");
    EXPECT_EQ(ids(tools), QStringList({"W-LATE", "W-NEVER"}));
    EXPECT_EQ(ids(references), QStringList({"R-LATE"}));
    QTest::keyClick(list, Qt::Key_Down);
    EXPECT_EQ(ids(tools), QStringList({"W-SOON"}));
    QTest::keyClick(list, Qt::Key_Down);
    ASSERT_EQ(list->currentText(), "Due next month");
    EXPECT_EQ(ids(references), QStringList({"R-NEXT"}));
}

TEST_F(RegisterWindowTest, SaysWhatOfTheRegisterCannotBeReadAndRefreshReadsAgain) {
    const std::string tools = LabRegister(paths_.home.toStdString()).toolsPath();
    std::filesystem::rename(tools, tools + ".away");
    std::filesystem::create_directory(tools);
    std::ofstream(LabRegister(paths_.home.toStdString()).referencesPath(), std::ios::app)
        << "R-BAD\tonly a few fields\n";
    auto window = open();
    auto* problems = window->findChild<QLabel*>("registerProblems");
    EXPECT_TRUE(problems->isVisible());
    EXPECT_TRUE(problems->text().startsWith("The register cannot be read: "))
        << problems->text().toStdString();
    EXPECT_TRUE(problems->text().contains("References.tsv line 5"))
        << problems->text().toStdString();
    EXPECT_EQ(table(*window, "registerTools")->model()->rowCount(), 0);
    EXPECT_EQ(table(*window, "registerReferences")->model()->rowCount(), 3);

    std::filesystem::remove(tools);
    std::filesystem::rename(tools + ".away", tools);
    enter(tool("W-NEW", "Norbar", QDate::currentDate()));
    QTest::mouseClick(window->findChild<QPushButton*>("registerRefresh"), Qt::LeftButton);
    EXPECT_FALSE(problems->text().contains("cannot be read:"));
    EXPECT_EQ(ids(table(*window, "registerTools")),
              QStringList({"W-LATE", "W-NEVER", "W-NEW", "W-OK", "W-SOON"}));
}

TEST_F(RegisterWindowTest, SpeaksSimplifiedChinese) {
    auto window = open(QStringLiteral(VORNEX_LANG_DIR "/zh_CN.ini"));
    QTableView* tools = table(*window, "registerTools");
    ASSERT_TRUE(test::waitUntil([&] {
        return cell(tools, "W-SOON", kToolState).data().toString() == QStringLiteral("即将到期");
    }));
    EXPECT_EQ(cell(tools, "W-LATE", kToolState).data().toString(), QStringLiteral("已逾期"));
    EXPECT_EQ(cell(tools, "W-OK", kToolState).data().toString(), QStringLiteral("正常"));
    EXPECT_EQ(tools->model()->headerData(kToolState, Qt::Horizontal).toString(),
              QStringLiteral("状态"));
    EXPECT_EQ(window->windowTitle(), QStringLiteral("工具与标准器台账"));
}

}  // namespace
}  // namespace vornex
