// Every window, in each language, shows texts of that language only: each text comes from the
// language file or from the instrument (numbers, units, slave names, ports).
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAction>
#include <QComboBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QMenuBar>
#include <QMessageBox>
#include <QRegularExpression>
#include <QStatusBar>
#include <QTableView>
#include <QTemporaryDir>

#include "Modal.h"
#include "Wait.h"
#include "app/CAboutDlg.h"
#include "app/SimulatedInstruments.h"
#include "browser/CDlgSelData.h"
#include "controls/CListCtrlEx.h"
#include "frame/CDlgTestCreate.h"
#include "frame/CMainFrame.h"
#include "frame/CommandIds.h"
#include "frame/LanguageSwitch.h"
#include "graph/CVornexView.h"
#include "i18n/Language.h"
#include "instrument/CDlgDevParam.h"
#include "instrument/CDlgUpData.h"
#include "panel/CControlDlg.h"
#include "panel/CDialogAddDev.h"
#include "register/LabRegister.h"
#include "registerwin/RegisterWindow.h"

namespace vornex {
namespace {

// Words that are the same in every language: the program's and the instruments' names, units,
// ports (also the simulated line's path), file types, the capability indices Cp and Cpk, and a
// tool's type and class as its standard names them.
const QRegularExpression kNeutral(QStringLiteral(
    R"(Vornex|Slave_\d+|Mode_\d+|N\.m|kgf\.cm|ft\.lbf|in\.lfb|\bKB\b|\bMB\b|\bCSV\b|xlsx|csv|pdat|/\S+|Ctrl\+\w|\bs\b|\bA\b|\bB\b|\bII\b|English|简体中文|繁体中文|\bCpk?\b)"));

// Every text a window shows: its title, its labels, buttons, group boxes, lists, menus.
QStringList visibleTexts(QWidget* window) {
    QStringList texts{window->windowTitle()};
    for (auto* label : window->findChildren<QLabel*>())
        texts << label->text();
    for (auto* button : window->findChildren<QAbstractButton*>())
        texts << button->text();
    for (auto* box : window->findChildren<QGroupBox*>())
        texts << box->title();
    for (auto* table : window->findChildren<QTableView*>()) {
        for (int c = 0; c < table->model()->columnCount(); ++c)
            texts << table->model()->headerData(c, Qt::Horizontal).toString();
        for (int r = 0; r < table->model()->rowCount(); ++r) {
            for (int c = 0; c < table->model()->columnCount(); ++c)
                texts << table->model()->index(r, c).data().toString();
        }
    }
    for (auto* bar : window->findChildren<QMenuBar*>()) {
        for (QAction* top : bar->actions()) {
            texts << top->text();
            if (top->menu() != nullptr) {
                for (QAction* item : top->menu()->actions())
                    texts << item->text();
            }
        }
    }
    return texts;
}

// Whether a text is in the language: Chinese texts hold no foreign words, English ones no Chinese.
bool oneLanguage(const QString& text, bool chinese) {
    QString rest = text;
    rest.remove(kNeutral);
    if (chinese)
        return !rest.contains(QRegularExpression(QStringLiteral("[A-Za-z]{2,}")));
    return !rest.contains(QRegularExpression(QStringLiteral("\\p{Han}")));
}

void expectOneLanguage(QWidget* window, bool chinese, const char* what) {
    for (const QString& text : visibleTexts(window)) {
        EXPECT_FALSE(text.contains(QStringLiteral("Not Found")))
            << what << ": " << text.toStdString();
        EXPECT_TRUE(oneLanguage(text, chinese)) << what << ": " << text.toStdString();
    }
}

class WindowTextsTest : public ::testing::TestWithParam<int> {};

// The main window polls an instrument on a simulated line, so the panel's list shows its state.
TEST_P(WindowTextsTest, EveryWindowShowsOneLanguage) {
    SimulatedInstruments line({1});
    std::string error;
    ASSERT_TRUE(line.start(error)) << error;
    QTemporaryDir home;
    CMainFrame frame(AppPaths::forHome(home.path()),
                     [port = line.portPath()] { return std::vector<std::string>{port}; });
    frame.language().choose(GetParam());
    const bool chinese = GetParam() != command::kLanguageEnUS;
    const QString file = frame.languageFile();
    frame.show();
    CControlDlg& panel = *frame.controlPanel();
    test::whenModal([](QDialog* dialog) { test::typeAndEnter(dialog, QStringLiteral("1")); });
    panel.onAdd();
    panel.onConnect();
    ASSERT_TRUE(test::waitUntil([&] {
        const QString state = panel.deviceList()->GetItemText(0, 2);
        return !state.isEmpty() && state != QStringLiteral("?");
    }));
    EXPECT_EQ(panel.deviceList()->GetItemText(0, 2), GetLangString(file, "IDS_STATE_OK"));
    frame.view()->graph().Cursor();
    expectOneLanguage(&frame, chinese, "main window");
    const CXGraph& graph = frame.view()->graph();
    for (const QString& text : {graph.xAxis->label(), graph.yAxis->label(), graph.hint(),
                                frame.statusBar()->currentMessage()}) {
        EXPECT_FALSE(text.isEmpty());
        EXPECT_TRUE(oneLanguage(text, chinese)) << text.toStdString();
    }

    CDlgTestCreate create(frame.session(), file, frame.paths().configFile);
    expectOneLanguage(&create, chinese, "new test");
    CAboutDlg about(file);
    expectOneLanguage(&about, chinese, "about");
    CDlgUpData upload(file, QString(), false);
    expectOneLanguage(&upload, chinese, "upload");
    CDlgDevParam params(file, {});
    expectOneLanguage(&params, chinese, "parameters");
    CDlgSelData browser(file, frame.paths().dataFolder, false, false);
    expectOneLanguage(&browser, chinese, "browser");
    CDialogAddDev add(file, 1);
    expectOneLanguage(&add, chinese, "add device");
    RegisteredTool tool;
    tool.id = "W-1";
    tool.maximum = 20;
    tool.unit = "N.m";
    ASSERT_TRUE(LabRegister(frame.paths().home.toStdString()).enter(tool, error)) << error;
    RegisterWindow labRegister(frame.paths(), file);
    expectOneLanguage(&labRegister, chinese, "register");
    QMessageBox box(QMessageBox::Warning, GetLangString(file, "IDS_MESSAGE_TIP"),
                    GetLangString(file, "IDS_MESSAGE_DATAUPERR"),
                    QMessageBox::Ok | QMessageBox::Cancel);
    expectOneLanguage(&box, chinese, "message box");
    panel.onDisconnect();
}

INSTANTIATE_TEST_SUITE_P(Languages, WindowTextsTest,
                         ::testing::Values(command::kLanguageZhCN, command::kLanguageZhTW,
                                           command::kLanguageEnUS));

}  // namespace
}  // namespace vornex
