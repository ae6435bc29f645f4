#pragma once

#include <QDialog>

class QLineEdit;

namespace vornex {

// Asks for the slave address of an instrument to add, proposing `proposed` (none when 0). The
// address is 0 until OK, and 0 after OK when the edit is empty or holds a number above 30.
class CDialogAddDev : public QDialog {
    Q_OBJECT

public:
    static constexpr int kDialogNumber = 323;
    static constexpr int kMaxAddress = 30;

    CDialogAddDev(const QString& languageFile, int proposed, QWidget* parent = nullptr);

    int address() const { return address_; }
    QLineEdit* addressEdit() const { return edit_; }

    // The address an edit text stands for when it is a whole number 1 to 30, else 0.
    static int addressOf(const QString& text);

    void accept() override;

private:
    QLineEdit* edit_;
    int address_ = 0;
};

}  // namespace vornex
