#include "frame/CDlgTestCreate.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "controls/MessageTexts.h"
#include "record/AcquisitionSession.h"
#include "record/TestSession.h"

namespace vornex {

CDlgTestCreate::CDlgTestCreate(AcquisitionSession& session, QWidget* parent)
    : QDialog(parent),
      session_(session),
      name_(new QLineEdit(this)),
      message_(new QLabel(this)),
      add_(new QPushButton(QStringLiteral("增加"), this)) {
    setWindowTitle(QStringLiteral("新建测试"));

    auto* caption = new QLabel(QStringLiteral("测试名称:"), this);
    caption->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    QFont nameFont(QStringLiteral("Arial"));
    nameFont.setPointSize(13);
    name_->setFont(nameFont);
    name_->setMaxLength(kMaxNameLength);
    name_->setMinimumWidth(180);

    auto* cancel = new QPushButton(QStringLiteral("取消"), this);
    add_->setDefault(true);
    add_->setAutoDefault(true);
    cancel->setAutoDefault(false);
    connect(add_, &QPushButton::clicked, this, &CDlgTestCreate::onAdd);
    connect(cancel, &QPushButton::clicked, this, &CDlgTestCreate::reject);

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

    name_->setText(QString::fromStdString(session_.proposeName()));
    name_->selectAll();
    name_->setFocus();
}

void CDlgTestCreate::onAdd() {
    const char* refusal = nullptr;
    switch (session_.newTest(name_->text().toStdString())) {
        case TestSession::AddResult::Added:
            accept();
            return;
        case TestSession::AddResult::Exists:
            refusal = kTestExistsText;
            break;
        case TestSession::AddResult::BadName:
            refusal = kTestBadNameText;
            break;
        case TestSession::AddResult::BlankName:
            refusal = kTestBlankNameText;
            break;
        case TestSession::AddResult::ControlCharacter:
            refusal = kTestControlCharText;
            break;
        case TestSession::AddResult::NameTooLong:
            refusal = kTestNameTooLongText;
            break;
        case TestSession::AddResult::CannotCreate:
            refusal = kTestCannotCreateText;
            message_->setToolTip(QString::fromStdString(session_.createError()));
            break;
    }
    message_->setText(QString::fromUtf8(refusal));
}

}  // namespace vornex
