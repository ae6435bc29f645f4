#include "storeview/StoreStatusLabel.h"

#include <QFile>
#include <QFileInfo>
#include <QFontMetrics>
#include <QPainter>
#include <QStyle>
#include <algorithm>

#include "benchstore/BenchStore.h"
#include "i18n/Language.h"
#include "i18n/LanguageKeys.h"

namespace vornex {

namespace {

// The most of the status bar the word takes, and the least it keeps, in average characters.
constexpr int kWidestChars = 60;
constexpr int kNarrowestChars = 12;

// Each outbox file that cannot be read, by its name and what is wrong with it, after the folder
// where they are left.
QString damagedText(const QString& languageFile, const std::vector<store::DamagedItem>& damaged) {
    using Damage = store::DamagedItem::Damage;
    const auto text = [&](const char* key, const char* fallback) {
        return langStringOr(languageFile, QString::fromLatin1(key), QString::fromUtf8(fallback));
    };
    const auto local = [](const std::string& path) {
        return QFileInfo(QFile::decodeName(QByteArray::fromStdString(path)));
    };
    QStringList each;
    for (const store::DamagedItem& d : damaged) {
        const QString name = local(d.file).fileName();
        const QString detail = QString::fromStdString(d.detail);
        switch (d.damage) {
            case Damage::Unreadable:
                each << text(langkey::kStoreDamageUnreadable, "%1 cannot be read (%2)")
                            .arg(name, detail);
                break;
            case Damage::Empty:
                each << text(langkey::kStoreDamageEmpty, "%1 is empty").arg(name);
                break;
            case Damage::CutShort:
                each << text(langkey::kStoreDamageCutShort, "%1 is cut short").arg(name);
                break;
            case Damage::UnknownKind:
                each << text(langkey::kStoreDamageKind, "%1 is of no known kind (\"%2\")")
                            .arg(name, detail);
                break;
            case Damage::NoUuid:
                each << text(langkey::kStoreDamageNoUuid, "%1 names no UUID").arg(name);
                break;
        }
    }
    return text(langkey::kStoreDamaged, "%1 unreadable in %2, left there: %3")
        .arg(QString::number(damaged.size()), local(damaged.front().file).absolutePath(),
             each.join(QStringLiteral("; ")));
}

}  // namespace

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

QString StoreStatusLabel::langText(const char* key, const char* fallback) const {
    return langStringOr(languageFile_, QString::fromLatin1(key), QString::fromUtf8(fallback));
}

void StoreStatusLabel::refresh() {
    const store::OutboxStatus status = store_.status();
    const store::StoreResult& failure = status.lastFailure;
    setVisible(store_.configured() || !failure);
    QStringList parts;
    if (store_.configured()) {
        parts << (status.waiting == 0
                      ? langText(langkey::kStoreUpToDate, "store: up to date")
                      : langText(langkey::kStoreWaiting, "store: %1 waiting").arg(status.waiting));
    }
    if (!status.damaged.empty())
        parts << damagedText(languageFile_, status.damaged);
    if (!failure) {
        // A server that does not answer is said in the user's language.
        const QString error =
            failure.kind == store::StoreResultKind::Unreachable
                ? langText(langkey::kStoreUnreachable, "cannot reach the server: %1")
                      .arg(QString::fromStdString(failure.text))
                : QString::fromStdString(failure.text);
        // The waiting word already says "store:".
        parts << (parts.isEmpty() ? langText(langkey::kStoreError, "store: %1").arg(error) : error);
    }
    const store::StoreAddress& address = store_.address();
    if (!address.exposedFile.empty()) {
        parts << langText(langkey::kStoreExposed,
                          "warning: %1 holds a password and is readable by others (mode %2)")
                     .arg(QFile::decodeName(QByteArray::fromStdString(address.exposedFile)),
                          QStringLiteral("%1").arg(address.exposedMode, 4, 8, QLatin1Char('0')));
    }
    setText(parts.join(QStringLiteral(" — ")));
    setToolTip(text());
    setStyleSheet(failure.ok() && status.damaged.empty() && address.exposedFile.empty()
                      ? QString()
                      : QStringLiteral("color: red;"));
}

QSize StoreStatusLabel::sizeHint() const {
    const QFontMetrics metrics(font());
    const int margins = contentsMargins().left() + contentsMargins().right() + 2 * margin();
    return {std::min(metrics.horizontalAdvance(text()), kWidestChars * metrics.averageCharWidth()) +
                margins,
            QLabel::sizeHint().height()};
}

QSize StoreStatusLabel::minimumSizeHint() const {
    return {std::min(sizeHint().width(), kNarrowestChars * QFontMetrics(font()).averageCharWidth()),
            QLabel::minimumSizeHint().height()};
}

QString StoreStatusLabel::shownText() const {
    return fontMetrics().elidedText(text(), Qt::ElideRight, contentsRect().width() - 2 * margin());
}

void StoreStatusLabel::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    style()->drawItemText(
        &painter, contentsRect().adjusted(margin(), margin(), -margin(), -margin()),
        static_cast<int>(alignment()), palette(), isEnabled(), shownText(), foregroundRole());
}

}  // namespace vornex
