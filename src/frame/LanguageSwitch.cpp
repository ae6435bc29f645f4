#include "frame/LanguageSwitch.h"

#include <QAction>

#include "config/PrivateProfile.h"
#include "frame/CommandIds.h"
#include "frame/MainMenu.h"
#include "i18n/Language.h"

namespace vornex {

namespace {

QString languageName(int commandId) {
    switch (commandId) {
        case command::kLanguageZhTW:
            return QStringLiteral("zh_TW");
        case command::kLanguageEnUS:
            return QStringLiteral("en_US");
        default:
            return kDefaultLanguage;
    }
}

}  // namespace

LanguageSwitch::LanguageSwitch(MainMenu& menu, AppPaths paths, std::function<bool()> testOpen,
                               QObject* parent)
    : QObject(parent), menu_(menu), paths_(std::move(paths)), testOpen_(std::move(testOpen)) {
    adopt(LoadLanguage(paths_, QString()));
    menu_.markLanguage(startupLanguageCommand(languageFile_));
    UpdateMenuTexts(menu_, languageFile_, testOpen_());
    for (const int id : {command::kLanguageZhCN, command::kLanguageZhTW, command::kLanguageEnUS}) {
        connect(menu_.action(id), &QAction::triggered, this, [this, id] { choose(id); });
    }
}

void LanguageSwitch::choose(int commandId) {
    if (commandId == currentCommand_) {
        return;
    }
    currentCommand_ = commandId;
    menu_.markLanguage(commandId);
    const QString name = languageName(commandId);
    PrivateProfile(paths_.configFile)
        .write(QStringLiteral("Setting"), QStringLiteral("Language"), name);
    // Named directly rather than read back, so an unwritable configuration file cannot leave the
    // menu in one language with the mark on another.
    adopt(LoadLanguage(paths_, name));
    UpdateMenuTexts(menu_, languageFile_, testOpen_());
    emit languageChanged(languageFile_);
}

void LanguageSwitch::adopt(QString languageFile) {
    languageFile_ = std::move(languageFile);
    setCurrentLanguageFile(languageFile_);
    if (!qtTexts_.use(declaredLanguage(languageFile_)))
        qWarning("vornex: Qt's translation for %s is not in %s",
                 qPrintable(declaredLanguage(languageFile_)),
                 qPrintable(QtBaseTranslation::folder()));
}

}  // namespace vornex
