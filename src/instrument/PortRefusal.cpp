#include "instrument/PortRefusal.h"

#include "controls/MessageBox.h"
#include "i18n/Language.h"
#include "i18n/LanguageKeys.h"
#include "link/PortAccess.h"

namespace vornex {

bool refusePolledPort(QWidget* parent, const QString& languageFile, const QString& port,
                      const PolledPort& polled) {
    if (!polled || !samePort(port.toStdString(), polled().toStdString()))
        return false;
    ShowMessage(
        parent,
        GetLangString(languageFile, QString::fromLatin1(langkey::kMessagePortPolled)).arg(port),
        GetLangString(languageFile, QString::fromLatin1(langkey::kMessageTip)));
    return true;
}

void showPortRefusal(QWidget* parent, const QString& languageFile, const QString& port,
                     const PolledPort& polled, OpenResult why) {
    const std::string name = port.toStdString();
    if (refusePolledPort(parent, languageFile, port, polled))
        return;
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
