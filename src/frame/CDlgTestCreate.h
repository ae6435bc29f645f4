#pragma once

#include <QDialog>
#include <QString>

class QLabel;
class QLineEdit;
class QPushButton;

namespace vornex {

class AcquisitionSession;

// Asks for the name of a new test, proposing the current date and time, and, each optional, who
// tests, the tool under test (identifier and description) and a note, proposing what the last new
// test of this bench was given. Add opens the test in the session, creating its file, unless a
// file of that name exists today or the name cannot name a file there; the reason then shows in
// the message line and the dialog stays open. An added test's fields go to the session for its
// companion file and are remembered in the bench's config.ini.
class CDlgTestCreate : public QDialog {
    Q_OBJECT

public:
    static constexpr int kMaxNameLength = 15;
    static constexpr int kMaxFieldLength = 120;
    static constexpr int kDialogNumber = 325;

    enum class Field { Operator, ToolId, ToolDescription, Note };

    // Texts come from the language file, the built-in Chinese ones where it has none.
    CDlgTestCreate(AcquisitionSession& session, const QString& languageFile,
                   const QString& configFile, QWidget* parent = nullptr);

    QLineEdit* nameEdit() const { return name_; }
    QLineEdit* field(Field which) const { return fields_[static_cast<int>(which)]; }
    QLabel* messageLine() const { return message_; }
    QPushButton* addButton() const { return add_; }

private:
    void onAdd();

    AcquisitionSession& session_;
    const QString languageFile_;
    const QString configFile_;
    QLineEdit* name_;
    QLineEdit* fields_[4] = {};
    QLabel* message_;
    QPushButton* add_;
};

}  // namespace vornex
