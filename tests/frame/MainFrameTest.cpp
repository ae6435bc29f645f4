#include <gtest/gtest.h>
#include <unistd.h>

#include <QAction>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QSplitterHandle>
#include <QStatusBar>
#include <filesystem>
#include <fstream>
#include <memory>

#include "Files.h"
#include "MessageRecorder.h"
#include "Modal.h"
#include "PdfText.h"
#include "RecordFiles.h"
#include "TempDir.h"
#include "Wait.h"
#include "app/SimulatedInstruments.h"
#include "frame/CDlgTestCreate.h"
#include "frame/CFixSplitterWnd.h"
#include "frame/CMainFrame.h"
#include "frame/CommandIds.h"
#include "frame/LanguageSwitch.h"
#include "graph/CHeaderToolBar.h"
#include "graph/CVornexView.h"
#include "panel/CControlDlg.h"
#include "record/CompanionFile.h"
#include "record/CurvePoint.h"
#include "record/TestFile.h"
#include "record/TestPaths.h"
#include "registerwin/RegisterWindow.h"

namespace vornex {
namespace {

using test::waitUntil;

// The whole window in a fresh home folder, with instrument 1 on a simulated line.
class MainFrameTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string error;
        ASSERT_TRUE(line_.start(error)) << error;
        makeFrame();
    }
    void makeFrame() {
        frame_ = std::make_unique<CMainFrame>(
            AppPaths::forHome(home_.qPath()),
            [port = line_.portPath()] { return std::vector<std::string>{port}; });
        frame_->show();
    }

    CHeaderToolBar& toolBar() { return *frame_->toolBar(); }
    CControlDlg& panel() { return *frame_->controlPanel(); }
    ToolbarState state() { return toolBar().state(); }
    void press(ToolBarButton which) { QTest::mouseClick(toolBar().button(which), Qt::LeftButton); }

    // New test through its dialog: `act` gets the dialog.
    void newTest(std::function<void(CDlgTestCreate*)> act) {
        test::whenModal([act](QDialog* dialog) { act(qobject_cast<CDlgTestCreate*>(dialog)); });
        frame_->action(command::kTestNew)->trigger();
    }

    void connectInstrumentOne() {
        test::whenModal([](QDialog* dialog) { test::typeAndEnter(dialog, "1"); });
        panel().onAdd();
        QTest::mouseClick(panel().button(CControlDlg::Button::Connect), Qt::LeftButton);
        ASSERT_TRUE(panel().connected());
    }

    test::TempDir home_;
    SimulatedInstruments line_{{1}};
    std::unique_ptr<CMainFrame> frame_;
    test::MessageRecorder messages_;
};

TEST_F(MainFrameTest, PanesKeepTheirFixedSizesAndTheBarsIgnoreTheMouse) {
    frame_->resize(QSize(1500, 950));
    ASSERT_TRUE(waitUntil([&] { return frame_->view()->width() > 600; }));
    EXPECT_EQ(panel().width(), CMainFrame::kPanelWidth);
    EXPECT_EQ(toolBar().height(), CMainFrame::kToolBarHeight);
    QSplitterHandle* bar = frame_->outerSplitter()->handle(1);
    EXPECT_EQ(bar->cursor().shape(), Qt::ArrowCursor);
    const QPoint middle = bar->rect().center();
    QTest::mousePress(bar, Qt::LeftButton, {}, middle);
    QTest::mouseMove(bar, middle + QPoint(150, 0));
    QTest::mouseRelease(bar, Qt::LeftButton, {}, middle + QPoint(150, 0));
    EXPECT_EQ(panel().width(), CMainFrame::kPanelWidth);
}

TEST_F(MainFrameTest, ToolbarFollowsLinkTestAndRecordingAndCloseTestEndsTheRecording) {
    frame_->action(command::kTestClose)->trigger();
    EXPECT_EQ(state(), ToolbarState::Initial) << "Close test without a test does nothing";
    connectInstrumentOne();
    // Start waits for a test to record into rather than refusing.
    EXPECT_FALSE(toolBar().button(ToolBarButton::Start)->isEnabled());
    press(ToolBarButton::Start);
    EXPECT_EQ(state(), ToolbarState::Initial);

    newTest([](CDlgTestCreate* dialog) { dialog->addButton()->click(); });
    EXPECT_TRUE(frame_->session().testOpen());
    EXPECT_FALSE(frame_->action(command::kTestNew)->isEnabled());
    press(ToolBarButton::Start);
    ASSERT_TRUE(frame_->view()->recording());
    QTest::mouseClick(panel().button(CControlDlg::Button::Disconnect), Qt::LeftButton);
    EXPECT_EQ(state(), ToolbarState::Unlinked);
    EXPECT_FALSE(frame_->view()->recording()) << "Disconnect stops the recording";

    frame_->action(command::kTestClose)->trigger();
    EXPECT_EQ(state(), ToolbarState::Viewing);
    EXPECT_FALSE(frame_->view()->recording());
    EXPECT_TRUE(frame_->action(command::kTestNew)->isEnabled());
    EXPECT_TRUE(messages_.messages.empty());
}

TEST_F(MainFrameTest, NewTestProposesTheTimeLimitsTheNameAndRefusesTakenOrEscapingNames) {
    const std::time_t now = testpaths::systemNow();
    const std::string day = testpaths::dayFolder(frame_->session().dataFolder(), now);
    bool wasAccepted = false;
    newTest([&](CDlgTestCreate* dialog) {
        QLineEdit* name = dialog->nameEdit();
        EXPECT_EQ(name->text().size(), 12);
        EXPECT_TRUE(name->hasSelectedText());
        EXPECT_EQ(name->selectedText(), name->text());
        // The day folder exists once the dialog is up; a test of this name exists already.
        std::ofstream(day + "taken.pdat").put('x');
        QTest::keyClicks(name, "taken");
        QTest::keyClick(name, Qt::Key_Return);
        EXPECT_EQ(dialog->messageLine()->text(), "提示:文件已存在！");
        const auto refusal = [&](const char* typed) {
            name->clear();
            QTest::keyClicks(name, typed);
            dialog->addButton()->click();
            return dialog->messageLine()->text();
        };
        EXPECT_FALSE(refusal("../escape").isEmpty());
        EXPECT_EQ(refusal(""), "提示:名称不能为空！");
        EXPECT_EQ(refusal("   "), "提示:名称不能为空！");
        EXPECT_FALSE(std::filesystem::exists(day + ".pdat"));
        name->clear();
        QTest::keyClicks(name, "abcdefghijklmnopq");
        EXPECT_EQ(name->text(), "abcdefghijklmno");
        dialog->addButton()->click();
        wasAccepted = dialog->result() == QDialog::Accepted;
    });
    EXPECT_TRUE(wasAccepted);
    EXPECT_EQ(frame_->session().testPath(), day + "abcdefghijklmno.pdat");
}

// What a new test was given is proposed for the next, from config.ini, and goes into the test's
// companion at its Start.
TEST_F(MainFrameTest, NewTestRemembersWhoTestedWhatForTheNextTest) {
    using Field = CDlgTestCreate::Field;
    const std::pair<Field, QString> typed[] = {{Field::Operator, "Li Wei"},
                                               {Field::ToolId, "CW-200"},
                                               {Field::ToolDescription, "click wrench 200 N.m"},
                                               {Field::Note, "after repair"}};
    newTest([&](CDlgTestCreate* dialog) {
        for (const auto& [field, text] : typed) {
            EXPECT_EQ(dialog->field(field)->text(), "");
            QTest::keyClicks(dialog->field(field), text);
        }
        QTest::keyClick(dialog->nameEdit(), Qt::Key_Return);
    });
    ASSERT_TRUE(frame_->session().testOpen());
    connectInstrumentOne();
    press(ToolBarButton::Start);
    press(ToolBarButton::Stop);
    frame_->action(command::kTestClose)->trigger();
    const auto companion = readCompanion(companionPath(frame_->session().testPath())).companion;
    ASSERT_TRUE(companion);
    EXPECT_EQ(companion->trace.toolDescription, "click wrench 200 N.m");
    EXPECT_EQ(companion->trace.sha256, TestFile(frame_->session().testPath()).sha256());

    newTest([&](CDlgTestCreate* dialog) {
        for (const auto& [field, text] : typed)
            EXPECT_EQ(dialog->field(field)->text(), text);
        dialog->reject();
    });
    EXPECT_NE(test::readBytes(home_.file("config.ini")).find("Operator=Li Wei"), std::string::npos);

    // A config.ini that cannot be written costs the proposal, not the test, and is told.
    std::filesystem::remove(home_.file("config.ini"));
    std::filesystem::create_directory(home_.file("config.ini"));
    newTest([](CDlgTestCreate* dialog) {
        dialog->nameEdit()->setText("unkept");
        dialog->addButton()->click();
        if (dialog->result() != QDialog::Accepted)
            dialog->reject();
    });
    EXPECT_TRUE(frame_->session().testOpen());
    ASSERT_EQ(messages_.messages.size(), 1u);
    EXPECT_TRUE(messages_.messages[0].text.contains("config.ini"));
}

TEST_F(MainFrameTest, TestDataLoadsTheChosenFileIntoTheGraphAndBecomesTheCurrentPath) {
    const std::string day =
        testpaths::dayFolder(frame_->session().dataFolder(), testpaths::systemNow());
    frame_->session().proposeName();
    test::writeRecords(day + "saved.pdat",
                       {test::point(2, 10, 2), test::point(5, 10, 5), test::point(2, 10, 2)});
    test::whenModal([](QDialog* dialog) {
        for (QPushButton* button : dialog->findChildren<QPushButton*>()) {
            if (button->text() == "确定")
                button->click();
        }
    });
    frame_->action(command::kTestData)->trigger();
    EXPECT_EQ(frame_->session().testPath(), day + "saved.pdat");
    ASSERT_NE(frame_->view()->graph().seriesGraph(4), nullptr);
    EXPECT_EQ(frame_->session().curves().size(1), 2u);
    // Not connected, the loaded test can be examined all the same.
    EXPECT_FALSE(frame_->session().state().lineHeld());
    EXPECT_EQ(state(), ToolbarState::Viewing);
    for (ToolBarButton b : {ToolBarButton::Zoom, ToolBarButton::Measure, ToolBarButton::Print})
        EXPECT_TRUE(toolBar().button(b)->isEnabled());
}

// Test > Sign... signs the loaded test; a report names who signed it, and says when it could not
// be numbered, rather than printing a number it did not keep.
TEST_F(MainFrameTest, SignSignsTheLoadedTestAndTheReportNamesTheSigner) {
    frame_->action(command::kTestSign)->trigger();
    ASSERT_EQ(messages_.messages.size(), 1u) << "no test to sign";
    messages_.messages.clear();
    const std::string test = home_.file("bolt.pdat");
    test::writeRecords(test, {test::point(0, 0, 2), test::point(1, 300, 2), test::point(2, 0, 2)});
    ASSERT_TRUE(frame_->session().loadTest(test).ok());
    const auto sign = [this](const QString& name) {
        QString refused;
        test::whenModal([&](QDialog* dialog) {
            QTest::keyClicks(dialog->findChild<QLineEdit*>("signName"), name);
            dialog->findChild<QPushButton*>("signOk")->click();
            if (dialog->isVisible()) {
                refused = dialog->findChild<QLabel*>("signMessage")->text();
                dialog->reject();
            }
        });
        frame_->action(command::kTestSign)->trigger();
        return refused;
    };
    // The test names no operator: a performed signature then needs a name.
    EXPECT_FALSE(sign("").isEmpty());
    EXPECT_TRUE(messages_.messages.empty());
    EXPECT_EQ(sign("Li Wei"), "");
    ASSERT_EQ(messages_.messages.size(), 1u);
    EXPECT_TRUE(messages_.messages[0].text.contains("Li Wei"));
    messages_.messages.clear();

    const auto report = [this](const std::string& pdf) {
        test::whenModal([pdf](QDialog* dialog) {
            qobject_cast<QFileDialog*>(dialog)->selectFile(QString::fromStdString(pdf));
            QTest::mouseClick(
                dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Save),
                Qt::LeftButton);
        });
        frame_->action(command::kTestReport)->trigger();
    };
    report(home_.file("bolt.pdf"));
    EXPECT_EQ(messages_.messages.size(), 1u) << "saved";
    const QString printed = test::pdfText(home_.file("bolt.pdf"));
    EXPECT_TRUE(printed.contains("Li Wei")) << printed.toStdString();
    EXPECT_TRUE(printed.contains("-000001"));
    messages_.messages.clear();
    // Numbers that cannot be kept: the report is printed, and the window says what it lacks.
    std::filesystem::remove(home_.file("DocumentNumbers.tsv"));
    std::filesystem::create_directory(home_.file("DocumentNumbers.tsv"));
    report(home_.file("unnumbered.pdf"));
    ASSERT_EQ(messages_.messages.size(), 2u);
    EXPECT_TRUE(messages_.messages[1].text.contains("DocumentNumbers.tsv"))
        << messages_.messages[1].text.toStdString();
    EXPECT_FALSE(test::pdfText(home_.file("unnumbered.pdf")).contains("-000001"));
}

// At its smallest the window still shows every toolbar button whole, and the status texts side
// by side.
TEST_F(MainFrameTest, AtItsMinimumSizeEveryButtonAndStatusTextShows) {
    frame_->language().choose(command::kLanguageEnUS);
    connectInstrumentOne();
    frame_->resize(QSize(700, 450));
    ASSERT_TRUE(waitUntil([&] { return frame_->size() == CMainFrame::kMinimumSize; }));
    for (int i = 0; i < kToolBarButtonCount; ++i) {
        const QPushButton* button = toolBar().button(static_cast<ToolBarButton>(i));
        const QRect shown(button->mapTo(frame_.get(), QPoint()), button->size());
        EXPECT_TRUE(frame_->rect().contains(shown)) << button->text().toStdString();
    }
    std::vector<QRect> texts;
    for (const QLabel* label : frame_->statusBar()->findChildren<QLabel*>()) {
        if (!label->isVisible())
            continue;
        EXPECT_GE(label->width(), label->minimumSizeHint().width()) << label->text().toStdString();
        for (const QRect& other : texts)
            EXPECT_FALSE(other.intersects(label->geometry())) << label->text().toStdString();
        texts.push_back(label->geometry());
    }
}

// Exit while recording asks first. Cancel keeps the window recording; Stop and exit stops as Stop
// does, every point taken is in the test's file, and the test waits for the store.
TEST_F(MainFrameTest, ExitDuringARecordingAsksAndLosesNothing) {
    frame_.reset();
    test::writeBytes(home_.file("config.ini"), "[Store]\nUri=postgresql:///r?host=/nonexistent\n");
    makeFrame();
    connectInstrumentOne();
    newTest([](CDlgTestCreate* dialog) { dialog->addButton()->click(); });
    press(ToolBarButton::Start);
    const std::string path = frame_->session().testPath();
    ASSERT_TRUE(waitUntil([&] { return frame_->session().samplesTaken() >= 5; }));

    messages_.answers = {1};
    frame_->close();
    ASSERT_EQ(messages_.messages.size(), 1u);
    EXPECT_EQ(messages_.messages[0].buttons,
              QStringList({QStringLiteral("停止并退出"), QStringLiteral("取消")}));
    EXPECT_TRUE(frame_->isVisible());
    EXPECT_TRUE(frame_->session().recording());

    // Closed without a choice, the window stays too.
    frame_->close();
    EXPECT_TRUE(frame_->isVisible());

    messages_.answers = {0};
    frame_->close();
    EXPECT_FALSE(frame_->isVisible());
    EXPECT_FALSE(frame_->session().recording());
    EXPECT_EQ(messages_.messages.size(), 3u);
    EXPECT_EQ(TestFile(path).count().counts.total(), frame_->session().samplesTaken());
    EXPECT_EQ(QDir(home_.qFile("Outbox")).entryList({"*.item"}).size(), 1);
}

// A language switch with a test open retitles the panes and keeps New test disabled; file dialogs
// are titled with the plain words of the command that opened them.
TEST_F(MainFrameTest, SwitchingLanguageRetitlesAndSaveDialogsAreTitledWithoutMnemonicsOrDots) {
    newTest([](CDlgTestCreate* dialog) { dialog->addButton()->click(); });
    frame_->language().choose(command::kLanguageEnUS);
    EXPECT_EQ(panel().button(CControlDlg::Button::Connect)->text(), "Connect");
    EXPECT_EQ(toolBar().button(ToolBarButton::Start)->text(), "Start");
    EXPECT_FALSE(frame_->action(command::kTestNew)->isEnabled());
    const auto titleOf = [](QAction* command) {
        QString title;
        test::whenModal([&title](QDialog* dialog) {
            title = dialog->windowTitle();
            dialog->reject();
        });
        command->trigger();
        return title;
    };
    EXPECT_EQ(titleOf(frame_->action(command::kTestReport)), "Report");
    EXPECT_EQ(titleOf(frame_->action(command::kExportView)), "Export View as Image");
}

// The graph's exports and the report never write the test on show or its companion, under any
// name: the window says why and writes nothing.
TEST_F(MainFrameTest, ExportsAndTheReportRefuseTheTestFileAndItsCompanion) {
    newTest([](CDlgTestCreate* dialog) { dialog->addButton()->click(); });
    const std::string test = frame_->session().testPath();
    const std::string companion = companionPath(test);
    test::writeBytes(companion, "[Test]\nName=t\n");
    ASSERT_EQ(::symlink(test.c_str(), home_.file("link.png").c_str()), 0);
    ASSERT_EQ(::link(companion.c_str(), home_.file("hard.csv").c_str()), 0);
    const auto refusedOnce = [this](const char* what) {
        ASSERT_EQ(messages_.messages.size(), 1u) << what;
        EXPECT_TRUE(messages_.messages[0].text.contains("it is not written"))
            << messages_.messages[0].text.toStdString();
        messages_.messages.clear();
    };
    const std::pair<int, std::string> exports[] = {
        {command::kExportView, home_.file("link.png")},
        {command::kExportWholeTest, companion},
        {command::kExportViewPoints, home_.file("hard.csv")},
        {command::kExportViewPoints, test},
    };
    for (const auto& [command, output] : exports) {
        frame_->exports().setChooser(
            [output = QString::fromStdString(output)](const QString&, const QString&,
                                                      const QString&) { return output; });
        frame_->action(command)->trigger();
        refusedOnce(output.c_str());
    }
    // The report's events go beside it as NAME.csv: that one is checked too.
    for (const std::string& output : {home_.file("link.png"), companion, home_.file("hard.pdf")}) {
        test::whenModal([output](QDialog* dialog) {
            auto* files = qobject_cast<QFileDialog*>(dialog);
            files->setOption(QFileDialog::DontConfirmOverwrite);
            const QFileInfo name(QString::fromStdString(output));
            // The dialog may keep its proposed name when told another in its own folder: the
            // name is typed into its field, as a user would, until the dialog holds it.
            QPushButton* save =
                dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Save);
            auto* field = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
            files->setDirectory(name.path());
            test::waitUntil([&] {
                const QStringList chosen = files->selectedFiles();
                if (save->isEnabled() && chosen.size() == 1 &&
                    QFileInfo(chosen[0]).fileName() == name.fileName())
                    return true;
                if (field != nullptr)
                    field->setText(name.fileName());
                else
                    files->selectFile(name.filePath());
                return false;
            });
            QTest::mouseClick(save, Qt::LeftButton);
        });
        frame_->action(command::kTestReport)->trigger();
        refusedOnce(output.c_str());
    }
    EXPECT_EQ(test::readBytes(test), "");
    EXPECT_EQ(test::readBytes(companion), "[Test]\nName=t\n");
    EXPECT_FALSE(test::pathExists(home_.file("hard.pdf")));
}

// Test > Register... opens one register window in the window's language, brought back when asked
// again.
TEST_F(MainFrameTest, RegisterOpensOneWindowOfTheRegister) {
    frame_->language().choose(command::kLanguageEnUS);
    QAction* command = frame_->action(command::kRegister);
    ASSERT_NE(command, nullptr);
    EXPECT_EQ(command->text(), "Reg&ister...");
    command->trigger();
    command->trigger();
    const QList<RegisterWindow*> windows = frame_->findChildren<RegisterWindow*>();
    ASSERT_EQ(windows.size(), 1);
    EXPECT_TRUE(windows[0]->isVisible());
    EXPECT_EQ(windows[0]->windowTitle(), "Register of tools and reference instruments");
}

}  // namespace
}  // namespace vornex
