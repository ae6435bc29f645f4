#pragma once

#include <QDialog>
#include <QString>

class QLabel;
class QLineEdit;
class QPushButton;

namespace vornex {

class AcquisitionSession;

// Asks for the name of a new test, proposing the current date and time. Add opens the test in the
// session, creating its file, unless a file of that name exists today or the name cannot name a
// file there; the reason then shows in the message line and the dialog stays open.
class CDlgTestCreate : public QDialog {
    Q_OBJECT

public:
    static constexpr int kMaxNameLength = 15;
    static constexpr int kDialogNumber = 325;

    // Texts come from the language file, the built-in Chinese ones where it has none.
    CDlgTestCreate(AcquisitionSession& session, const QString& languageFile,
                   QWidget* parent = nullptr);

    QLineEdit* nameEdit() const { return name_; }
    QLabel* messageLine() const { return message_; }
    QPushButton* addButton() const { return add_; }

private:
    void onAdd();

    AcquisitionSession& session_;
    const QString languageFile_;
    QLineEdit* name_;
    QLabel* message_;
    QPushButton* add_;
};

}  // namespace vornex
