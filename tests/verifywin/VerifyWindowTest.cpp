#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QCryptographicHash>
#include <QDialog>
#include <QFileDialog>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTableWidget>
#include <QTest>
#include <QTimer>

#include "Files.h"
#include "MessageRecorder.h"
#include "PdfText.h"
#include "TempDir.h"
#include "Wait.h"
#include "config/BenchConfig.h"
#include "files/HomeOutputs.h"
#include "record/HeadlessGraph.h"
#include "register/LabRegister.h"
#include "session/AcquisitionSession.h"
#include "session/qt/SessionDriver.h"
#include "session/qt/SessionSignals.h"
#include "sim/SimCommands.h"
#include "sim/SimOptions.h"
#include "verify/Profile.h"
#include "verify/RunFile.h"
#include "verifywin/StationPane.h"
#include "verifywin/VerifyWindow.h"

namespace vornex {
namespace {

using test::waitUntil;

// A station's widget by its object name; a failure when there is none.
template <typename Widget>
Widget* part(const StationPane& station, const char* name) {
    auto* widget = station.findChild<Widget*>(QLatin1String(name));
    EXPECT_NE(widget, nullptr) << name;
    return widget;
}
QLineEdit* field(const StationPane& station, const char* name) {
    return part<QLineEdit>(station, name);
}
QPushButton* button(const StationPane& station, const char* name) {
    return part<QPushButton>(station, name);
}
QLabel* label(const StationPane& station, const char* name) {
    return part<QLabel>(station, name);
}
QComboBox* list(const StationPane& station, const char* name) {
    return part<QComboBox>(station, name);
}
QTableWidget* readings(const StationPane& station) {
    return part<QTableWidget>(station, "readings");
}
// The Certificate... dialog open for the run file `runPath`, or nullptr.
QFileDialog* certificateDialog(const StationPane& station, const QString& runPath) {
    return station.findChild<QFileDialog*>(QStringLiteral("certificate:") + runPath);
}

// The simulated line served from this process and driven with the simulator's own commands. A
// simulator process would be started while the test's threads run, and its vfork-style start
// shares the parent's memory, which ThreadSanitizer cannot follow.
class LineInProcess {
public:
    LineInProcess(const std::string& link, const std::vector<std::string>& args) {
        std::string error;
        const auto options = sim::parseSimOptions(args, error);
        line_ = std::make_unique<sim::SimulatedLine>(options->toConfig());
        ready = line_->startPty(link, error);
        commands_ = std::make_unique<sim::SimCommands>(*line_, link);
    }
    QString command(const QString& text) {
        return QString::fromStdString(commands_->execute(text.toStdString()));
    }

    bool ready = false;

private:
    std::unique_ptr<sim::SimulatedLine> line_;
    std::unique_ptr<sim::SimCommands> commands_;
};

const QString kPreload = "Apply the tool at its maximum — preload 1 of 1";
QString setTo(const char* setting, int reading, int readings) {
    return QString("Set the tool to %1 N.m and apply it — reading %2 of %3")
        .arg(setting)
        .arg(reading)
        .arg(readings);
}
QString setTo(const char* setting, int reading) {
    return setTo(setting, reading, 2);
}

// Three "1P" instruments on a simulated line polled by the session, short profiles in the home
// folder, and the verification window on them.
class VerifyWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(sim.ready);
        for (const char* address : {"1", "2", "3"})
            ASSERT_EQ(sim.command(QString("keypad %1 measure 3").arg(address)), "ok");
        QDir().mkpath(paths.home + "Profiles");
        writeProfile("Quick", {50, 100}, 2, 1);
        writeProfile("Single", {100}, 1, 0);
        for (const uint8_t address : {uint8_t{1}, uint8_t{2}, uint8_t{3}})
            session.addDevice(address);
        ASSERT_EQ(session.connect(link.toStdString()), OpenResult::Opened);
    }

    void writeProfile(const std::string& name, std::vector<double> points, int readings,
                      int preloads) {
        verify::Profile profile;
        profile.name = name;
        profile.points = std::move(points);
        profile.readings = readings;
        profile.preloads = preloads;
        profile.loadingMin = 0.0;  // the simulator's pulls rise in 100 ms
        test::writeFile(paths.home + "Profiles/" + QString::fromStdString(name) + ".ini",
                        QByteArray::fromStdString(verify::profileText(profile)));
    }

    // The instrument at `address` as a run file binds it, said here independently of the station.
    verify::Reference reference(uint8_t address, const std::string& name = {}) {
        EXPECT_TRUE(waitUntil([&] { return session.instrumentFacts(address).has_value(); }));
        verify::Reference r{link.toStdString(), address, name, {}, 100.0, 2, "1P", "N.m"};
        if (const auto facts = session.instrumentFacts(address))
            r.identification = facts->identification;
        return r;
    }

    // A run file of the "Single" plan (one reading at 80 N.m) bound to `r` in its header, with
    // `events` after it; Data/Verify/20250101/TOOL-100000.txt.
    QString writeRun(const verify::Reference& r, const QString& tool, const QStringList& events) {
        const QString path = paths.dataFolder + "Verify/20250101/" + tool + "-100000.txt";
        QDir().mkpath(QFileInfo(path).path());
        QString text = "Vornex tool verification run\nTool: " + tool +
                       "\nDescription: \nType: \nClass: A\nLowest: not given\nMaximum: 80\n"
                       "Unit: N.m\nDirection: clockwise\nProfile: Single\nStandard: \n"
                       "Points: 100\nReadings: 1\nPreloads: 0\nPermissible: 4\nSlips: ask\n"
                       "Decimals: 2\nOperator: \nTemperature: not given\nHumidity: not given\n"
                       "Reference due: not given\nInstrument: " +
                       QString::fromStdString(r.description()) +
                       "\nIdentification: " + QString::fromStdString(r.identification) +
                       "\nPort: " + QString::fromStdString(r.port) +
                       QString("\nSlave: %1").arg(r.address) +
                       "\nName: " + QString::fromStdString(r.name) +
                       "\nRange: 100\nMode: " + QString::fromStdString(r.mode) +
                       "\nStarted: 2025-01-01T10:00:00\n";
        for (const QString& event : events)
            text += "2025-01-01T10:00:05 " + event + "\n";
        test::writeFile(path, text.toUtf8());
        return path;
    }
    const QStringList ended{"reading 100 1 80.00 80.00 +0.00 conforms",
                            "point 100 mean 80.00 deviation +0.00 spread 0.00 share 0.00",
                            "result conforms"};

    std::unique_ptr<VerifyWindow> openWindow() {
        auto window = std::make_unique<VerifyWindow>(live, paths, VORNEX_LANG_DIR "/en_US.ini");
        window->show();
        return window;
    }

    // The station of `address` opened with its button, once the instrument answers.
    StationPane* open(VerifyWindow& window, uint8_t address) {
        EXPECT_TRUE(waitUntil([&] {
            return window.instrumentButton(address) &&
                   window.instrumentButton(address)->isEnabled();
        }));
        QTest::mouseClick(window.instrumentButton(address), Qt::LeftButton);
        return window.station(address);
    }

    // The tool typed in and the run started on the short profile; a temperature outside its
    // limits is confirmed by a second Start.
    void start(StationPane& station, const QString& tool, const QString& temperature = "22",
               const QString& profile = "Quick") {
        QTest::keyClicks(field(station, "toolId"), tool);
        QTest::keyClicks(field(station, "maximum"), "80");
        QTest::keyClicks(field(station, "due"), "2027-03-01");
        QTest::keyClicks(field(station, "temperature"), temperature);
        QTest::keyClicks(field(station, "humidity"), "40");
        list(station, "profiles")->setCurrentText(profile);
        QTest::mouseClick(button(station, "start"), Qt::LeftButton);
        if (temperature != "22") {
            ASSERT_EQ(station.run(), nullptr) << "started without a confirmation";
            QTest::mouseClick(button(station, "start"), Qt::LeftButton);
        }
        ASSERT_NE(station.run(), nullptr) << label(station, "message")->text().toStdString();
    }

    // Waits for `prompt`, then pulls the tool to `peak` ("slip" pulls without a click).
    void pull(StationPane& station, const QString& prompt, const QString& peak,
              const char* kind = "pull") {
        ASSERT_TRUE(waitUntil([&] { return label(station, "prompt")->text() == prompt; }))
            << label(station, "prompt")->text().toStdString();
        sim.command(QString("%1 %2 %3").arg(kind).arg(station.address()).arg(peak));
    }

    // The file dialog that asks where `station`'s certificate of `run` goes, answered by typing
    // `path` and Enter.
    void saveAs(StationPane& station, const QString& run, const QString& path) {
        QFileDialog* dialog = certificateDialog(station, run);
        ASSERT_NE(dialog, nullptr);
        auto* name = dialog->findChild<QLineEdit*>("fileNameEdit");
        ASSERT_NE(name, nullptr);
        // As a user in front of it: the dialog active, the name clicked into.
        dialog->activateWindow();
        ASSERT_TRUE(waitUntil([&] { return QApplication::activeWindow() == dialog; }));
        QTest::mouseClick(name, Qt::LeftButton);
        ASSERT_TRUE(name->hasFocus());
        QTest::keyClick(name, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(name, path);
        QTest::keyClick(name, Qt::Key_Return);
        EXPECT_TRUE(waitUntil([&] { return certificateDialog(station, run) == nullptr; }));
    }

    // Sign... pressed and its dialog filled as a user would: the meaning chosen, a name typed, Sign
    // pressed. What a dialog refused to sign says stays in it: it goes to `refused`, and the
    // dialog is closed.
    static void signWith(QPushButton* sign, int meaning, const QString& name, QString& refused) {
        QTimer::singleShot(0, [&] {
            auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            ASSERT_NE(dialog, nullptr);
            dialog->findChild<QComboBox*>("signMeaning")->setCurrentIndex(meaning);
            QTest::keyClicks(dialog->findChild<QLineEdit*>("signName"), name);
            QTest::mouseClick(dialog->findChild<QPushButton*>("signOk"), Qt::LeftButton);
            if (dialog->isVisible()) {
                refused = dialog->findChild<QLabel*>("signMessage")->text();
                dialog->reject();
            }
        });
        QTest::mouseClick(sign, Qt::LeftButton);
    }

    // The run of `tool` on the one-reading plan, pulled to 80 N.m: ended, conforming.
    void finish(StationPane& station, const QString& tool) {
        ASSERT_NO_FATAL_FAILURE(start(station, tool, "22", "Single"));
        ASSERT_NO_FATAL_FAILURE(pull(station, setTo("80.00", 1, 1), "80"));
        ASSERT_TRUE(waitUntil([&] { return station.run()->ended(); }));
    }

    test::TempDir home;
    const AppPaths paths = AppPaths::forHome(home.qPath());
    const QString link = home.qFile("ttyVERIFY");
    LineInProcess sim{link.toStdString(),
                      {"--slaves", "1,2,3", "--range", "100", "--value", "0", "--decimals", "2",
                       "--hold", "1.5"}};
    HeadlessGraph graph;
    AcquisitionSession session{paths.dataFolder.toStdString(), graph};
    SessionSignals live{session};
    SessionDriver driver{session};
};

// Both stations run at once; the first one's slip question stays open while the second takes
// its readings, and is answered in the view: dropped and taken again.
TEST_F(VerifyWindowTest, TwoStationsRunAtOnceAndASlipIsAnsweredInItsStation) {
    const auto window = openWindow();
    StationPane* first = open(*window, 1);
    StationPane* second = open(*window, 2);
    QSignalSpy finished(window.get(), &VerifyWindow::runFinished);
    ASSERT_NO_FATAL_FAILURE(start(*first, "W-1"));
    ASSERT_NO_FATAL_FAILURE(start(*second, "W-2"));
    ASSERT_NO_FATAL_FAILURE(pull(*first, kPreload, "80"));
    ASSERT_NO_FATAL_FAILURE(pull(*second, kPreload, "80"));
    ASSERT_NO_FATAL_FAILURE(pull(*first, setTo("40.00", 1), "10", "slip"));
    ASSERT_TRUE(waitUntil([&] { return button(*first, "slipRepeat")->isVisible(); }));

    ASSERT_NO_FATAL_FAILURE(pull(*second, setTo("40.00", 1), "40.4"));
    ASSERT_NO_FATAL_FAILURE(pull(*second, setTo("40.00", 2), "39.6"));
    ASSERT_NO_FATAL_FAILURE(pull(*second, setTo("80.00", 1), "80"));
    ASSERT_NO_FATAL_FAILURE(pull(*second, setTo("80.00", 2), "84"));
    ASSERT_TRUE(waitUntil([&] { return second->run()->ended(); }));
    EXPECT_EQ(label(*second, "prompt")->text(), "The tool does not conform");
    EXPECT_TRUE(button(*first, "slipRepeat")->isVisible()) << "still asked";

    QTest::mouseClick(button(*first, "slipRepeat"), Qt::LeftButton);
    ASSERT_NO_FATAL_FAILURE(pull(*first, setTo("40.00", 1), "40"));
    ASSERT_NO_FATAL_FAILURE(pull(*first, setTo("40.00", 2), "40.8"));
    ASSERT_NO_FATAL_FAILURE(pull(*first, setTo("80.00", 1), "80"));
    ASSERT_NO_FATAL_FAILURE(pull(*first, setTo("80.00", 2), "79"));
    ASSERT_TRUE(waitUntil([&] { return first->run()->ended(); }));
    EXPECT_EQ(label(*first, "prompt")->text(), "The tool conforms");
    EXPECT_EQ(readings(*first)->rowCount(), 4);
    EXPECT_EQ(readings(*first)->item(1, 2)->text(), "-1.96");

    const QString file =
        QString::fromUtf8(test::readFile(QString::fromStdString(first->run()->path())));
    EXPECT_TRUE(file.contains(" slip 50 1 40.00 10.00 repeated\n")) << file.toStdString();
    EXPECT_TRUE(file.contains("\nReference due: 2027-03-01\n"));
    EXPECT_TRUE(file.endsWith(" result conforms\n"));
    ASSERT_EQ(finished.count(), 2) << "each ended run goes to the store once";
    EXPECT_EQ(finished.at(1).at(0).toString().toStdString(), first->run()->path());
    EXPECT_FALSE(first->saveCertificate(QString::fromStdString(first->run()->path())));
    EXPECT_TRUE(
        test::readFile(QString::fromStdString(first->run()->path())).contains(" result conforms\n"))
        << "the run file is kept";
    EXPECT_TRUE(first->saveCertificate(home.qFile("W-1.pdf")));
    EXPECT_TRUE(test::readFile(home.qFile("W-1.pdf")).startsWith("%PDF-"));
}

// A run left when its window closed is offered on the same instrument, resumed, and abandoned
// with the reason given: its file ends so, and it has no certificate.
TEST_F(VerifyWindowTest, AClosedWindowsRunIsResumedAndAbandonedWithAReason) {
    QString path;
    {
        const auto window = openWindow();
        StationPane* station = open(*window, 1);
        ASSERT_NO_FATAL_FAILURE(start(*station, "W-3", "35"));
        ASSERT_NO_FATAL_FAILURE(pull(*station, kPreload, "80"));
        ASSERT_TRUE(
            waitUntil([&] { return label(*station, "prompt")->text() == setTo("40.00", 1); }));
        path = QString::fromStdString(station->run()->path());
    }
    const auto window = openWindow();
    StationPane* station = open(*window, 1);
    QSignalSpy finished(window.get(), &VerifyWindow::runFinished);
    ASSERT_TRUE(waitUntil([&] { return list(*station, "unfinished")->count() == 1; }));
    EXPECT_EQ(field(*station, "due")->text(), "") << "nothing kept for an instrument unnamed";
    QTest::mouseClick(button(*station, "resume"), Qt::LeftButton);
    ASSERT_TRUE(waitUntil([&] { return label(*station, "prompt")->text() == setTo("40.00", 1); }));

    QTest::keyClicks(field(*station, "reason"), "tool broke");
    QTest::mouseClick(button(*station, "abort"), Qt::LeftButton);
    std::string error;
    const auto stored = verify::readRunFile(path.toStdString(), error);
    ASSERT_TRUE(stored) << error;
    EXPECT_TRUE(stored->ended && stored->abandoned);
    EXPECT_EQ(stored->abandonReason, "tool broke");
    EXPECT_EQ(stored->pulls.size(), 1u);
    EXPECT_EQ(stored->plan.temperature, 35.0);
    EXPECT_TRUE(test::readFile(path).contains("ambient conditions")) << "the confirmation is kept";
    EXPECT_EQ(label(*station, "prompt")->text(), "Abandoned: tool broke");
    EXPECT_EQ(finished.count(), 1) << "an abandoned run goes to the store too";
    EXPECT_FALSE(station->saveCertificate(home.qFile("W-3.pdf")));
}

// A line pulled in the middle of a run is waited for; the run goes on at the next reading once the
// session has the line back, with the gap in its file.
TEST_F(VerifyWindowTest, ALostLineIsWaitedForAndTheRunGoesOnAtTheNextReading) {
    const auto window = openWindow();
    StationPane* station = open(*window, 1);
    ASSERT_NO_FATAL_FAILURE(start(*station, "W-4"));
    ASSERT_NO_FATAL_FAILURE(pull(*station, kPreload, "80"));
    ASSERT_TRUE(waitUntil([&] { return label(*station, "prompt")->text() == setTo("40.00", 1); }));
    ASSERT_EQ(sim.command("unplug"), "ok");
    ASSERT_TRUE(waitUntil([&] { return station->run()->lineDown(); }));
    ASSERT_TRUE(sim.command("replug").startsWith("ok"));
    ASSERT_NO_FATAL_FAILURE(pull(*station, setTo("40.00", 1), "40.4"));
    ASSERT_TRUE(waitUntil([&] { return readings(*station)->rowCount() == 1; }));
    EXPECT_EQ(readings(*station)->item(0, 1)->text(), "40.40");
    const QString file =
        QString::fromUtf8(test::readFile(QString::fromStdString(station->run()->path())));
    EXPECT_TRUE(file.contains(" line lost\n") && file.contains(" line back\n"))
        << file.toStdString();
}

// The window opens wide enough for three stations side by side, within a 1920-wide screen: every
// field, label and column heading of each reads whole, before the run and during it.
TEST_F(VerifyWindowTest, TheWindowOpensWideEnoughForThreeStationsSideBySide) {
    const auto window = openWindow();
    const QSize wanted = window->sizeHint();
    EXPECT_LE(wanted.width(), 1920);
    EXPECT_EQ(window->size(), wanted.boundedTo(window->screen()->availableGeometry().size()));
    // The test's screen is 800 wide: the window as it opens on a screen with room for it.
    window->resize(wanted);
    std::vector<StationPane*> stations;
    for (const uint8_t address : {uint8_t{1}, uint8_t{2}, uint8_t{3}})
        stations.push_back(open(*window, address));
    const auto allRead = [&] {
        QCoreApplication::processEvents();
        bool whole = !window->findChild<QScrollArea*>()->horizontalScrollBar()->isVisible();
        for (StationPane* station : stations) {
            EXPECT_EQ(station->visibleRegion().boundingRect().width(), station->width());
            for (const QLineEdit* edit : station->findChildren<QLineEdit*>()) {
                if (edit->isVisible() && edit->width() < edit->sizeHint().width())
                    whole = false;
            }
            for (const QLabel* label : station->findChildren<QLabel*>()) {
                if (label->isVisible() && !label->wordWrap() &&
                    label->width() < label->sizeHint().width())
                    whole = false;
            }
        }
        return whole;
    };
    EXPECT_TRUE(allRead()) << "before the runs";
    for (size_t i = 0; i < stations.size(); ++i)
        ASSERT_NO_FATAL_FAILURE(start(*stations[i], QString("W-1%1").arg(i)));
    EXPECT_TRUE(allRead()) << "during the runs";
    for (StationPane* station : stations) {
        const QHeaderView* headings = readings(*station)->horizontalHeader();
        for (int column = 0; column < headings->count(); ++column)
            EXPECT_GE(headings->sectionSize(column), headings->sectionSizeHint(column)) << column;
    }
}

// A run that ended or was abandoned offers a new one: the setup page again with its fields as
// they were, the runs left meanwhile and the profiles added meanwhile listed.
TEST_F(VerifyWindowTest, AFinishedRunOffersANewRunWithTheFieldsAsTheyWere) {
    const auto window = openWindow();
    StationPane* station = open(*window, 1);
    ASSERT_TRUE(waitUntil([&] { return !station->searching(); }));
    EXPECT_EQ(list(*station, "unfinished")->count(), 0);
    ASSERT_NO_FATAL_FAILURE(start(*station, "W-5"));
    const QString first = QString::fromStdString(station->run()->path());
    EXPECT_FALSE(button(*station, "newRun")->isVisible()) << "not while it runs";
    const QString left = writeRun(reference(1), "LEFT", {});
    writeProfile("Later", {100}, 1, 0);

    QTest::keyClicks(field(*station, "reason"), "wrong tool");
    QTest::mouseClick(button(*station, "abort"), Qt::LeftButton);
    ASSERT_TRUE(button(*station, "newRun")->isVisible());
    QTest::mouseClick(button(*station, "newRun"), Qt::LeftButton);
    EXPECT_EQ(station->run(), nullptr);
    EXPECT_TRUE(button(*station, "start")->isVisible());
    EXPECT_FALSE(readings(*station)->isVisible());
    EXPECT_EQ(field(*station, "toolId")->text(), "W-5");
    EXPECT_EQ(field(*station, "maximum")->text(), "80");
    EXPECT_EQ(field(*station, "due")->text(), "2027-03-01");
    EXPECT_EQ(list(*station, "profiles")->currentText(), "Quick");
    EXPECT_GE(list(*station, "profiles")->findText("Later"), 0) << "read again";
    ASSERT_TRUE(waitUntil([&] { return !station->searching(); }));
    ASSERT_EQ(list(*station, "unfinished")->count(), 1) << "the abandoned run is not offered";
    EXPECT_EQ(list(*station, "unfinished")->itemText(0), QFileInfo(left).fileName());

    // The next tool: its identifier typed over the last one, the rest kept.
    QTest::keyClicks(field(*station, "toolId"), "W-6");
    QTest::mouseClick(button(*station, "start"), Qt::LeftButton);
    ASSERT_NE(station->run(), nullptr) << label(*station, "message")->text().toStdString();
    EXPECT_EQ(station->run()->plan().tool.id, "W-6");
    EXPECT_EQ(station->run()->plan().tool.maximum, 80.0);
    EXPECT_NE(QString::fromStdString(station->run()->path()), first);
}

// The profile list is read when it is opened: a profile added to the folder is there, one removed
// is gone, and the choice is kept while it is there.
TEST_F(VerifyWindowTest, TheProfileListIsReadAgainWhenOpened) {
    const auto window = openWindow();
    StationPane* station = open(*window, 1);
    QComboBox* profiles = list(*station, "profiles");
    profiles->setCurrentIndex(profiles->findText("Quick"));
    writeProfile("Added", {100}, 1, 0);
    QTest::mouseClick(profiles, Qt::LeftButton);
    EXPECT_GE(profiles->findText("Added"), 0);
    EXPECT_EQ(profiles->currentText(), "Quick");
    profiles->hidePopup();
    ASSERT_TRUE(QFile::remove(paths.home + "Profiles/Quick.ini"));
    QTest::mouseClick(profiles, Qt::LeftButton);
    EXPECT_EQ(profiles->findText("Quick"), -1);
    EXPECT_EQ(profiles->currentIndex(), 0);
    profiles->hidePopup();
}

// Two stations' certificates: each dialog names its station and tool and opens over it, a second
// click raises it; it proposes a file outside the home folder's own files and refuses one inside.
TEST_F(VerifyWindowTest, EachStationsCertificateDialogIsItsOwn) {
    ASSERT_TRUE(BenchConfig(paths.configFile).setDeviceName(link.toStdString(), 1, "Bench A"));
    const auto window = openWindow();
    window->resize(window->sizeHint());
    StationPane* first = open(*window, 1);
    StationPane* second = open(*window, 2);
    ASSERT_NO_FATAL_FAILURE(finish(*first, "W-7"));
    ASSERT_NO_FATAL_FAILURE(finish(*second, "W-8"));
    const QString one = QString::fromStdString(first->run()->path());
    const QString two = QString::fromStdString(second->run()->path());
    QTest::mouseClick(button(*first, "certificate"), Qt::LeftButton);
    QTest::mouseClick(button(*second, "certificate"), Qt::LeftButton);
    QFileDialog* a = certificateDialog(*first, one);
    QFileDialog* b = certificateDialog(*second, two);
    ASSERT_TRUE(a && b);
    EXPECT_EQ(a->windowTitle(), "Certificate of Slave 1 Bench A · W-7");
    EXPECT_EQ(b->windowTitle(), "Certificate of Slave 2 · W-8");
    // Over its station; the second one, beyond this 800-wide screen, as near as it lets it be.
    EXPECT_TRUE(first->rect().contains(first->mapFromGlobal(a->geometry().center())));
    EXPECT_GT(b->geometry().center().x(), a->geometry().center().x()) << "not stacked";
    ASSERT_TRUE(waitUntil([&] { return QApplication::activeWindow() == b; }));
    QTest::mouseClick(button(*first, "certificate"), Qt::LeftButton);
    EXPECT_EQ(certificateDialog(*first, one), a);
    EXPECT_EQ(window->findChildren<QFileDialog*>().size(), 2u);
    EXPECT_TRUE(waitUntil([&] { return QApplication::activeWindow() == a; })) << "raised";

    const QString proposed = a->selectedFiles().value(0);
    EXPECT_EQ(QFileInfo(proposed).fileName(), QFileInfo(one).completeBaseName() + ".pdf");
    EXPECT_EQ(homeOutputRefusal(paths.home.toStdString(), proposed.toStdString()), "");
    EXPECT_FALSE(proposed.startsWith(paths.dataFolder));
    const QString inside = paths.dataFolder + "W-7.pdf";
    ASSERT_NO_FATAL_FAILURE(saveAs(*first, one, inside));
    EXPECT_TRUE(label(*first, "message")->text().startsWith("Certificate not written: "))
        << label(*first, "message")->text().toStdString();
    EXPECT_FALSE(QFile::exists(inside));
    ASSERT_NO_FATAL_FAILURE(saveAs(*second, two, home.qFile("W-8.pdf")));
    EXPECT_TRUE(test::readFile(home.qFile("W-8.pdf")).startsWith("%PDF-"));
}

// The certificate of any ended run of this instrument is made again from the setup page: the
// newest first, neither abandoned runs nor another instrument's offered.
TEST_F(VerifyWindowTest, AnEndedRunsCertificateIsMadeAgainFromTheSetupPage) {
    const QString old = writeRun(reference(1), "OLD", ended);
    writeRun(reference(1), "GIVEN-UP", {"abandoned tool broke"});
    writeRun(reference(2), "OTHER", ended);
    const auto window = openWindow();
    StationPane* station = open(*window, 1);
    ASSERT_TRUE(waitUntil([&] { return !station->searching(); }));
    ASSERT_EQ(list(*station, "endedRuns")->count(), 1);
    ASSERT_NO_FATAL_FAILURE(finish(*station, "W-9"));
    QTest::mouseClick(button(*station, "newRun"), Qt::LeftButton);
    ASSERT_TRUE(waitUntil([&] { return !station->searching(); }));
    ASSERT_EQ(list(*station, "endedRuns")->count(), 2);
    EXPECT_TRUE(list(*station, "endedRuns")->itemText(0).endsWith(" · W-9"));
    EXPECT_EQ(list(*station, "endedRuns")->itemText(1), "2025-01-01 10:00:00 · OLD");
    QTest::keyClick(list(*station, "endedRuns"), Qt::Key_Down);
    QTest::mouseClick(button(*station, "endedCertificate"), Qt::LeftButton);
    ASSERT_NE(certificateDialog(*station, old), nullptr);
    EXPECT_EQ(certificateDialog(*station, old)->windowTitle(),
              "Certificate of Slave 1 · OLD · 2025-01-01 10:00:00");
    ASSERT_NO_FATAL_FAILURE(saveAs(*station, old, home.qFile("OLD.pdf")));
    EXPECT_TRUE(test::readFile(home.qFile("OLD.pdf")).startsWith("%PDF-"))
        << label(*station, "message")->text().toStdString();
}

// An ended run is signed from its station and its certificate says by whom; a run file changed
// after that is not signed again.
TEST_F(VerifyWindowTest, AnEndedRunIsSignedAndItsCertificateSaysByWhom) {
    const QString run = writeRun(reference(1), "SIGNED", ended);
    const auto window = openWindow();
    StationPane* station = open(*window, 1);
    ASSERT_TRUE(waitUntil([&] { return !station->searching(); }));
    ASSERT_TRUE(button(*station, "endedSign")->isEnabled());
    QString refused;
    signWith(button(*station, "endedSign"), 1, "Zhang San", refused);
    EXPECT_EQ(refused, "");
    EXPECT_TRUE(label(*station, "message")->text().startsWith("Signed by Zhang San at "))
        << label(*station, "message")->text().toStdString();
    const QString sha = QString::fromLatin1(
        QCryptographicHash::hash(test::readFile(run), QCryptographicHash::Sha256).toHex());
    const QStringList lines =
        QString::fromUtf8(test::readFile(paths.home + "Signatures.tsv")).split('\n');
    ASSERT_EQ(lines.size(), 3);
    EXPECT_EQ(lines[1].split('\t').mid(1), QStringList({"reviewed", "Zhang San", sha, "-", run}));

    QTest::mouseClick(button(*station, "endedCertificate"), Qt::LeftButton);
    ASSERT_NO_FATAL_FAILURE(saveAs(*station, run, home.qFile("SIGNED.pdf")));
    const QString printed = test::pdfText(home.file("SIGNED.pdf"));
    EXPECT_TRUE(printed.contains("Reviewed by Zhang San, ")) << printed.toStdString();
    EXPECT_TRUE(printed.contains("-000001")) << "numbered";

    test::writeFile(run, test::readFile(run).replace("Description: ", "Description: x"));
    signWith(button(*station, "endedSign"), 2, "Wang Fang", refused);
    EXPECT_TRUE(refused.contains("changed after it was signed")) << refused.toStdString();
    EXPECT_EQ(QString::fromUtf8(test::readFile(paths.home + "Signatures.tsv")).count('\n'), 2);
}

// Closing the window while runs are under way asks first; kept, the runs go on; closed, their
// files stay as they were, to be resumed.
TEST_F(VerifyWindowTest, ClosingWithRunsUnderWayAsksFirst) {
    test::MessageRecorder boxes;
    auto window = openWindow();
    StationPane* first = open(*window, 1);
    StationPane* second = open(*window, 2);
    EXPECT_TRUE(window->close()) << "nothing under way";
    EXPECT_TRUE(boxes.messages.empty());
    window = openWindow();
    first = open(*window, 1);
    second = open(*window, 2);
    ASSERT_NO_FATAL_FAILURE(start(*first, "W-20"));
    ASSERT_NO_FATAL_FAILURE(start(*second, "W-21"));
    const std::string path = first->run()->path();
    boxes.answers = {1};
    EXPECT_FALSE(window->close());
    ASSERT_EQ(boxes.messages.size(), 1u);
    EXPECT_EQ(boxes.messages[0].text,
              "2 verification runs are under way. Each can be resumed later from its station: its "
              "file keeps every reading taken.\nClose the window?");
    EXPECT_EQ(boxes.messages[0].buttons, QStringList({"Close the window", "Keep it open"}));
    EXPECT_TRUE(window->isVisible());
    ASSERT_NO_FATAL_FAILURE(pull(*first, kPreload, "80"));
    ASSERT_TRUE(waitUntil([&] { return label(*first, "prompt")->text() == setTo("40.00", 1); }));

    boxes.answers = {0};
    EXPECT_TRUE(window->close());
    EXPECT_FALSE(window->isVisible());
    window.reset();
    std::string error;
    const auto stored = verify::readRunFile(path, error);
    ASSERT_TRUE(stored) << error;
    EXPECT_FALSE(stored->ended) << "to be resumed";
    EXPECT_EQ(stored->pulls.size(), 1u);
}

// A run is offered only on the instrument it is bound to, however alike the instruments are; the
// run files are read on a thread of their own, the answer coming through the event queue, and a
// station closed before it comes is no harm.
TEST_F(VerifyWindowTest, AnUnfinishedRunIsOfferedOnItsOwnInstrumentAlone) {
    ASSERT_TRUE(BenchConfig(paths.configFile).setDeviceName(link.toStdString(), 2, "Bench B"));
    const verify::Reference two = reference(2, "Bench B");
    writeRun(two, "T-2", {"preload 1 80.00"});
    {
        const auto gone = openWindow();
        open(*gone, 2);
    }
    const auto window = openWindow();
    StationPane* first = open(*window, 1);
    EXPECT_TRUE(first->searching());
    EXPECT_FALSE(button(*first, "resume")->isEnabled());
    StationPane* second = open(*window, 2);
    EXPECT_EQ(list(*second, "unfinished")->count(), 0) << "not read on the interface thread";
    ASSERT_TRUE(waitUntil([&] { return !first->searching() && !second->searching(); }));
    EXPECT_EQ(list(*first, "unfinished")->count(), 0) << "slave 2's run on slave 1";
    ASSERT_EQ(list(*second, "unfinished")->count(), 1);
    EXPECT_TRUE(button(*second, "resume")->isEnabled());
    EXPECT_EQ(verify::referenceDifferences(two, second->currentReference()), "");
    EXPECT_EQ(verify::referenceDifferences(two, first->currentReference()),
              "address 1 (run: 2), name none (run: Bench B)");
}

// A run another verification holds is not taken up; a run starts only with its conditions and,
// with an overdue reference, a reason; a reference that falls silent is said in its station.
TEST_F(VerifyWindowTest, AStationTakesUpNoHeldRunAndStartsOnlyWithWhatTheRunNeeds) {
    const QString held = writeRun(reference(1), "T-9", {"preload 1 80.00"});
    const auto window = openWindow();
    StationPane* station = open(*window, 1);
    ASSERT_TRUE(waitUntil([&] { return !station->searching(); }));
    ASSERT_EQ(list(*station, "unfinished")->count(), 1);
    {
        std::string error;
        const auto other = verify::RunFile::reopen(held.toStdString(), error);
        ASSERT_TRUE(other) << error;
        const QByteArray before = test::readFile(held);
        QTest::mouseClick(button(*station, "resume"), Qt::LeftButton);
        EXPECT_EQ(station->run(), nullptr);
        EXPECT_TRUE(
            label(*station, "message")->text().contains("is being run by another verification"));
        EXPECT_EQ(test::readFile(held), before);
    }

    QTest::keyClicks(field(*station, "toolId"), "W-30");
    QTest::keyClicks(field(*station, "maximum"), "80");
    list(*station, "profiles")->setCurrentText("Single");
    QTest::mouseClick(button(*station, "start"), Qt::LeftButton);
    EXPECT_EQ(station->run(), nullptr);
    EXPECT_TRUE(label(*station, "message")->text().contains("ambient temperature and humidity"));
    QTest::keyClicks(field(*station, "temperature"), "22");
    QTest::keyClicks(field(*station, "humidity"), "40");
    field(*station, "due")->setText("2020-01-01");
    QTest::mouseClick(button(*station, "start"), Qt::LeftButton);
    EXPECT_EQ(station->run(), nullptr);
    EXPECT_TRUE(label(*station, "message")->text().contains("was due 2020-01-01"));
    QTest::keyClicks(field(*station, "overdueReason"), "the only reference");
    QTest::mouseClick(button(*station, "start"), Qt::LeftButton);
    ASSERT_NE(station->run(), nullptr) << label(*station, "message")->text().toStdString();
    EXPECT_TRUE(QString::fromUtf8(test::readFile(QString::fromStdString(station->run()->path())))
                    .contains(" confirmed reference calibration overdue since 2020-01-01: the "
                              "only reference\n"));

    ASSERT_EQ(sim.command("silent 1 on"), "ok");
    EXPECT_TRUE(waitUntil([&] {
        return label(*station, "prompt")->text().startsWith("Slave 1 is not answering");
    })) << label(*station, "prompt")->text().toStdString();
    ASSERT_EQ(sim.command("silent 1 off"), "ok");
    EXPECT_TRUE(waitUntil([&] { return !station->run()->instrumentSilentNow(); }));
    const QString file =
        QString::fromUtf8(test::readFile(QString::fromStdString(station->run()->path())));
    EXPECT_TRUE(file.contains(" slave 1: not answering since "));
    EXPECT_TRUE(file.contains(" slave 1: answering again\n"));
}

// Three instruments of one model: the one named as an asset of the register takes the asset's due
// date, another is offered none of it, and the asset's refusals (a point below what its
// certificate covers, then an overdue calibration) hold until a supervisor's reason is given;
// the run names the asset and the tool as left.
TEST_F(VerifyWindowTest, AStationOnARegisteredReferenceTakesTheAssetsDueDateAndRefusals) {
    const LabRegister lab(paths.home.toStdString());
    RegisteredReference asset;
    asset.asset = "REF-2";
    asset.range = 100;
    asset.certificate = "C-1";
    asset.uncertainty = 0.3;
    asset.lowest = 50;
    asset.due = "2099-01-01";
    std::string error;
    ASSERT_TRUE(lab.enter(asset, error)) << error;
    const BenchConfig config(paths.configFile);
    ASSERT_TRUE(config.setDeviceName(link.toStdString(), 1, "REF-2"));
    ASSERT_TRUE(waitUntil([&] { return session.instrumentFacts(2).has_value(); }));
    // What an earlier bench kept under the identification all three report.
    config.setCalibrationDue(session.instrumentFacts(2)->identification, "2030-01-01");
    const auto window = openWindow();
    EXPECT_EQ(field(*open(*window, 2), "due")->text(), "");
    StationPane* station = open(*window, 1);
    EXPECT_EQ(field(*station, "due")->text(), "2099-01-01");
    EXPECT_TRUE(field(*station, "due")->isReadOnly());

    QTest::keyClicks(field(*station, "toolId"), "W-40");
    QTest::keyClicks(field(*station, "maximum"), "80");
    QTest::keyClicks(field(*station, "temperature"), "22");
    QTest::keyClicks(field(*station, "humidity"), "40");
    list(*station, "profiles")->setCurrentText("Quick");
    list(*station, "condition")->setCurrentIndex(1);
    QTest::mouseClick(button(*station, "start"), Qt::LeftButton);
    EXPECT_EQ(station->run(), nullptr);
    EXPECT_TRUE(label(*station, "message")
                    ->text()
                    .contains("The point of 40 lies below 50, the lowest torque the certificate of "
                              "reference REF-2"))
        << label(*station, "message")->text().toStdString();
    // Overdue now, and too uncertain for an 80 N.m wrench's 4 %: one supervisor's reason covers
    // what the station refuses, and the run file states each.
    asset.due = "2020-01-01";
    asset.uncertainty = 1.5;
    ASSERT_TRUE(lab.enter(asset, error));
    QTest::mouseClick(button(*station, "start"), Qt::LeftButton);
    EXPECT_EQ(station->run(), nullptr);
    EXPECT_TRUE(label(*station, "message")->text().contains("was due 2020-01-01"));
    QTest::keyClicks(field(*station, "overdueReason"), "supervisor Li");
    QTest::mouseClick(button(*station, "start"), Qt::LeftButton);
    ASSERT_NE(station->run(), nullptr) << label(*station, "message")->text().toStdString();
    const QString file =
        QString::fromUtf8(test::readFile(QString::fromStdString(station->run()->path())));
    for (const char* said :
         {"\nReference due: 2020-01-01\nReference asset: REF-2\nReference certificate: C-1\n"
          "Reference uncertainty: 1.5\nCondition: as-left\n",
          " confirmed the reference's uncertainty of 1.5 % exceeds 1 %, a quarter of the "
          "permissible deviation: supervisor Li\n",
          "\nName: REF-2\n",
          " confirmed reference calibration overdue since 2020-01-01: supervisor Li\n",
          " confirmed point of 40 below the lowest torque reference REF-2's certificate covers, "
          "50: "
          "supervisor Li\n"})
        EXPECT_TRUE(file.contains(QLatin1String(said))) << said << "\n" << file.toStdString();
}

// An indicating tool's station asks for its indication after the pull, in a field of its own:
// the indication is the reading's setting.
TEST_F(VerifyWindowTest, AnIndicatingToolsStationTakesTheIndicationTyped) {
    QDir().mkpath(paths.home + "Tools");
    test::writeFile(paths.home + "Tools/TI-1.ini", "[Tool]\nType = I\n");
    auto window = openWindow();
    StationPane* station = open(*window, 1);
    ASSERT_NO_FATAL_FAILURE(start(*station, "TI-1", "22", "Single"));
    ASSERT_NO_FATAL_FAILURE(pull(*station, setTo("80.00", 1, 1), "80"));
    QLineEdit* indication = field(*station, "indication");
    ASSERT_TRUE(waitUntil([&] { return indication->isVisible(); }));
    EXPECT_EQ(label(*station, "prompt")->text(), "Read the tool's indication and type it, in N.m");
    QTest::keyClicks(indication, "80.8");
    QTest::mouseClick(button(*station, "indicate"), Qt::LeftButton);
    ASSERT_TRUE(waitUntil([&] { return station->run()->ended(); }));
    EXPECT_TRUE(test::readFile(QString::fromStdString(station->run()->path()))
                    .contains(" reading 100 1 80.80 80.00 +1.00 conforms"));
}

// A calibration's station guides each sub-test's series after the readings, keeps what they
// measured with the tool, and the tool's next calibration takes it and guides none.
TEST_F(VerifyWindowTest, ACalibrationsStationGuidesTheSubtestsOnce) {
    verify::Profile profile;
    profile.name = "Calibrate";
    profile.standard = "ISO 6789-2:2017";
    profile.points = {100};
    profile.readings = 1;
    profile.preloads = 0;
    profile.loadingMin = 0.0;
    profile.reproducibility = profile.outputDrive = profile.interface =
        profile.loadingPoint = {1, 1};
    profile.subtestsValidMonths = 12;
    test::writeFile(paths.home + "Profiles/Calibrate.ini",
                    QByteArray::fromStdString(verify::profileText(profile)));
    auto window = openWindow();
    StationPane* station = open(*window, 1);
    ASSERT_NO_FATAL_FAILURE(start(*station, "TC-1", "22", "Calibrate"));
    ASSERT_NO_FATAL_FAILURE(pull(*station, setTo("80.00", 1, 1), "80"));
    const QString then = ". Then apply 80.00 N.m — reading 1 of 1";
    for (const char* instruction :
         {"Fit the tool to the reference", "Turn the output drive to 0°", "Fit the first interface",
          "Apply the force 10 mm before the mark"})
        ASSERT_NO_FATAL_FAILURE(
            pull(*station, "Sub-test, series 1 of 1: " + QString(instruction) + then, "80"));
    ASSERT_TRUE(waitUntil([&] { return station->run()->ended(); }));
    const QString file =
        QString::fromUtf8(test::readFile(QString::fromStdString(station->run()->path())));
    EXPECT_TRUE(file.contains(" contribution loading-point 0.00 N.m\n")) << file.toStdString();
    EXPECT_TRUE(file.contains(" uncertainty 100 ")) << file.toStdString();
    EXPECT_TRUE(test::readFile(paths.home + "Register/Contributions.tsv").contains("\nTC-1\t"));

    QTest::mouseClick(button(*station, "newRun"), Qt::LeftButton);
    QTest::mouseClick(button(*station, "start"), Qt::LeftButton);
    ASSERT_NE(station->run(), nullptr) << label(*station, "message")->text().toStdString();
    EXPECT_TRUE(label(*station, "message")->text().contains("still valid"));
    ASSERT_NO_FATAL_FAILURE(pull(*station, setTo("80.00", 1, 1), "80"));
    ASSERT_TRUE(waitUntil([&] { return station->run()->ended(); }));
    EXPECT_TRUE(test::readFile(QString::fromStdString(station->run()->path()))
                    .contains(" contributions taken from the register, measured "));
}

}  // namespace
}  // namespace vornex
