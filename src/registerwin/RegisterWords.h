#pragma once

#include <QString>
#include <map>
#include <string>

#include "register/DueDates.h"

namespace vornex {

// The register window's texts in one language, read once from its language file: the tables ask
// for them cell by cell.
class RegisterWords {
public:
    explicit RegisterWords(const QString& languageFile);

    QString operator()(const char* key) const;
    // "ok", "due soon", "overdue" in the window's language.
    QString state(DueState state) const;

private:
    std::map<std::string, QString> texts_;
};

}  // namespace vornex
