#include "instrument/CDlgUpData.h"

#include <QComboBox>
#include <QDesktopServices>
#include <QEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QStandardPaths>
#include <QTableView>
#include <QUrl>
#include <QVBoxLayout>

#include "controls/DialogTexts.h"
#include "controls/MessageBox.h"
#include "i18n/Language.h"
#include "i18n/LanguageKeys.h"
#include "instrument/ExportFolders.h"
#include "instrument/RecordListModel.h"
#include "instrument/core/RecordExport.h"
#include "text/NumberText.h"

namespace vornex {

namespace {

constexpr int kSaveAsId = 1041;

QLineEdit* readOnlyNumber(QWidget* parent) {
    auto* edit = new QLineEdit(parent);
    edit->setReadOnly(true);
    edit->setAlignment(Qt::AlignCenter);
    return edit;
}

constexpr int kMimeQueryMs = 3000;

// Only an application registered for workbooks takes one: without, the desktop would hand it to
// whatever opens files at all, or to nothing, and still report success.
bool openInDesktop(const QString& path) {
    QProcess query;
    query.start(
        QStringLiteral("xdg-mime"),
        {QStringLiteral("query"), QStringLiteral("default"),
         QStringLiteral("application/vnd.openxmlformats-officedocument.spreadsheetml.sheet")});
    if (!query.waitForFinished(kMimeQueryMs) || query.exitCode() != 0 ||
        query.readAllStandardOutput().trimmed().isEmpty()) {
        return false;
    }
    return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

QString chooseInDialog(QWidget* parent, const QString& caption, const QString& proposed,
                       const QString& filters, QString* chosenFilter) {
    return QFileDialog::getSaveFileName(parent, caption, proposed, filters, chosenFilter);
}

}  // namespace

CDlgUpData::CDlgUpData(const QString& languageFile, const QString& portText, bool panelConnected,
                       QWidget* parent)
    : QDialog(parent),
      languageFile_(languageFile),
      portText_(portText),
      panelConnected_(panelConnected),
      opener_(openInDesktop),
      chooser_([this](const QString& caption, const QString& proposed, const QString& filters,
                      QString* chosen) {
          return chooseInDialog(this, caption, proposed, filters, chosen);
      }) {
    setProperty(kDialogNumberProperty, kDialogNumber);
    setWindowTitle(QStringLiteral("上传数据"));
    buildControls();
    for (int s = 1; s <= 30; ++s)
        slave_->addItem(QStringLiteral("Slave_%1").arg(s));
    slave_->setCurrentIndex(0);
    count_->setText(QStringLiteral("0"));
    range_->setText(QStringLiteral("0"));
    showLinked(false);
    SetDialogTexts(languageFile_, this, kDialogNumber);
    // A word the language file lacks stays the list's own, never "Not Found".
    const auto word = [this](const char* key) {
        return langStringOr(languageFile_, QString::fromLatin1(key), QString());
    };
    model_->setWords({{word(langkey::kUploadColOrder), word(langkey::kUploadColTorque),
                       word(langkey::kUploadColUnit), word(langkey::kUploadColTime),
                       word(langkey::kUploadColPass)},
                      word(langkey::kUploadPass),
                      word(langkey::kUploadDeny),
                      word(langkey::kUploadDeleted),
                      word(langkey::kUploadFailed)});
    confirm_->setText(GetLangString(languageFile_, dialogControlKey(kDialogNumber, 1033)));

    connect(confirm_, &QPushButton::clicked, this, &CDlgUpData::onConfirm);
    connect(uploadButton_, &QPushButton::clicked, this, &CDlgUpData::onUpload);
    connect(export_, &QPushButton::clicked, this, &CDlgUpData::onExport);
    connect(saveAs_, &QPushButton::clicked, this, &CDlgUpData::onSaveAs);
}

QString CDlgUpData::text(const char* key) const {
    return GetLangString(languageFile_, QString::fromLatin1(key));
}

CDlgUpData::~CDlgUpData() {
    // The upload's thread must be gone before the members it reports to.
    upload_.unlink();
}

void CDlgUpData::buildControls() {
    range_ = numberedControl(readOnlyNumber(this), 1040, "range");
    count_ = numberedControl(readOnlyNumber(this), 1038, "count");
    auto* top = new QHBoxLayout;
    top->addWidget(numberedLabel(QStringLiteral("量 程:"), 1039, this));
    top->addWidget(range_);
    top->addStretch(1);
    top->addWidget(numberedLabel(QStringLiteral("总数据:"), 1037, this));
    top->addWidget(count_);

    model_ = new RecordListModel(this);
    list_ = numberedControl(new QTableView(this), 1034, "records");
    list_->setModel(model_);
    list_->setShowGrid(true);
    list_->setSelectionBehavior(QAbstractItemView::SelectRows);
    list_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list_->verticalHeader()->hide();
    list_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    list_->setWordWrap(false);
    list_->verticalHeader()->setDefaultSectionSize(list_->fontMetrics().height() + 6);
    // The columns share the list's width, so they follow its viewport.
    list_->viewport()->installEventFilter(this);
    list_->setMinimumSize(470, 330);

    progress_ = new QProgressBar(this);
    progress_->setObjectName(QStringLiteral("progress"));
    progress_->setRange(0, 1);
    progress_->setValue(0);
    progress_->setFormat(QStringLiteral("%v / %m"));

    slave_ = numberedControl(new QComboBox(this), 1032, "slave");
    confirm_ = numberedButton(QStringLiteral("确认"), 1033, this, "confirm");
    uploadButton_ = numberedButton(QStringLiteral("上传"), 1035, this, "upload");
    export_ = numberedButton(QStringLiteral("导出"), 1036, this, "export");
    saveAs_ = numberedButton(QStringLiteral("另存为…"), kSaveAsId, this, "saveAs");
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(numberedLabel(QStringLiteral("从站号:"), 1031, this));
    bottom->addWidget(slave_, 1);
    bottom->addWidget(confirm_);
    bottom->addWidget(uploadButton_);
    bottom->addWidget(export_);
    bottom->addWidget(saveAs_);
    auto* close = numberedButton(QStringLiteral("关闭"), 2, this, "close");
    close->setAutoDefault(false);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    bottom->addWidget(close);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(list_, 1);
    layout->addWidget(progress_);
    layout->addLayout(bottom);
}

void CDlgUpData::fitColumns() {
    const int w = list_->viewport()->width();
    const int widths[kRecordColumns] = {w / 6, w / 6, w / 6, (2 * w) / 6, w / 6};
    for (int c = 0; c < kRecordColumns; ++c)
        list_->setColumnWidth(c, widths[c]);
}

bool CDlgUpData::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Resize && list_ != nullptr && watched == list_->viewport())
        fitColumns();
    return QDialog::eventFilter(watched, event);
}

void CDlgUpData::showLinked(bool linked) {
    confirm_->setText(
        GetLangString(languageFile_, linked ? QString::fromLatin1(langkey::kUploadConnected)
                                            : dialogControlKey(kDialogNumber, 1033)));
    slave_->setEnabled(!linked);
    uploadButton_->setEnabled(linked);
    export_->setEnabled(linked);
    saveAs_->setEnabled(linked);
}

void CDlgUpData::onConfirm() {
    if (panelConnected_) {
        showLangMessage(this, languageFile_, langkey::kMessageUploadLinkOpen);
        return;
    }
    if (portText_.isEmpty()) {
        showLangMessage(this, languageFile_, langkey::kMessageNoCom);
        return;
    }
    linked_ = !linked_;
    if (!linked_) {
        showLinked(false);
        upload_.unlink();
        uploading_ = false;
        return;
    }
    if (refusePolledPort(this, languageFile_, portText_, polled_)) {
        linked_ = false;
        return;
    }
    showLinked(true);
    const auto result = upload_.link(portText_.toStdString(), slave_->currentIndex() + 1);
    if (result != OpenResult::Opened) {
        linked_ = false;
        showLinked(false);
        if (result == OpenResult::NoAnswer)
            showLangMessage(this, languageFile_, langkey::kMessageModbusError);
        else
            showPortRefusal(this, languageFile_, portText_, polled_, result);
        return;
    }
    range_->setText(QString::fromStdString(formatFixed(upload_.range(), 1)));
    count_->setText(QString::number(upload_.count()));
}

void CDlgUpData::onUpload() {
    if (!linked_)
        return;
    // A press during a transfer starts it again from record 1; rows of the stopped run that are
    // still on their way are recognised by their run number and dropped.
    model_->clear();
    complete_ = false;
    progress_->setRange(0, qMax(1, static_cast<int>(upload_.count())));
    progress_->setValue(0);
    uploading_ = true;
    run_ = upload_.start(period_);
}

void CDlgUpData::recordUploaded(const UploadedRecord& item) {
    QMetaObject::invokeMethod(
        this, [this, item] { addRecord(item); }, Qt::QueuedConnection);
}

void CDlgUpData::uploadEnded(unsigned run, UploadEnd end, unsigned failed) {
    QMetaObject::invokeMethod(
        this, [this, run, end, failed] { endUpload(run, end, failed); }, Qt::QueuedConnection);
}

void CDlgUpData::addRecord(const UploadedRecord& item) {
    if (item.run != run_)
        return;
    model_->append(item.record ? formatRecord(item.order, *item.record)
                               : failedRecordRow(item.order));
    progress_->setValue(item.order);
}

void CDlgUpData::endUpload(unsigned run, UploadEnd end, unsigned failed) {
    if (run != run_)
        return;
    uploading_ = false;
    complete_ = end == UploadEnd::Completed;
    if (end == UploadEnd::LineLost)
        showLangMessage(this, languageFile_, langkey::kMessageModbusError);
    else if (failed > 0)
        showLangMessage(this, languageFile_, langkey::kMessageUploadReadError);
}

void CDlgUpData::onExport() {
    if (model_->rowCount() == 0) {
        showLangMessage(this, languageFile_, langkey::kMessageNoUploadData);
        return;
    }
    const QString name =
        outputName(exportfolders::proposedName(slave_->currentText(), QDate::currentDate()));
    const QString folder = exportfolders::makeFolder(QDir::tempPath());
    const QString path = folder + QLatin1Char('/') + name;
    if (folder.isEmpty() || !saveAs(path).isEmpty()) {
        showLangMessage(this, languageFile_, langkey::kMessageExportError);
        return;
    }
    // Read-only, so the spreadsheet's own Save asks where to save instead of writing here.
    QFile::setPermissions(path,
                          QFileDevice::ReadOwner | QFileDevice::ReadGroup | QFileDevice::ReadOther);
    if (opener_(path)) {
        lastExport_ = path;
        return;
    }
    QDir(folder).removeRecursively();
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    saveThroughDialog(text(langkey::kMessageNoExcel), documents + QLatin1Char('/') + name);
}

bool CDlgUpData::saveThroughDialog(const QString& caption, const QString& proposed) {
    QString filter;
    const QString workbooks = text(langkey::kFilterWorkbook);
    QString path = chooser_(caption, proposed,
                            workbooks + QStringLiteral(";;") + text(langkey::kFilterCsv), &filter);
    if (path.isEmpty())
        return false;
    const bool csv = !filter.isEmpty() && filter != workbooks;
    if (QFileInfo(path).suffix().isEmpty())
        path += csv ? QStringLiteral(".csv") : QStringLiteral(".xlsx");
    path = outputName(path);
    if (!saveAs(path).isEmpty()) {
        showLangMessage(this, languageFile_, langkey::kMessageExportError);
        return false;
    }
    lastExport_ = path;
    showLangMessage(this, languageFile_, langkey::kMessageExportSaved, MessageIcon::Information,
                    QDir::toNativeSeparators(path));
    return true;
}

QString CDlgUpData::saveAs(const QString& path) const {
    const std::string file = path.toStdString();
    const std::string error = path.endsWith(QStringLiteral(".csv"), Qt::CaseInsensitive)
                                  ? writeRecordCsv(file, model_->shownTable())
                                  : writeRecordWorkbook(file, model_->shownTable());
    return QString::fromStdString(error);
}

void CDlgUpData::onSaveAs() {
    if (model_->rowCount() == 0) {
        showLangMessage(this, languageFile_, langkey::kMessageNoUploadData);
        return;
    }
    saveThroughDialog(
        titleOfCommand(saveAs_->text()),
        outputName(exportfolders::proposedName(slave_->currentText(), QDate::currentDate())));
}

QString CDlgUpData::outputName(const QString& path) const {
    if (complete_ || QFileInfo(path).completeBaseName().endsWith(QLatin1String(".partial")))
        return path;
    return QString::fromStdString(partialOutputPath(path.toStdString()));
}

void CDlgUpData::done(int result) {
    upload_.unlink();
    uploading_ = false;
    linked_ = false;
    QDialog::done(result);
}

}  // namespace vornex
