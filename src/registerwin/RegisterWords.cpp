#include "registerwin/RegisterWords.h"

#include "i18n/Language.h"
#include "i18n/RegisterKeys.h"

namespace vornex {

RegisterWords::RegisterWords(const QString& languageFile) {
    for (const char* key : langkey::kRegisterLanguageKeys)
        texts_[key] = GetLangString(languageFile, QString::fromLatin1(key));
}

QString RegisterWords::operator()(const char* key) const {
    const auto found = texts_.find(key);
    return found == texts_.end() ? QString::fromLatin1(key) : found->second;
}

QString RegisterWords::state(DueState state) const {
    switch (state) {
        case DueState::DueSoon:
            return (*this)(langkey::kRegisterStateDueSoon);
        case DueState::Overdue:
            return (*this)(langkey::kRegisterStateOverdue);
        case DueState::Ok:
            break;
    }
    return (*this)(langkey::kRegisterStateOk);
}

}  // namespace vornex
