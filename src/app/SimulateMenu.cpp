#include "app/SimulateMenu.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <chrono>

#include "app/SimPullDialog.h"
#include "app/SimulatedInstruments.h"
#include "controls/MessageBox.h"
#include "frame/CMainFrame.h"
#include "frame/LanguageSwitch.h"
#include "i18n/Language.h"
#include "i18n/LanguageKeys.h"
#include "sim/SimulatedLine.h"

namespace vornex {

SimulateMenu::SimulateMenu(SimulatedInstruments& instruments, CMainFrame& frame)
    : QObject(&frame),
      instruments_(instruments),
      frame_(frame),
      menu_(new QMenu(frame.menuBar())),
      pull_(menu_->addAction(QString())),
      cycles_(menu_->addAction(QString())),
      release_(menu_->addAction(QString())),
      unplug_(nullptr) {
    menu_->setObjectName(QStringLiteral("simulateMenu"));
    cycles_->setCheckable(true);
    cycles_->setChecked(true);
    menu_->addSeparator();
    unplug_ = menu_->addAction(QString());
    unplug_->setCheckable(true);
    frame.menuBar()->insertMenu(frame.menu().helpDropDown(), menu_);
    if (!instruments.addresses().empty())
        lastAddress_ = instruments.addresses().front();

    connect(pull_, &QAction::triggered, this, &SimulateMenu::askForPull);
    connect(cycles_, &QAction::toggled, this, &SimulateMenu::setCycles);
    connect(release_, &QAction::triggered, this, [this] {
        for (const int address : instruments_.addresses())
            instruments_.line().resetHold(address);
    });
    connect(unplug_, &QAction::toggled, this, &SimulateMenu::setUnplugged);
    connect(&frame.language(), &LanguageSwitch::languageChanged, this, &SimulateMenu::retitle);
    retitle(frame.languageFile());
}

void SimulateMenu::retitle(const QString& languageFile) {
    const auto text = [&languageFile](const char* key) {
        return GetLangString(languageFile, QString::fromLatin1(key));
    };
    menu_->setTitle(text(langkey::kSimMenu));
    pull_->setText(text(langkey::kSimPull));
    cycles_->setText(text(langkey::kSimCycles));
    release_->setText(text(langkey::kSimRelease));
    unplug_->setText(text(langkey::kSimUnplug));
}

void SimulateMenu::askForPull() {
    SimPullDialog dialog(frame_.languageFile(), instruments_.addresses(),
                         {lastAddress_, lastPeak_, lastRiseMs_, lastClick_}, &frame_);
    if (dialog.exec() != QDialog::Accepted)
        return;
    const SimPullDialog::Pull pull = dialog.pull();
    lastAddress_ = pull.address;
    lastPeak_ = pull.peak;
    lastRiseMs_ = pull.riseMs;
    lastClick_ = pull.click;
    instruments_.line().pull(pull.address, static_cast<float>(pull.peak),
                             std::chrono::milliseconds(pull.riseMs), pull.click);
}

// Without the cycles each instrument rests at zero, where a pull made by hand is the only torque.
void SimulateMenu::setCycles(bool on) {
    for (const int address : instruments_.addresses()) {
        instruments_.line().setLiveValue(address, on ? std::nullopt : std::optional<float>(0.0f));
    }
}

void SimulateMenu::setUnplugged(bool unplugged) {
    if (unplugged) {
        instruments_.line().unplug();
        return;
    }
    std::string error;
    if (instruments_.start(error))
        return;
    const QSignalBlocker keepChecked(unplug_);
    unplug_->setChecked(true);
    showLangMessage(&frame_, frame_.languageFile(), langkey::kSimCannotPlug, MessageIcon::Warning,
                    QString::fromStdString(error));
}

}  // namespace vornex
