#include "storeview/StoreStatusLabel.h"

#include "i18n/Language.h"
#include "i18n/LanguageKeys.h"
#include "store/BenchStore.h"

namespace vornex {

StoreStatusLabel::StoreStatusLabel(store::BenchStore& store, QWidget* parent)
    : QLabel(parent), store_(store) {
    setObjectName(QStringLiteral("statusStore"));
    connect(&store_, &store::BenchStore::statusChanged, this, &StoreStatusLabel::refresh);
    refresh();
}

void StoreStatusLabel::setLanguageFile(const QString& languageFile) {
    languageFile_ = languageFile;
    refresh();
}

void StoreStatusLabel::refresh() {
    const store::OutboxStatus status = store_.status();
    setVisible(store_.configured() || !status.lastError.empty());
    QString shown;
    if (store_.configured()) {
        shown = status.waiting == 0
                    ? langStringOr(languageFile_, QString::fromLatin1(langkey::kStoreUpToDate),
                                   QStringLiteral("store: up to date"))
                    : langStringOr(languageFile_, QString::fromLatin1(langkey::kStoreWaiting),
                                   QStringLiteral("store: %1 waiting"))
                          .arg(status.waiting);
    }
    if (!status.lastError.empty()) {
        const QString error = langStringOr(languageFile_, QString::fromLatin1(langkey::kStoreError),
                                           QStringLiteral("store: %1"))
                                  .arg(QString::fromStdString(status.lastError));
        shown = shown.isEmpty() ? error : shown + QStringLiteral(" — ") + error;
    }
    setText(shown);
    setStyleSheet(status.lastError.empty() ? QString() : QStringLiteral("color: red;"));
    setToolTip(QString::fromStdString(status.lastError));
}

}  // namespace vornex
