#pragma once

#include <QObject>
#include <QString>
#include <functional>

#include "config/AppPaths.h"
#include "i18n/QtBaseTranslation.h"

namespace vornex {

class MainMenu;

// Owns the current language: finds its file at start-up, marks and retitles the menu, puts Qt's
// own texts in the same language, and runs the three language commands of the menu. Panes that show
// language texts listen to languageChanged and retitle themselves.
class LanguageSwitch : public QObject {
    Q_OBJECT

public:
    // Loads the language named in the configuration file, marks its menu item and retitles the
    // menu. testOpen tells whether a test is open, so a retitled menu keeps New test disabled.
    LanguageSwitch(MainMenu& menu, AppPaths paths, std::function<bool()> testOpen,
                   QObject* parent = nullptr);

    const QString& languageFile() const { return languageFile_; }
    // The language command chosen last, 0 before the first choice.
    int currentCommand() const { return currentCommand_; }

    // The language command: stores the choice in the configuration file, loads its language and
    // retitles the menu. Choosing the current command again does nothing.
    void choose(int commandId);

signals:
    void languageChanged(const QString& languageFile);

private:
    // The language file becomes the program's current one, with Qt's texts in its language.
    void adopt(QString languageFile);

    MainMenu& menu_;
    AppPaths paths_;
    std::function<bool()> testOpen_;
    QString languageFile_;
    QtBaseTranslation qtTexts_;
    int currentCommand_ = 0;
};

}  // namespace vornex
