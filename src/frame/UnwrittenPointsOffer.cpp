#include "frame/UnwrittenPointsOffer.h"

#include <QFileDialog>
#include <QFileInfo>

#include "controls/MessageBox.h"
#include "controls/MessageTexts.h"
#include "record/TestFile.h"

namespace vornex {

namespace {

void offerOne(QWidget* parent, const Recorder::Unwritten& lost, const QString& startFolder) {
    const QString path = QString::fromStdString(lost.path);
    ShowMessage(parent,
                QString::fromUtf8(kUnwrittenText)
                    .arg(lost.points.size())
                    .arg(path, QString::fromStdString(lost.reason)),
                QString::fromUtf8(kNoTestCaption), MessageIcon::Warning);
    QFileDialog dialog(parent, QFileInfo(path).fileName(),
                       startFolder + QLatin1Char('/') + QFileInfo(path).fileName(),
                       QStringLiteral("*.pdat"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(QStringLiteral("pdat"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return;
    const AppendResult saved = TestFile(dialog.selectedFiles().constFirst().toStdString())
                                   .append(lost.points.data(), lost.points.size());
    if (!saved.ok()) {
        ShowMessage(
            parent,
            QString::fromUtf8(kUnwrittenSaveFailedText).arg(QString::fromStdString(saved.error)),
            QString::fromUtf8(kNoTestCaption), MessageIcon::Warning);
    }
}

}  // namespace

void offerToSaveUnwritten(QWidget* parent, const std::vector<Recorder::Unwritten>& unwritten,
                          const QString& startFolder) {
    for (const Recorder::Unwritten& lost : unwritten)
        offerOne(parent, lost, startFolder);
}

}  // namespace vornex
