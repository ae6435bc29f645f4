#include <gtest/gtest.h>

#include <fstream>

#include <QComboBox>
#include <QDateEdit>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "MessageRecorder.h"
#include "TempDir.h"
#include "browser/CDlgSelData.h"
#include "record/CompanionFile.h"
#include "record/TestFile.h"

namespace vornex {
namespace {

const QString kEnglish = QStringLiteral(VORNEX_LANG_DIR "/en_US.ini");
const QDate kDay(2026, 1, 15);

class DlgSelDataTest : public ::testing::Test {
protected:
    void SetUp() override {
        data = QString::fromStdString(dir.folder("Data"));
        QDir().mkpath(data + "20260115");
        std::vector<CurvePoint> points;
        for (int i = 0; i < 14; ++i)
            points.push_back(CurvePoint{1.0 * i, 0.0, static_cast<uint8_t>(i < 10 ? 1 : 3), {}});
        ASSERT_TRUE(TestFile((data + "20260115/b.pdat").toStdString())
                        .append(points.data(), points.size())
                        .ok());
        ASSERT_TRUE(
            TestFile((data + "20260115/a.pdat").toStdString()).append(points.data(), 2).ok());
        QDir().mkpath(data + "20260115/folder.pdat");
    }

    void open(bool testOpen = false, bool recording = false) {
        dialog = std::make_unique<CDlgSelData>(kEnglish, data, testOpen, recording, nullptr, kDay);
        dialog->show();
    }
    QComboBox* files() { return dialog->findChild<QComboBox*>("files"); }
    QComboBox* curves() { return dialog->findChild<QComboBox*>("curves"); }
    QString points() { return dialog->findChild<QLineEdit*>("points")->text(); }
    void clickOk() { QTest::mouseClick(dialog->findChild<QPushButton*>("ok"), Qt::LeftButton); }
    void choose(QComboBox* box, int index) {
        box->setFocus();
        box->setCurrentIndex(index == 0 ? 1 : index - 1);
        QTest::keyClick(box, index == 0 ? Qt::Key_Up : Qt::Key_Down);
    }

    test::TempDir dir;
    QString data;
    test::MessageRecorder messages;
    std::unique_ptr<CDlgSelData> dialog;
};

TEST_F(DlgSelDataTest, ListsAndCounts) {
    open();
    ASSERT_EQ(files()->count(), 2);
    EXPECT_EQ(files()->itemText(0), "a.pdat");
    EXPECT_EQ(files()->itemText(1), "b.pdat");
    EXPECT_EQ(points(), "2");

    choose(files(), 1);
    EXPECT_EQ(points(), "10");
    choose(curves(), 2);
    EXPECT_EQ(points(), "4");
    choose(curves(), 1);
    EXPECT_EQ(points(), "0");
    choose(curves(), 4);
    choose(files(), 0);
    EXPECT_EQ(curves()->currentIndex(), 0);
    EXPECT_EQ(points(), "2");
    choose(files(), 1);

    clickOk();
    EXPECT_EQ(dialog->result(), QDialog::Accepted);
    EXPECT_EQ(dialog->filePath(), data + "20260115/b.pdat");
    EXPECT_TRUE(messages.messages.empty());
}

TEST_F(DlgSelDataTest, ShowsTheSettingsTheChosenInstrumentRecordedWith) {
    Companion companion;
    InstrumentSettings s;
    s.unit = 2;
    s.decimals = 1;
    s.target = 509.9;
    s.upper = 5.0;
    s.lower = 2.5;
    companion.instruments[3] = {s};
    ASSERT_TRUE(writeCompanion((data + "20260115/b.ini").toStdString(), companion).ok());
    open();
    QLabel* settings = dialog->findChild<QLabel*>("settings");
    EXPECT_EQ(settings->text(), "") << "a.pdat has no companion file";
    choose(files(), 1);
    EXPECT_EQ(settings->text(), "b.ini") << "nothing recorded of slave 1";
    choose(curves(), 2);
    EXPECT_EQ(settings->text(), "b.ini: kgf.cm, Target 509.9 (+5.0 % / -2.5 %)");
    // Settings no instrument can hold are not shown as if they were believed.
    std::ofstream((data + "20260115/a.ini").toStdString()) << "[Slave_1]\nTarget=nan\n";
    choose(files(), 0);
    EXPECT_TRUE(settings->text().startsWith("settings refused, judged without settings: "))
        << settings->text().toStdString();
    EXPECT_TRUE(settings->text().endsWith("a.ini [Slave_1] Target=nan: not a number"));
}

TEST_F(DlgSelDataTest, DayWithoutFolder) {
    open();
    dialog->findChild<QDateEdit*>("date")->setDate(QDate(2026, 1, 16));
    EXPECT_EQ(files()->count(), 0);
    EXPECT_EQ(points(), "0");
    EXPECT_FALSE(QFileInfo::exists(data + "20260116"));
    // The file path keeps the former file, but OK is refused with no file listed.
    EXPECT_EQ(dialog->filePath(), data + "20260115/a.pdat");
    clickOk();
    EXPECT_EQ(dialog->result(), QDialog::Rejected);
    ASSERT_EQ(messages.messages.size(), 1u);
    EXPECT_TRUE(messages.messages[0].text.startsWith("There is no data file to show"));
}

// Opening makes today's folder, unless a test is open and the browser is refused.
TEST_F(DlgSelDataTest, OpeningMakesTodaysFolderAndRefusals) {
    dialog =
        std::make_unique<CDlgSelData>(kEnglish, data, false, false, nullptr, QDate(2026, 2, 1));
    EXPECT_TRUE(QFileInfo(data + "20260201").isDir());
    EXPECT_EQ(files()->count(), 0);
    EXPECT_EQ(points(), "");

    open(false, true);
    clickOk();
    EXPECT_EQ(dialog->result(), QDialog::Rejected);
    dialog = std::make_unique<CDlgSelData>(kEnglish, data, true, false, nullptr, QDate(2026, 3, 1));
    EXPECT_EQ(dialog->exec(), QDialog::Rejected);
    EXPECT_FALSE(QFileInfo::exists(data + "20260301"));
    ASSERT_EQ(messages.messages.size(), 2u);
    EXPECT_TRUE(messages.messages[0].text.startsWith("There is no data file to show"));
    EXPECT_EQ(messages.messages[1].text, "Close the current test before viewing test data.");
}

}  // namespace
}  // namespace vornex
