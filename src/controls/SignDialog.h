#pragma once

#include <QDialog>
#include <QString>

#include "sign/Signatures.h"

class QComboBox;
class QLabel;
class QLineEdit;

namespace vornex {

// Signs a test or run file as `vornex-cli sign` does, in the home folder's Signatures.tsv: what
// the signature means and who signs (left empty, a "performed" takes the record's operator). A
// signature refused keeps the dialog open with the reason; Sign accepts it once signed.
class SignDialog : public QDialog {
public:
    SignDialog(const QString& languageFile, const QString& home, const QString& file,
               QWidget* parent);

    // What the last try came to.
    const sign::Signatures::Result& result() const { return result_; }
    // The result in a line for the user.
    QString outcomeText() const;

    // Signs with what the fields hold; true when signed.
    bool signNow();

private:
    QString text(const char* key) const;

    QString languageFile_, home_, file_;
    QComboBox* meaning_;
    QLineEdit* name_;
    QLabel* message_;
    sign::Signatures::Result result_;
};

}  // namespace vornex
