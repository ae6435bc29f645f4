#include <gtest/gtest.h>

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableWidget>
#include <QTest>

#include "Files.h"
#include "TempDir.h"
#include "Wait.h"
#include "record/AcquisitionSession.h"
#include "record/HeadlessGraph.h"
#include "session/SessionDriver.h"
#include "session/SessionSignals.h"
#include "sim/SimCommands.h"
#include "sim/SimOptions.h"
#include "verify/Profile.h"
#include "verifywin/CVerifyStation.h"
#include "verifywin/CVerifyWnd.h"

namespace vornex {
namespace {

using Field = CVerifyStation::Field;
using Button = CVerifyStation::Button;
using test::waitUntil;

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

// Two "1P" instruments on a simulated line polled by the session, a short profile in the home
// folder, and the verification window on them.
class VerifyWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(sim.ready);
        for (const char* address : {"1", "2"})
            ASSERT_EQ(sim.command(QString("keypad %1 measure 3").arg(address)), "ok");
        verify::Profile quick;
        quick.name = "Quick";
        quick.points = {50, 100};
        quick.readings = 2;
        quick.preloads = 1;
        QDir().mkpath(paths.home + "Profiles");
        test::writeFile(paths.home + "Profiles/Quick.ini",
                        QByteArray::fromStdString(verify::profileText(quick)));
        session.addDevice(1);
        session.addDevice(2);
        ASSERT_EQ(session.connect(link.toStdString()), ConnectResult::Connected);
    }

    std::unique_ptr<CVerifyWnd> openWindow() {
        auto window = std::make_unique<CVerifyWnd>(live, paths, VORNEX_LANG_DIR "/en_US.ini");
        window->show();
        return window;
    }

    // The station of `address` opened with its button, once the instrument answers.
    CVerifyStation* open(CVerifyWnd& window, uint8_t address) {
        EXPECT_TRUE(waitUntil([&] {
            return window.instrumentButton(address) &&
                   window.instrumentButton(address)->isEnabled();
        }));
        QTest::mouseClick(window.instrumentButton(address), Qt::LeftButton);
        return window.station(address);
    }

    // The tool typed in and the run started on the short profile; a temperature outside its
    // limits is confirmed by a second Start.
    void start(CVerifyStation& station, const QString& tool, const QString& temperature = {}) {
        QTest::keyClicks(station.field(Field::ToolId), tool);
        QTest::keyClicks(station.field(Field::Maximum), "80");
        QTest::keyClicks(station.field(Field::Due), "2027-03-01");
        QTest::keyClicks(station.field(Field::Temperature), temperature);
        station.profiles()->setCurrentText("Quick");
        QTest::mouseClick(station.button(Button::Start), Qt::LeftButton);
        if (!temperature.isEmpty()) {
            ASSERT_EQ(station.run(), nullptr) << "started without a confirmation";
            QTest::mouseClick(station.button(Button::Start), Qt::LeftButton);
        }
        ASSERT_NE(station.run(), nullptr) << station.message()->text().toStdString();
    }

    // Waits for `prompt`, then pulls the tool to `peak` ("slip" pulls without a click).
    void pull(CVerifyStation& station, const QString& prompt, const QString& peak,
              const char* kind = "pull") {
        ASSERT_TRUE(waitUntil([&] { return station.prompt()->text() == prompt; }))
            << station.prompt()->text().toStdString();
        sim.command(QString("%1 %2 %3").arg(kind).arg(station.address()).arg(peak));
    }

    test::TempDir home;
    const AppPaths paths = AppPaths::forHome(home.qPath());
    const QString link = home.qFile("ttyVERIFY");
    LineInProcess sim{
        link.toStdString(),
        {"--slaves", "1,2", "--range", "100", "--value", "0", "--decimals", "2", "--hold", "1.5"}};
    HeadlessGraph graph;
    AcquisitionSession session{paths.dataFolder.toStdString(), graph};
    SessionSignals live{session};
    SessionDriver driver{session};
};

const QString kPreload = "Apply the tool at its maximum — preload 1 of 1";
QString setTo(const char* setting, int reading) {
    return QString("Set the tool to %1 N.m and apply it — reading %2 of 2")
        .arg(setting)
        .arg(reading);
}

// Both stations run at once; the first one's slip question stays open while the second takes
// its readings, and is answered in the view: dropped and taken again.
TEST_F(VerifyWindowTest, TwoStationsRunAtOnceAndASlipIsAnsweredInItsStation) {
    const auto window = openWindow();
    CVerifyStation* first = open(*window, 1);
    CVerifyStation* second = open(*window, 2);
    QSignalSpy finished(window.get(), &CVerifyWnd::runFinished);
    ASSERT_NO_FATAL_FAILURE(start(*first, "W-1"));
    ASSERT_NO_FATAL_FAILURE(start(*second, "W-2"));
    ASSERT_NO_FATAL_FAILURE(pull(*first, kPreload, "80"));
    ASSERT_NO_FATAL_FAILURE(pull(*second, kPreload, "80"));
    ASSERT_NO_FATAL_FAILURE(pull(*first, setTo("40.00", 1), "10", "slip"));
    ASSERT_TRUE(waitUntil([&] { return first->button(Button::SlipRepeat)->isVisible(); }));

    ASSERT_NO_FATAL_FAILURE(pull(*second, setTo("40.00", 1), "40.4"));
    ASSERT_NO_FATAL_FAILURE(pull(*second, setTo("40.00", 2), "39.6"));
    ASSERT_NO_FATAL_FAILURE(pull(*second, setTo("80.00", 1), "80"));
    ASSERT_NO_FATAL_FAILURE(pull(*second, setTo("80.00", 2), "84"));
    ASSERT_TRUE(waitUntil([&] { return second->run()->ended(); }));
    EXPECT_EQ(second->prompt()->text(), "The tool does not conform");
    EXPECT_TRUE(first->button(Button::SlipRepeat)->isVisible()) << "still asked";

    QTest::mouseClick(first->button(Button::SlipRepeat), Qt::LeftButton);
    ASSERT_NO_FATAL_FAILURE(pull(*first, setTo("40.00", 1), "40"));
    ASSERT_NO_FATAL_FAILURE(pull(*first, setTo("40.00", 2), "40.8"));
    ASSERT_NO_FATAL_FAILURE(pull(*first, setTo("80.00", 1), "80"));
    ASSERT_NO_FATAL_FAILURE(pull(*first, setTo("80.00", 2), "79"));
    ASSERT_TRUE(waitUntil([&] { return first->run()->ended(); }));
    EXPECT_EQ(first->prompt()->text(), "The tool conforms");
    EXPECT_EQ(first->readings()->rowCount(), 4);
    EXPECT_EQ(first->readings()->item(1, 2)->text(), "-1.96");

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
        CVerifyStation* station = open(*window, 1);
        ASSERT_NO_FATAL_FAILURE(start(*station, "W-3", "35"));
        ASSERT_NO_FATAL_FAILURE(pull(*station, kPreload, "80"));
        ASSERT_TRUE(waitUntil([&] { return station->prompt()->text() == setTo("40.00", 1); }));
        path = QString::fromStdString(station->run()->path());
    }
    const auto window = openWindow();
    CVerifyStation* station = open(*window, 1);
    QSignalSpy finished(window.get(), &CVerifyWnd::runFinished);
    ASSERT_EQ(station->unfinished()->count(), 1);
    EXPECT_EQ(station->field(Field::Due)->text(), "2027-03-01") << "remembered";
    QTest::mouseClick(station->button(Button::Resume), Qt::LeftButton);
    ASSERT_TRUE(waitUntil([&] { return station->prompt()->text() == setTo("40.00", 1); }));

    QTest::keyClicks(station->field(Field::Reason), "tool broke");
    QTest::mouseClick(station->button(Button::Abort), Qt::LeftButton);
    std::string error;
    const auto stored = verify::readRunFile(path.toStdString(), error);
    ASSERT_TRUE(stored) << error;
    EXPECT_TRUE(stored->ended && stored->abandoned);
    EXPECT_EQ(stored->abandonReason, "tool broke");
    EXPECT_EQ(stored->pulls.size(), 1u);
    EXPECT_EQ(stored->plan.temperature, 35.0);
    EXPECT_TRUE(
        test::readFile(path).contains(" ambient conditions outside the profile's limits, "
                                      "confirmed by the operator\n"));
    EXPECT_EQ(station->prompt()->text(), "Abandoned: tool broke");
    EXPECT_EQ(finished.count(), 1) << "an abandoned run goes to the store too";
    EXPECT_FALSE(station->saveCertificate(home.qFile("W-3.pdf")));
}

// A line pulled in the middle of a run is waited for; the run goes on at the next reading once the
// session has the line back, with the gap in its file.
TEST_F(VerifyWindowTest, ALostLineIsWaitedForAndTheRunGoesOnAtTheNextReading) {
    const auto window = openWindow();
    CVerifyStation* station = open(*window, 1);
    ASSERT_NO_FATAL_FAILURE(start(*station, "W-4"));
    ASSERT_NO_FATAL_FAILURE(pull(*station, kPreload, "80"));
    ASSERT_TRUE(waitUntil([&] { return station->prompt()->text() == setTo("40.00", 1); }));
    ASSERT_EQ(sim.command("unplug"), "ok");
    ASSERT_TRUE(waitUntil([&] { return station->run()->lineDown(); }));
    ASSERT_TRUE(sim.command("replug").startsWith("ok"));
    ASSERT_NO_FATAL_FAILURE(pull(*station, setTo("40.00", 1), "40.4"));
    ASSERT_TRUE(waitUntil([&] { return station->readings()->rowCount() == 1; }));
    EXPECT_EQ(station->readings()->item(0, 1)->text(), "40.40");
    const QString file =
        QString::fromUtf8(test::readFile(QString::fromStdString(station->run()->path())));
    EXPECT_TRUE(file.contains(" line lost\n") && file.contains(" line back\n"))
        << file.toStdString();
}

}  // namespace
}  // namespace vornex
