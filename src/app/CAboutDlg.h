#pragma once

#include <QDialog>
#include <QString>

namespace vornex {

// The About box: the program's icon, name and version.
class CAboutDlg : public QDialog {
    Q_OBJECT

public:
    explicit CAboutDlg(const QString& languageFile, QWidget* parent = nullptr);
};

}  // namespace vornex
