#include "instrument/PortRefusal.h"

#include "controls/MessageBox.h"
#include "i18n/Language.h"
#include "i18n/LanguageKeys.h"
#include "link/PortAccess.h"

namespace vornex {

void showPortRefusal(QWidget* parent, const QString& languageFile, const QString& port,
                     const PolledPort& polled) {
    const std::string name = port.toStdString();
    if (polled && samePort(name, polled().toStdString())) {
        ShowMessage(
            parent,
            GetLangString(languageFile, QString::fromLatin1(langkey::kMessagePortPolled)).arg(port),
            GetLangString(languageFile, QString::fromLatin1(langkey::kMessageTip)));
        return;
    }
    showLangMessage(
        parent, languageFile,
        portAccessDenied(name) ? langkey::kMessagePortDenied : langkey::kMessageComError);
}

}  // namespace vornex
