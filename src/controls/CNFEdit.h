#pragma once

#include <QLineEdit>

namespace vornex {

// A line edit that takes only the characters of a decimal number: digits, point, minus and
// backspace. Any other typed character, control characters such as Ctrl+V included, is dropped
// with a message. Text set by the program is not checked.
class CNFEdit : public QLineEdit {
    Q_OBJECT

public:
    explicit CNFEdit(QWidget* parent = nullptr);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;

private:
    void refuse();
};

}  // namespace vornex
