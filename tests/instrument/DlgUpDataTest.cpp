#include <gtest/gtest.h>

#include <QComboBox>
#include <QDate>
#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>

#include "Files.h"
#include "LineFixture.h"
#include "MessageRecorder.h"
#include "TempDir.h"
#include "WorkbookReader.h"
#include "instrument/CDlgUpData.h"
#include "instrument/RecordListModel.h"
#include "link/ModbusLink.h"
#include "sim/StoredRecords.h"

namespace vornex {
namespace {

using namespace std::chrono_literals;

const QString kEnglish = QStringLiteral(VORNEX_LANG_DIR "/en_US.ini");
constexpr int kWaitMs = 30000;

class DlgUpDataTest : public test::LineFixture {
protected:
    void startSim(int records) {
        sim::InstrumentConfig c = test::instrument(2);
        c.recordCount = records;
        startLine({c});
    }
    void open(int records) {
        startSim(records);
        makeDialog(QString::fromStdString(linkPath));
    }
    void makeDialog(const QString& port, bool panelConnected = false,
                    const QString& language = kEnglish) {
        dialog = std::make_unique<CDlgUpData>(language, port, panelConnected);
        dialog->setPeriod(1ms);
        dialog->setWorkbookOpener([this](const QString& path) {
            opened.push_back(path);
            return spreadsheetInstalled;
        });
        dialog->setSaveChooser(
            [this](const QString& caption, const QString& proposed, const QString&, QString*) {
                chooser.push_back({caption, proposed});
                return chosenPath;
            });
        dialog->findChild<QComboBox*>("slave")->setCurrentIndex(1);
        dialog->show();
    }

    void click(const char* name) { QTest::mouseClick(button(name), Qt::LeftButton); }
    QString text(const char* edit) { return dialog->findChild<QLineEdit*>(edit)->text(); }
    int rows() { return dialog->records().rowCount(); }
    QPushButton* button(const char* name) { return dialog->findChild<QPushButton*>(name); }
    // The uploaded rows equal the instrument's first `count` records, except those that failed.
    int failedRows(int count) {
        const auto records = sim::makeStoredRecords(count, 1 * 131 + 2);
        int failed = 0;
        for (uint16_t k = 1; k <= count; ++k) {
            const RecordRow& row = dialog->records().table().rows[k - 1u];
            if (row == failedRecordRow(k))
                ++failed;
            else
                EXPECT_EQ(row, formatRecord(k, records[k - 1u])) << "record " << k;
        }
        return failed;
    }
    bool portFree() {
        ModbusLink other;
        return other.open(linkPath) == OpenResult::Opened;
    }

    test::MessageRecorder messages;
    std::unique_ptr<CDlgUpData> dialog;
    std::vector<QString> opened;
    bool spreadsheetInstalled = true;
    std::vector<std::pair<QString, QString>> chooser;
    QString chosenPath;
};

TEST_F(DlgUpDataTest, UploadsAndExports) {
    open(12);
    EXPECT_FALSE(button("upload")->isEnabled());
    click("confirm");
    ASSERT_TRUE(dialog->isLinked());
    EXPECT_EQ(button("confirm")->text(), "Disconnect");
    EXPECT_EQ(text("range"), "500.0");
    EXPECT_EQ(text("count"), "12");
    click("upload");
    QTRY_COMPARE_WITH_TIMEOUT(rows(), 12, kWaitMs);
    QTRY_VERIFY_WITH_TIMEOUT(!dialog->isUploading(), kWaitMs);
    EXPECT_EQ(dialog->findChild<QProgressBar*>("progress")->value(), 12);
    EXPECT_EQ(failedRows(12), 0);

    click("export");
    ASSERT_EQ(opened.size(), 1u);
    const QString today = QDate::currentDate().toString("yyyyMMdd");
    EXPECT_EQ(QFileInfo(opened[0]).fileName(), "Slave_2-" + today + ".xlsx");
    EXPECT_FALSE(QFileInfo(opened[0]).permissions() & QFileDevice::WriteOwner)
        << "the spreadsheet's Save must ask where";
    const auto cells =
        test::readSheet(test::zipMember(opened[0].toStdString(), "xl/worksheets/sheet1.xml"));
    EXPECT_EQ(cells.at("A13").text, "12");
    EXPECT_EQ(cells.count("A14"), 0u);

    // Without a spreadsheet application "Save as" opens at once, saying why, and the saved file
    // is named in a message; the copy meant for the application is gone.
    test::TempDir saved;
    spreadsheetInstalled = false;
    chosenPath = QString::fromStdString(saved.path() + "/chosen");
    click("export");
    ASSERT_EQ(chooser.size(), 1u);
    EXPECT_TRUE(chooser[0].first.startsWith("No spreadsheet application"))
        << chooser[0].first.toStdString();
    EXPECT_TRUE(chooser[0].second.endsWith("/Slave_2-" + today + ".xlsx"));
    EXPECT_FALSE(QFileInfo::exists(opened[1]));
    EXPECT_EQ(dialog->lastExport(), chosenPath + ".xlsx");
    EXPECT_TRUE(QFileInfo::exists(chosenPath + ".xlsx"));
    ASSERT_EQ(messages.messages.size(), 1u);
    EXPECT_TRUE(messages.messages[0].text.startsWith("The workbook was saved:"));
    EXPECT_TRUE(messages.messages[0].text.endsWith(chosenPath + ".xlsx"));

    EXPECT_EQ(dialog->saveAs(QString::fromStdString(saved.path() + "/r.csv")), "");
    EXPECT_TRUE(QFileInfo(QString::fromStdString(saved.path() + "/r.csv")).size() > 0);
    QDir(QFileInfo(opened[0]).path()).removeRecursively();

    // The file dialog is titled with the button's words, without its dots.
    chosenPath.clear();
    click("saveAs");
    ASSERT_EQ(chooser.size(), 2u);
    EXPECT_EQ(chooser[1].first, "Save as");
}

// No records: the upload asks the instrument nothing, and there is nothing to export.
TEST_F(DlgUpDataTest, NoRecords) {
    open(0);
    click("confirm");
    const uint64_t frames = line->counters().frames;
    click("upload");
    QTRY_VERIFY_WITH_TIMEOUT(!dialog->isUploading(), kWaitMs);
    EXPECT_EQ(rows(), 0);
    EXPECT_EQ(line->counters().frames, frames);
    click("export");
    ASSERT_EQ(messages.messages.size(), 1u);
    EXPECT_EQ(messages.messages[0].text, "There is no data to export.");
    EXPECT_TRUE(opened.empty());
}

// A list of a transfer that has not finished is saved under its partial name, whatever name is
// chosen, and never over a complete list.
TEST_F(DlgUpDataTest, ConfirmOrCloseDuringUploadStopsAndReleasesAndAPartialListIsSavedAside) {
    open(1000);
    dialog->setPeriod(20ms);
    test::TempDir saved;
    chosenPath = QString::fromStdString(saved.path() + "/keep.xlsx");
    test::writeBytes(chosenPath.toStdString(), "complete");
    click("confirm");
    click("upload");
    QTRY_VERIFY_WITH_TIMEOUT(rows() >= 2, kWaitMs);
    click("saveAs");
    ASSERT_EQ(chooser.size(), 1u);
    EXPECT_TRUE(chooser[0].second.endsWith(".partial.xlsx")) << chooser[0].second.toStdString();
    EXPECT_EQ(test::readBytes(chosenPath.toStdString()), "complete");
    const QString partial = QString::fromStdString(saved.path() + "/keep.partial.xlsx");
    EXPECT_EQ(dialog->lastExport(), partial);
    EXPECT_TRUE(QFileInfo(partial).size() > 0);
    ASSERT_EQ(messages.messages.size(), 1u);
    EXPECT_TRUE(messages.messages[0].text.endsWith(partial));

    click("confirm");
    EXPECT_FALSE(dialog->isLinked());
    EXPECT_FALSE(dialog->isUploading());
    EXPECT_TRUE(portFree());
    // The link is closed: only what it delivered before may still be queued for the list.
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents();
    const int kept = rows();
    EXPECT_GE(kept, 2);
    EXPECT_LT(kept, 1000);
    EXPECT_EQ(button("confirm")->text(), "Connect");
    EXPECT_FALSE(button("upload")->isEnabled());

    // Upload during a transfer starts again from record 1.
    click("confirm");
    click("upload");
    QTRY_VERIFY_WITH_TIMEOUT(rows() >= 3, kWaitMs);
    click("upload");
    QTRY_VERIFY_WITH_TIMEOUT(rows() >= 2, kWaitMs);
    EXPECT_EQ(dialog->records().table().rows[0][0], "1");
    EXPECT_EQ(dialog->records().table().rows[1][0], "2");

    // Closing the dialog during a transfer stops it and releases the port too.
    EXPECT_EQ(button("close")->text(), "Close");
    click("close");
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_FALSE(dialog->isUploading());
    EXPECT_TRUE(portFree());
}

TEST_F(DlgUpDataTest, FailedReadsAreMarkedAndReported) {
    open(8);
    click("confirm");
    line->faults().setDropFraction(0.4);
    click("upload");
    QTRY_VERIFY_WITH_TIMEOUT(!dialog->isUploading(), kWaitMs);
    ASSERT_EQ(rows(), 8);
    EXPECT_GT(failedRows(8), 0);
    ASSERT_EQ(messages.messages.size(), 1u);
    EXPECT_EQ(messages.messages[0].text, "A stored record could not be read and is not shown.");
}

TEST_F(DlgUpDataTest, RefusedConfirms) {
    startSim(3);
    makeDialog(QString::fromStdString(linkPath), true);
    click("confirm");
    makeDialog(QString());
    click("confirm");
    ASSERT_EQ(messages.messages.size(), 2u);
    EXPECT_TRUE(messages.messages[0].text.startsWith("The polling link is open"));
    EXPECT_TRUE(messages.messages[1].text.startsWith("No serial port is selected"));
    EXPECT_FALSE(dialog->isLinked());

    // A failed link leaves the dialog unlinked, and the next Confirm tries again.
    makeDialog(QString::fromStdString(linkPath));
    dialog->findChild<QComboBox*>("slave")->setCurrentIndex(9);
    click("confirm");
    EXPECT_FALSE(dialog->isLinked());
    EXPECT_TRUE(messages.messages[2].text.startsWith("Communication with the instrument"));
    dialog->findChild<QComboBox*>("slave")->setCurrentIndex(1);
    click("confirm");
    EXPECT_TRUE(dialog->isLinked());

    // The port held by the control panel's polling is named as such.
    click("confirm");
    ModbusLink panel;
    ASSERT_EQ(panel.open(linkPath), OpenResult::Opened);
    dialog->setPolledPort([this] { return QString::fromStdString(linkPath); });
    click("confirm");
    EXPECT_FALSE(dialog->isLinked());
    ASSERT_EQ(messages.messages.size(), 4u);
    EXPECT_TRUE(messages.messages[3].text.startsWith("The control panel polls"));
    // A port that takes a second master (a network gateway does) is refused all the same.
    panel.close();
    click("confirm");
    EXPECT_FALSE(dialog->isLinked());
    ASSERT_EQ(messages.messages.size(), 5u);
    EXPECT_TRUE(messages.messages[4].text.startsWith("The control panel polls"));
}

// A language file without the list's words: the list, and so its exports, keep the built-in
// words instead of "Not Found".
TEST_F(DlgUpDataTest, WordsMissingFromTheLanguageFileStayTheListsOwn) {
    startSim(8);
    test::TempDir folder;
    test::writeFile(folder.qFile("de.ini"), "[Setting]\nLanguage=de_DE\n[String]\n");
    makeDialog(QString::fromStdString(linkPath), false, folder.qFile("de.ini"));
    click("confirm");
    click("upload");
    QTRY_VERIFY_WITH_TIMEOUT(!dialog->isUploading(), kWaitMs);
    ASSERT_EQ(failedRows(8), 0);
    const RecordTable shown = dialog->records().shownTable();
    EXPECT_EQ(shown.rows, dialog->records().table().rows);
    EXPECT_EQ(shown.headers, dialog->records().table().headers);
}

}  // namespace
}  // namespace vornex
