#include "controls/SignDialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "i18n/Language.h"
#include "i18n/SignKeys.h"

namespace vornex {

namespace k = langkey;

SignDialog::SignDialog(const QString& languageFile, const QString& home, const QString& file,
                       QWidget* parent)
    : QDialog(parent),
      languageFile_(languageFile),
      home_(home),
      file_(file),
      meaning_(new QComboBox(this)),
      name_(new QLineEdit(this)),
      message_(new QLabel(this)) {
    setObjectName(QStringLiteral("signDialog"));
    setWindowTitle(text(k::kSignTitle).arg(QFileInfo(file).fileName()));
    meaning_->setObjectName(QStringLiteral("signMeaning"));
    // In the order of sign::Meaning.
    for (const char* key : {k::kSignPerformed, k::kSignReviewed, k::kSignApproved})
        meaning_->addItem(text(key));
    name_->setObjectName(QStringLiteral("signName"));
    message_->setObjectName(QStringLiteral("signMessage"));
    message_->setWordWrap(true);
    auto* form = new QFormLayout;
    form->addRow(text(k::kSignMeaning), meaning_);
    form->addRow(text(k::kSignName), name_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)
        ->setText(text(k::kSignCommand).remove(QStringLiteral("...")));
    buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("signOk"));
    connect(buttons, &QDialogButtonBox::accepted, this, [this] {
        if (signNow())
            accept();
    });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(message_);
    layout->addWidget(buttons);
}

QString SignDialog::text(const char* key) const {
    return GetLangString(languageFile_, QString::fromLatin1(key));
}

bool SignDialog::signNow() {
    const auto meaning = static_cast<sign::Meaning>(meaning_->currentIndex());
    const std::string name = name_->text().trimmed().toStdString();
    if (name.empty() && meaning != sign::Meaning::Performed) {
        result_ = {sign::Signatures::Outcome::NoName, {}, {}};
        message_->setText(outcomeText());
        return false;
    }
    result_ = sign::Signatures(home_.toStdString()).sign(file_.toStdString(), meaning, name);
    message_->setText(outcomeText());
    return result_.outcome == sign::Signatures::Outcome::Signed;
}

QString SignDialog::outcomeText() const {
    const sign::Signature& s = result_.signature;
    switch (result_.outcome) {
        case sign::Signatures::Outcome::Signed:
            return text(k::kSignDone)
                .arg(QString::fromStdString(s.name),
                     QString::fromStdString(sign::printedTime(s.time)),
                     QString::fromStdString(s.sha256));
        case sign::Signatures::Outcome::Changed:
            return text(k::kSignChanged)
                .arg(QFileInfo(file_).fileName(),
                     QString::fromStdString(sign::printedTime(s.time)));
        case sign::Signatures::Outcome::NoName:
            return text(k::kSignNoName);
        case sign::Signatures::Outcome::Unreadable:
            break;
    }
    return text(k::kSignFailed).arg(QString::fromStdString(result_.error));
}

}  // namespace vornex
