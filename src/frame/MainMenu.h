#pragma once

#include <QString>
#include <map>
#include <vector>

class QAction;
class QActionGroup;
class QMenu;
class QMenuBar;
class QWidget;

namespace vornex {

// The main window's menu bar with its built-in texts: Test, View, Language, Help. Every item
// carries its command id (QAction::data) and Print answers Ctrl+P. The menu only shows and
// routes; the window connects each action's triggered signal to its command.
class MainMenu {
public:
    // The menu bar is created as a child of window, which owns it (a QMainWindow may take it over
    // with setMenuBar).
    explicit MainMenu(QWidget* window);

    QMenuBar* menuBar() const { return bar_; }
    // The action of a command id, null for an id the menu does not have.
    QAction* action(int commandId) const;
    // The drop-down at a top-level position 0..3. A drop-down others add to the bar (the
    // simulated line's) has no position, so the positions stay those of the texts.
    QMenu* dropDown(int position) const;
    // The Help drop-down's entry in the bar, before which others insert theirs.
    QAction* helpDropDown() const;

    // Puts the radio mark on one of the three language items.
    void markLanguage(int commandId);
    // The language item carrying the radio mark, 0 when none does.
    int markedLanguage() const;

private:
    QMenu* addDropDown(const QString& text);
    QAction* addCommand(QMenu* menu, int commandId, const QString& text);

    QMenuBar* bar_;
    QActionGroup* languages_;
    std::map<int, QAction*> actions_;
    std::vector<QMenu*> dropDowns_;
};

// The language item a language file's declared name selects at start-up; Simplified Chinese for
// any name that is not one of the three.
int startupLanguageCommand(const QString& languageFile);

// Retitles the menu from a language file, all but the language items, which keep their own
// names and their mark. Each retitled item comes back enabled, except New test while a test is
// open.
void UpdateMenuTexts(MainMenu& menu, const QString& languageFile, bool testOpen);

}  // namespace vornex
