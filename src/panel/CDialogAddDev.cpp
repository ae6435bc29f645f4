#include "panel/CDialogAddDev.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

#include "controls/DialogTexts.h"
#include "text/NumberText.h"

namespace vornex {

CDialogAddDev::CDialogAddDev(const QString& languageFile, int proposed, QWidget* parent)
    : QDialog(parent), edit_(new QLineEdit(this)) {
    setWindowTitle(QStringLiteral("添加设备"));
    setProperty(kDialogNumberProperty, kDialogNumber);

    auto* label = numberedLabel(QStringLiteral("设备地址："), -1, this);
    setControlId(edit_, 1015);
    edit_->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), edit_));

    auto* ok = numberedButton(QStringLiteral("确定"), 1, this);
    auto* cancel = cancelButton(this);
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &CDialogAddDev::accept);

    auto* field = new QHBoxLayout;
    field->addWidget(label);
    field->addWidget(edit_, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addStretch(1);
    layout->addLayout(field);
    layout->addStretch(1);
    layout->addLayout(buttons);
    resize(290, 140);

    SetDialogTexts(languageFile, this, kDialogNumber);
    if (proposed > 0)
        edit_->setText(QString::number(proposed));
    edit_->selectAll();
    edit_->setFocus();
}

int CDialogAddDev::addressOf(const QString& text) {
    long value = 0;
    return parseLong(text.toStdString(), 1, kMaxAddress, value) ? static_cast<int>(value) : 0;
}

void CDialogAddDev::accept() {
    address_ = addressOf(edit_->text());
    QDialog::accept();
}

}  // namespace vornex
