#include "frame/UnwrittenPointsOffer.h"

#include <QFileDialog>
#include <QFileInfo>

#include "controls/MessageBox.h"
#include "i18n/Language.h"
#include "i18n/LanguageKeys.h"
#include "i18n/MessageTexts.h"
#include "record/TestFile.h"

namespace vornex {

namespace {

QString text(const QString& languageFile, const char* key, const char* builtIn) {
    return langStringOr(languageFile, QString::fromLatin1(key), QString::fromUtf8(builtIn));
}

void offerOne(QWidget* parent, const QString& languageFile, const Recorder::Unwritten& lost,
              const QString& startFolder) {
    const QString path = QString::fromStdString(lost.path);
    const QString caption = text(languageFile, langkey::kMessageTip, kNoTestCaption);
    ShowMessage(parent,
                text(languageFile, langkey::kMessageUnwritten, kUnwrittenText)
                    .arg(lost.points.size())
                    .arg(path, QString::fromStdString(lost.reason)),
                caption, MessageIcon::Warning);
    QFileDialog dialog(parent, QFileInfo(path).fileName(),
                       startFolder + QLatin1Char('/') + QFileInfo(path).fileName(),
                       text(languageFile, langkey::kFilterTest, "*.pdat"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(QStringLiteral("pdat"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return;
    const AppendResult saved = TestFile(dialog.selectedFiles().constFirst().toStdString())
                                   .append(lost.points.data(), lost.points.size());
    if (!saved.ok()) {
        ShowMessage(parent,
                    text(languageFile, langkey::kMessageUnwrittenSaveFail, kUnwrittenSaveFailedText)
                        .arg(QString::fromStdString(saved.file.text)),
                    caption, MessageIcon::Warning);
    }
}

}  // namespace

void offerToSaveUnwritten(QWidget* parent, const QString& languageFile,
                          const std::vector<Recorder::Unwritten>& unwritten,
                          const QString& startFolder) {
    for (const Recorder::Unwritten& lost : unwritten)
        offerOne(parent, languageFile, lost, startFolder);
}

}  // namespace vornex
