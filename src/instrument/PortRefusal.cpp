#include "instrument/PortRefusal.h"

#include "controls/MessageBox.h"
#include "i18n/Language.h"
#include "i18n/LanguageKeys.h"
#include "link/PortAccess.h"

namespace vornex {

void showPortRefusal(QWidget* parent, const QString& languageFile, const QString& port,
                     const PolledPort& polled, OpenResult why) {
    const std::string name = port.toStdString();
    if (polled && samePort(name, polled().toStdString())) {
        ShowMessage(
            parent,
            GetLangString(languageFile, QString::fromLatin1(langkey::kMessagePortPolled)).arg(port),
            GetLangString(languageFile, QString::fromLatin1(langkey::kMessageTip)));
        return;
    }
    if (why == OpenResult::UnknownHost || why == OpenResult::Refused) {
        showLangMessage(parent, languageFile,
                        why == OpenResult::UnknownHost ? langkey::kMessageHostUnknown
                                                       : langkey::kMessageConnectRefused,
                        MessageIcon::Warning, port);
        return;
    }
    showLangMessage(
        parent, languageFile,
        portAccessDenied(name) ? langkey::kMessagePortDenied : langkey::kMessageComError);
}

}  // namespace vornex
