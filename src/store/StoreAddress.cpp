#include "store/StoreAddress.h"

#include <libpq-fe.h>

#include <cctype>

#include "i18n/HomeFolder.h"
#include "i18n/ProfileFile.h"

namespace vornex::store {

namespace {

constexpr int kMaxAddress = 1024;

bool isUri(const std::string& text) {
    return text.rfind("postgresql://", 0) == 0 || text.rfind("postgres://", 0) == 0;
}

// A password given in the address itself: "password" anywhere, or a URI's "user:secret@".
bool mayHoldPassword(const std::string& text) {
    std::string lower(text);
    for (char& c : lower)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (lower.find("password") != std::string::npos)
        return true;
    if (!isUri(lower))
        return false;
    const size_t start = lower.find("://") + 3;
    const size_t at = lower.find('@', start);
    return at != std::string::npos && lower.find(':', start) < at;
}

}  // namespace

StoreAddress storeAddress(const std::string& given) {
    StoreAddress address;
    if (given.empty())
        return address;
    // A bare word names a service of pg_service.conf.
    const std::string conninfo =
        isUri(given) || given.find('=') != std::string::npos ? given : "service=" + given;
    char* error = nullptr;
    PQconninfoOption* options = PQconninfoParse(conninfo.c_str(), &error);
    if (!options) {
        // libpq's message quotes pieces of the address: neither is shown when it may name a
        // password.
        const bool secret = mayHoldPassword(given);
        address.refusal = "the store address " +
                          (secret ? std::string("(not shown: it may hold a password)") : given) +
                          " is not a libpq connection string" +
                          (error && !secret ? std::string(": ") + error : std::string());
        if (!address.refusal.empty() && address.refusal.back() == '\n')
            address.refusal.pop_back();
        PQfreemem(error);
        return address;
    }
    bool password = false;
    for (const PQconninfoOption* o = options; o->keyword; ++o) {
        if (std::string(o->keyword) == "password" && o->val && *o->val)
            password = true;
    }
    PQconninfoFree(options);
    if (password) {
        address.refusal =
            "the store address holds a password; it is not used from there: put the password in "
            "~/.pgpass (or the file PGPASSFILE names), readable by its owner only, and give the "
            "address without it";
        return address;
    }
    address.conninfo = conninfo;
    return address;
}

StoreAddress configuredStore(const QStringList& arguments) {
    const qsizetype at = arguments.indexOf(QStringLiteral("--uri"));
    if (at >= 0 && at + 1 < arguments.size())
        return storeAddress(arguments.at(at + 1).toStdString());
    for (const QString& argument : arguments) {
        if (argument.startsWith(QStringLiteral("--uri=")))
            return storeAddress(argument.mid(6).toStdString());
    }
    return configuredStore(homePaths(arguments).configFile);
}

StoreAddress configuredStore(const QString& configFile) {
    const QString uri =
        ProfileFile(configFile)
            .read(QStringLiteral("Store"), QStringLiteral("Uri"), QString(), kMaxAddress)
            .trimmed();
    return storeAddress(uri.toStdString());
}

}  // namespace vornex::store
