#include "frame/CDlgTestCreate.h"

#include <QDate>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "config/BenchConfig.h"
#include "controls/DialogTexts.h"
#include "controls/MessageBox.h"
#include "i18n/Language.h"
#include "i18n/LanguageKeys.h"
#include "i18n/MessageTexts.h"
#include "i18n/RegisterKeys.h"
#include "record/TestSession.h"
#include "register/DueDates.h"
#include "session/AcquisitionSession.h"

namespace vornex {

namespace {

// Caption, its control number and the field of the trace each optional field fills.
struct FieldSpec {
    const char* caption;
    int id;
    std::string TestTrace::*member;
};

constexpr FieldSpec kFields[] = {
    {"操作员:", 1018, &TestTrace::operatorName},
    {"被测工具:", 1019, &TestTrace::toolId},
    {"工具说明:", 1020, &TestTrace::toolDescription},
    {"备注:", 1021, &TestTrace::note},
};

}  // namespace

CDlgTestCreate::CDlgTestCreate(AcquisitionSession& session, const QString& languageFile,
                               const QString& configFile, QWidget* parent)
    : QDialog(parent),
      session_(session),
      languageFile_(languageFile),
      configFile_(configFile),
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

    auto* grid = new QGridLayout;
    grid->addWidget(caption, 0, 0);
    grid->addWidget(name_, 0, 1);
    const TestTrace last = BenchConfig(configFile_).lastTrace();
    for (int i = 0; i < 4; ++i) {
        auto* label = numberedLabel(QString::fromUtf8(kFields[i].caption), kFields[i].id, this);
        label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        fields_[i] = new QLineEdit(this);
        fields_[i]->setMaxLength(kMaxFieldLength);
        fields_[i]->setText(QString::fromStdString(last.*kFields[i].member));
        grid->addWidget(label, i + 1, 0);
        grid->addWidget(fields_[i], i + 1, 1);
    }
    grid->setColumnStretch(1, 1);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(message_, 1);
    bottom->addWidget(add_);
    bottom->addWidget(cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addStretch(1);
    layout->addLayout(bottom);
    resize(460, 260);
    SetDialogTexts(languageFile_, this, kDialogNumber);

    name_->setText(QString::fromStdString(session_.proposeName()));
    name_->selectAll();
    name_->setFocus();
}

void CDlgTestCreate::onAdd() {
    const char* refusal = nullptr;
    const char* key = nullptr;
    const BenchConfig bench(configFile_);
    TestTrace trace;
    for (int i = 0; i < 4; ++i)
        trace.*kFields[i].member = fields_[i]->text().trimmed().toStdString();
    trace.bench = bench.bench();
    const std::string home =
        (QFileInfo(configFile_).absolutePath() + QLatin1Char('/')).toStdString();
    trace.toolOverdue = toolOverdueText(home, trace.toolId, QDate::currentDate());
    session_.setTestTrace(trace);
    const TestSession::Addition added = session_.newTest(name_->text().toStdString());
    switch (added.result) {
        case TestSession::AddResult::Added:
            if (!bench.rememberTrace(trace))
                showLangMessage(this, languageFile_, langkey::kMessageTraceNotSaved);
            // Told, never refused: the line's work goes on; the test's file keeps it.
            if (!trace.toolOverdue.empty())
                ShowMessage(
                    this,
                    langStringOr(languageFile_, QString::fromLatin1(langkey::kMessageToolOverdue),
                                 QStringLiteral("Tool %1 is overdue for its verification "
                                                "(%2). The test is recorded all the same "
                                                "and says so."))
                        .arg(QString::fromStdString(trace.toolId),
                             QString::fromStdString(trace.toolOverdue)),
                    GetLangString(languageFile_, QString::fromLatin1(langkey::kMessageTip)),
                    MessageIcon::Warning);
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
