#pragma once

#include <QString>

class QDialog;
class QGridLayout;
class QLabel;
class QPushButton;
class QWidget;

namespace vornex {

// A control of a numbered dialog carries its control number (an int, -1 for unnumbered labels and
// frames) in this dynamic property; SetDialogTexts forms its language key from it.
inline constexpr const char* kControlIdProperty = "vornexId";
// A dialog or form carries its dialog number in this dynamic property. SetDialogTexts does not
// descend into a nested widget that has one: that form's texts are its own.
inline constexpr const char* kDialogNumberProperty = "vornexDialog";

void setControlId(QWidget* control, int id);

// For dialogs built in code: numbers a control and names it, so tests can find it by name.
template <typename W>
W* numberedControl(W* control, int id, const char* objectName) {
    setControlId(control, id);
    control->setObjectName(QString::fromLatin1(objectName));
    return control;
}

// A label of a numbered dialog, with its control number.
QLabel* numberedLabel(const QString& text, int id, QWidget* parent);

// A push button of a numbered dialog, with its control number, and named when objectName is given.
QPushButton* numberedButton(const QString& text, int id, QWidget* parent,
                            const char* objectName = nullptr);

// The Cancel button of a numbered dialog (control 2, named "cancel"): it rejects the dialog and is
// never its default button.
QPushButton* cancelButton(QDialog* dialog);

// A numbered label at (row, column) of grid, and field beside it; the label belongs to the field's
// parent.
void addLabelledField(QGridLayout* grid, int row, int column, const QString& label, int labelId,
                      QWidget* field);

// A menu or button text as a window's title: without its mnemonic ("&Report..." and
// "报告(&R)..." give "Report" and "报告"), its shortcut after a tab and its trailing dots.
QString titleOfCommand(const QString& text);

// Retitles a dialog from section "String" of a language file: its caption from "IDD<n>_Title" and
// each numbered control from "IDD<n>_<id>", controls in child order (depth first, so a button laid
// out inside a group box is still the dialog's control). Absent or empty values leave the built-in
// text; a backslash-n stays as it is. Buttons and labels take the text, group boxes their title,
// any other widget a writable "text" property if it has one.
void SetDialogTexts(const QString& languageFile, QWidget* window, int dialogNumber);

}  // namespace vornex
