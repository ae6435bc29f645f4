#pragma once

#include <QLineEdit>

namespace vornex {

// A line edit that takes only the characters of a decimal number: digits, point and minus. Any
// other printable character typed, and the paste keys, are dropped with a tip at the field that
// takes no focus, so the keys typed after it still land here; editing keys (Backspace, Delete,
// arrows, Ctrl+A and the like) work as in any line edit. Text set by the program is not checked.
class CNFEdit : public QLineEdit {
    Q_OBJECT

public:
    explicit CNFEdit(QWidget* parent = nullptr);

signals:
    // Once per character dropped, with the text of the tip, for a window's message line.
    void refused(const QString& text);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;

private:
    void refuse();
};

}  // namespace vornex
