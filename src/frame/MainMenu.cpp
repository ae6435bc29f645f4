#include "frame/MainMenu.h"

#include <QAction>
#include <QActionGroup>
#include <QMenu>
#include <QMenuBar>

#include "frame/CommandIds.h"
#include "i18n/Language.h"
#include "i18n/LanguageKeys.h"
#include "i18n/RegisterKeys.h"
#include "i18n/SignKeys.h"

namespace vornex {

MainMenu::MainMenu(QWidget* window)
    : bar_(new QMenuBar(window)), languages_(new QActionGroup(bar_)) {
    QMenu* test = addDropDown(QStringLiteral("测试(&T)"));
    addCommand(test, command::kTestNew, QStringLiteral("新建测试(&N)"));
    addCommand(test, command::kTestClose, QStringLiteral("关闭测试(&C)"));
    addCommand(test, command::kTestReport, QStringLiteral("报告(&R)..."));
    addCommand(test, command::kTestSign, QStringLiteral("签名(&G)..."));
    addCommand(test, command::kVerifyTool, QStringLiteral("校验工具(&T)..."));
    addCommand(test, command::kRegister, QStringLiteral("器具台账(&I)..."));
    test->addSeparator();
    QAction* print = addCommand(test, command::kPrint, QStringLiteral("打印(&P)...\tCtrl+P"));
    print->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_P));
    addCommand(test, command::kPrintPreview, QStringLiteral("打印预览(&V)"));
    addCommand(test, command::kPrintSetup, QStringLiteral("打印设置(&U)..."));
    test->addSeparator();
    addCommand(test, command::kExportView, QStringLiteral("导出当前视图图形(&E)..."));
    addCommand(test, command::kExportWholeTest, QStringLiteral("导出整个测试图形(&W)..."));
    addCommand(test, command::kExportViewPoints, QStringLiteral("导出当前视图数据 CSV(&S)..."));
    test->addSeparator();
    addCommand(test, command::kExit, QStringLiteral("退出(&X)"));

    QMenu* view = addDropDown(QStringLiteral("查看(&V)"));
    addCommand(view, command::kTestData, QStringLiteral("测试数据(&D)"));
    addCommand(view, command::kInstrumentSettings, QStringLiteral("仪表参数(&S)"));
    view->addSeparator();
    addCommand(view, command::kUploadData, QStringLiteral("上传数据(&U)"));

    QMenu* language = addDropDown(QStringLiteral("语言(&L)"));
    languages_->setExclusive(true);
    for (const auto& [id, name] : {std::pair{command::kLanguageZhCN, QStringLiteral("简体中文")},
                                   std::pair{command::kLanguageZhTW, QStringLiteral("繁体中文")},
                                   std::pair{command::kLanguageEnUS, QStringLiteral("English")}}) {
        QAction* item = addCommand(language, id, name);
        item->setCheckable(true);
        languages_->addAction(item);
    }

    QMenu* help = addDropDown(QStringLiteral("帮助(&H)"));
    addCommand(help, command::kAbout, QStringLiteral("关于(&A)"));
}

QAction* MainMenu::action(int commandId) const {
    const auto found = actions_.find(commandId);
    return found == actions_.end() ? nullptr : found->second;
}

QMenu* MainMenu::dropDown(int position) const {
    return position >= 0 && position < static_cast<int>(dropDowns_.size()) ? dropDowns_[position]
                                                                           : nullptr;
}

void MainMenu::markLanguage(int commandId) {
    if (QAction* item = action(commandId); item && item->actionGroup() == languages_) {
        item->setChecked(true);
    }
}

int MainMenu::markedLanguage() const {
    const QAction* marked = languages_->checkedAction();
    return marked ? marked->data().toInt() : 0;
}

QMenu* MainMenu::addDropDown(const QString& text) {
    dropDowns_.push_back(bar_->addMenu(text));
    return dropDowns_.back();
}

QAction* MainMenu::helpDropDown() const {
    return dropDowns_.back()->menuAction();
}

QAction* MainMenu::addCommand(QMenu* menu, int commandId, const QString& text) {
    QAction* item = menu->addAction(text);
    item->setData(commandId);
    actions_[commandId] = item;
    return item;
}

int startupLanguageCommand(const QString& languageFile) {
    const QString name = declaredLanguage(languageFile, 100);
    if (name == QStringLiteral("en_US")) {
        return command::kLanguageEnUS;
    }
    if (name == QStringLiteral("zh_TW")) {
        return command::kLanguageZhTW;
    }
    return command::kLanguageZhCN;
}

void UpdateMenuTexts(MainMenu& menu, const QString& languageFile, bool testOpen) {
    struct Item {
        int position;  // top-level position, or -1 for a command
        int commandId;
        const char* key;
    };
    static constexpr Item kItems[] = {
        {0, 0, langkey::kMenuFile},
        {-1, command::kTestNew, langkey::kMenuTestNew},
        {-1, command::kTestClose, langkey::kMenuTestClose},
        {-1, command::kTestReport, langkey::kMenuTestReport},
        {-1, command::kTestSign, langkey::kSignCommand},
        {-1, command::kVerifyTool, langkey::kVerifyMenu},
        {-1, command::kRegister, langkey::kRegisterCommand},
        {-1, command::kPrint, langkey::kMenuFilePrint},
        {-1, command::kPrintPreview, langkey::kMenuFilePrintPreview},
        {-1, command::kPrintSetup, langkey::kMenuFilePrintSetup},
        {-1, command::kExportView, langkey::kMenuExportView},
        {-1, command::kExportWholeTest, langkey::kMenuExportWholeTest},
        {-1, command::kExportViewPoints, langkey::kMenuExportViewPoints},
        {-1, command::kExit, langkey::kMenuFileExit},
        {1, 0, langkey::kMenuCheck},
        {-1, command::kTestData, langkey::kMenuCheckTestData},
        {-1, command::kInstrumentSettings, langkey::kMenuCheckParam},
        {-1, command::kUploadData, langkey::kMenuCheckUpload},
        {2, 0, langkey::kMenuLanguage},
        {3, 0, langkey::kMenuHelp},
        {-1, command::kAbout, langkey::kMenuHelpAbout},
    };
    for (const Item& item : kItems) {
        const QString text = GetLangString(languageFile, QString::fromLatin1(item.key));
        if (item.position >= 0) {
            if (QMenu* dropDown = menu.dropDown(item.position)) {
                dropDown->setTitle(text);
            }
            continue;
        }
        if (QAction* action = menu.action(item.commandId)) {
            action->setText(text);
            action->setEnabled(item.commandId != command::kTestNew || !testOpen);
        }
    }
}

}  // namespace vornex
