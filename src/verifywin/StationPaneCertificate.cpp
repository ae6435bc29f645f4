#include "verifywin/StationPane.h"

#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QStandardPaths>
#include <QTableWidget>
#include <algorithm>

#include "config/BenchConfig.h"
#include "controls/SignDialog.h"
#include "files/HomeOutputs.h"
#include "i18n/Language.h"
#include "i18n/LanguageKeys.h"
#include "i18n/SignKeys.h"
#include "report/Certificate.h"
#include "report/ReportTexts.h"
#include "session/AcquisitionSession.h"
#include "text/NumberText.h"

// A certificate of an ended run, asked for from the station.
namespace vornex {

namespace {

using namespace vornex::verify;
namespace k = langkey;

// Where a certificate goes unless the user says otherwise: the documents folder, or the home
// folder itself, never among the bench's own files.
QString certificateFolder(const QString& home) {
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (!documents.isEmpty() && QFileInfo(documents).isDir() &&
        homeOutputRefusal(home.toStdString(), (documents + QStringLiteral("/x.pdf")).toStdString())
            .empty())
        return documents;
    return home;
}

}  // namespace

QFileDialog* StationPane::certificateDialog(const QString& runPath) const {
    const auto it = certificateDialogs_.find(runPath);
    return it == certificateDialogs_.end() ? nullptr : it->second.data();
}

void StationPane::askForCertificate(const QString& runPath, const QString& toolId,
                                    const QString& started) {
    if (QFileDialog* open = certificateDialog(runPath)) {
        open->raise();
        open->activateWindow();
        return;
    }
    // Not modal: the other stations are answered while the name is chosen. Its title says whose
    // it is, and it opens over its own station.
    QString whose = baseTitle_ + QStringLiteral(" · ") + toolId;
    if (!started.isEmpty())
        whose += QStringLiteral(" · ") + started;
    const QString name = QFileInfo(runPath).completeBaseName() + QStringLiteral(".pdf");
    auto* dialog =
        new QFileDialog(this, text(k::kVerifyCertTitle).arg(whose),
                        QDir(certificateFolder(paths_.home)).filePath(name), text(k::kFilterPdf));
    // Qt's own dialog: a platform's would open where it likes, under one title for every station.
    // Chosen first: choosing it makes the dialog's widgets anew, in the mode to open a file.
    dialog->setOption(QFileDialog::DontUseNativeDialog);
    dialog->setAcceptMode(QFileDialog::AcceptSave);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    // Named for its run file: a station may have one open for each.
    dialog->setObjectName(QStringLiteral("certificate:") + runPath);
    dialog->setWindowModality(Qt::NonModal);
    QRect place(QPoint(), dialog->sizeHint());
    place.moveCenter(mapToGlobal(rect().center()));
    if (const QScreen* screen = this->screen()) {
        const QRect room = screen->availableGeometry();
        place.moveLeft(std::max(room.left(), std::min(place.left(), room.right() - place.width())));
        place.moveTop(std::max(room.top(), std::min(place.top(), room.bottom() - place.height())));
    }
    dialog->move(place.topLeft());
    connect(dialog, &QFileDialog::fileSelected, this,
            [this, runPath](const QString& path) { saveCertificate(runPath, path); });
    certificateDialogs_[runPath] = dialog;
    dialog->show();
}

bool StationPane::saveCertificate(const QString& path) {
    if (!run_)
        return false;
    return saveCertificate(QString::fromStdString(run_->path()), path);
}

bool StationPane::saveCertificate(const QString& runPath, const QString& path) {
    // Never over the bench's own files: the next run could not read them.
    if (const std::string refused =
            homeOutputRefusal(paths_.home.toStdString(), path.toStdString());
        !refused.empty()) {
        message_->setText(text(k::kVerifyCertFailed).arg(QString::fromStdString(refused)));
        return false;
    }
    const BenchConfig config(paths_.configFile);
    const std::map<int, std::string> names = config.deviceNames(session_.state().port);
    const auto named = names.find(address_);
    const CertificateFacts facts{config.bench(),
                                 named != names.end() ? named->second : std::string()};
    std::string unkept;
    const sign::DocumentIssue issue = sign::issueDocument(
        paths_.home.toStdString(), paths_.configFile.toStdString(), runPath.toStdString(), unkept);
    const FileResult written = writeCertificatePdf(
        runPath.toStdString(), facts, reportTexts(languageFile_), issue, path.toStdString());
    QString said = written ? text(k::kVerifyCertSaved).arg(path)
                           : text(k::kVerifyCertFailed).arg(QString::fromStdString(written.text));
    if (written && !unkept.empty())
        said += QLatin1Char('\n') + text(k::kDocUnnumbered) + QLatin1Char(' ') +
                QString::fromStdString(unkept);
    message_->setText(said);
    return static_cast<bool>(written);
}

void StationPane::askToSign(const QString& runPath) {
    SignDialog dialog(languageFile_, paths_.home, runPath, this);
    dialog.setObjectName(QStringLiteral("sign:") + runPath);
    if (dialog.exec() == QDialog::Accepted)
        message_->setText(dialog.outcomeText());
}

}  // namespace vornex
