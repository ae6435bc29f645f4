#pragma once

#include <QDialog>

namespace vornex {

// The About box: the program's icon, name and version.
class CAboutDlg : public QDialog {
    Q_OBJECT

public:
    explicit CAboutDlg(QWidget* parent = nullptr);
};

}  // namespace vornex
