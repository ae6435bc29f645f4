#include "frame/CDlgTestCreate.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "controls/DialogTexts.h"
#include "i18n/Language.h"
#include "i18n/LanguageKeys.h"
#include "i18n/MessageTexts.h"
#include "record/AcquisitionSession.h"
#include "record/TestSession.h"

namespace vornex {

CDlgTestCreate::CDlgTestCreate(AcquisitionSession& session, const QString& languageFile,
                               QWidget* parent)
    : QDialog(parent),
      session_(session),
      languageFile_(languageFile),
      name_(new QLineEdit(this)),
      message_(new QLabel(this)),
      add_(numberedButton(QStringLiteral("增加"), 1, this, "add")) {
    setProperty(kDialogNumberProperty, kDialogNumber);
    setWindowTitle(QStringLiteral("新建测试"));

    auto* caption = numberedLabel(QStringLiteral("测试名称:"), 1017, this);
    caption->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    QFont nameFont(QStringLiteral("Arial"));
    nameFont.setPointSize(13);
    name_->setFont(nameFont);
    name_->setMaxLength(kMaxNameLength);
    name_->setMinimumWidth(180);

    QPushButton* cancel = cancelButton(this);
    add_->setDefault(true);
    add_->setAutoDefault(true);
    connect(add_, &QPushButton::clicked, this, &CDlgTestCreate::onAdd);

    auto* field = new QHBoxLayout;
    field->addStretch(1);
    field->addWidget(caption);
    field->addWidget(name_);
    field->addStretch(1);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(message_, 1);
    bottom->addWidget(add_);
    bottom->addWidget(cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addStretch(1);
    layout->addLayout(field);
    layout->addStretch(1);
    layout->addLayout(bottom);
    resize(400, 150);
    SetDialogTexts(languageFile_, this, kDialogNumber);

    name_->setText(QString::fromStdString(session_.proposeName()));
    name_->selectAll();
    name_->setFocus();
}

void CDlgTestCreate::onAdd() {
    const char* refusal = nullptr;
    const char* key = nullptr;
    const TestSession::Addition added = session_.newTest(name_->text().toStdString());
    switch (added.result) {
        case TestSession::AddResult::Added:
            accept();
            return;
        case TestSession::AddResult::Exists:
            refusal = kTestExistsText;
            key = langkey::kMessageTestExists;
            break;
        case TestSession::AddResult::BadName:
            refusal = kTestBadNameText;
            key = langkey::kMessageTestBadName;
            break;
        case TestSession::AddResult::BlankName:
            refusal = kTestBlankNameText;
            key = langkey::kMessageTestBlank;
            break;
        case TestSession::AddResult::ControlCharacter:
            refusal = kTestControlCharText;
            key = langkey::kMessageTestControlChar;
            break;
        case TestSession::AddResult::NameTooLong:
            refusal = kTestNameTooLongText;
            key = langkey::kMessageTestTooLong;
            break;
        case TestSession::AddResult::CannotCreate:
            refusal = kTestCannotCreateText;
            key = langkey::kMessageTestCannotCreate;
            message_->setToolTip(QString::fromStdString(added.file.text));
            break;
    }
    message_->setText(
        langStringOr(languageFile_, QString::fromLatin1(key), QString::fromUtf8(refusal)));
}

}  // namespace vornex
