#pragma once

#include <QString>
#include <QTranslator>

namespace vornex {

// Qt's own texts (message-box buttons, file and print dialogs, edit menus) in the program's
// language: Qt's base translation of that language, installed on the application. English needs
// none; a language Qt has no translation for leaves Qt's texts in English.
class QtBaseTranslation {
public:
    QtBaseTranslation() = default;
    ~QtBaseTranslation();
    QtBaseTranslation(const QtBaseTranslation&) = delete;
    QtBaseTranslation& operator=(const QtBaseTranslation&) = delete;

    // Installs the translation for `language` ("zh_CN", "zh_TW", "en_US"), replacing the one
    // installed before. False when Qt's translation for it cannot be found.
    bool use(const QString& language);

    // The folder Qt's translations are looked up in.
    static QString folder();

private:
    QTranslator translator_;
    bool installed_ = false;
};

}  // namespace vornex
