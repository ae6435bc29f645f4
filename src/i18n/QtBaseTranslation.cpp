#include "i18n/QtBaseTranslation.h"

#include <QCoreApplication>
#include <QLibraryInfo>

namespace vornex {

QtBaseTranslation::~QtBaseTranslation() {
    if (installed_)
        QCoreApplication::removeTranslator(&translator_);
}

QString QtBaseTranslation::folder() {
    return QLibraryInfo::path(QLibraryInfo::TranslationsPath);
}

bool QtBaseTranslation::use(const QString& language) {
    if (installed_) {
        QCoreApplication::removeTranslator(&translator_);
        installed_ = false;
    }
    if (language.startsWith(QStringLiteral("en")))
        return true;
    if (!translator_.load(QStringLiteral("qtbase_") + language, folder()))
        return false;
    installed_ = QCoreApplication::installTranslator(&translator_);
    return installed_;
}

}  // namespace vornex
