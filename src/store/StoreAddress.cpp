#include "store/StoreAddress.h"

#include <libpq-fe.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QByteArray>
#include <cctype>
#include <cstdio>
#include <fstream>
#include <utility>
#include <vector>

#include "config/HomeFolder.h"
#include "config/PrivateProfile.h"

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

// The service files in the order libpq reads them: the user's (PGSERVICEFILE, else
// .pg_service.conf in HOME, else in the password database's home folder), then the system's in
// PGSYSCONFDIR, else the folder Debian's libpq is built with.
std::vector<std::string> serviceFiles() {
    std::vector<std::string> files;
    const QByteArray user = qgetenv("PGSERVICEFILE");
    const QByteArray home = qgetenv("HOME");
    if (!user.isEmpty()) {
        files.push_back(user.toStdString());
    } else if (!home.isEmpty()) {
        files.push_back(home.toStdString() + "/.pg_service.conf");
    } else if (const passwd* account = ::getpwuid(::geteuid()); account && account->pw_dir) {
        files.push_back(std::string(account->pw_dir) + "/.pg_service.conf");
    }
    const QByteArray system = qgetenv("PGSYSCONFDIR");
    files.push_back(
        (system.isEmpty() ? std::string("/etc/postgresql-common") : system.toStdString()) +
        "/pg_service.conf");
    return files;
}

enum class ServiceEntry { Absent, Found, WithPassword };

// Read as libpq reads it: "[name]" opens an entry, "#" starts a comment line, blanks around a
// line are dropped, and a key runs up to the "=" with no blank before it.
ServiceEntry serviceEntry(const std::string& path, const std::string& service) {
    std::ifstream in(path);
    std::string line;
    bool inside = false;
    bool found = false;
    while (std::getline(in, line)) {
        const QString text = QString::fromStdString(line).trimmed();
        if (text.isEmpty() || text.startsWith(QLatin1Char('#')))
            continue;
        if (text.startsWith(QLatin1Char('['))) {
            if (found)
                break;
            inside = text == QStringLiteral("[%1]").arg(QString::fromStdString(service));
            found = inside;
            continue;
        }
        const qsizetype equals = text.indexOf(QLatin1Char('='));
        if (inside && equals > 0 && text.left(equals) == QLatin1String("password") &&
            equals + 1 < text.size())
            return ServiceEntry::WithPassword;
    }
    return found ? ServiceEntry::Found : ServiceEntry::Absent;
}

// The first service file that names `service` is the one libpq takes it from.
void findExposure(StoreAddress& address, const std::string& service) {
    for (const std::string& path : serviceFiles()) {
        const ServiceEntry entry = serviceEntry(path, service);
        if (entry == ServiceEntry::Absent)
            continue;
        struct stat info {};
        if (entry == ServiceEntry::WithPassword && ::stat(path.c_str(), &info) == 0 &&
            (info.st_mode & (S_IRGRP | S_IROTH)) != 0) {
            address.exposedFile = path;
            address.exposedMode = info.st_mode & 07777;
        }
        return;
    }
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
        std::string refusal =
            "the store address " +
            (secret ? std::string("(not shown: it may hold a password)") : given) +
            " is not a libpq connection string" +
            (error && !secret ? std::string(": ") + error : std::string());
        if (refusal.back() == '\n')
            refusal.pop_back();
        PQfreemem(error);
        address.result = StoreResult::failed(StoreResultKind::BadInput, std::move(refusal));
        return address;
    }
    bool password = false;
    std::string service;
    for (const PQconninfoOption* o = options; o->keyword; ++o) {
        if (std::string(o->keyword) == "password" && o->val && *o->val)
            password = true;
        if (std::string(o->keyword) == "service" && o->val)
            service = o->val;
    }
    PQconninfoFree(options);
    if (password) {
        address.result = StoreResult::failed(
            StoreResultKind::BadInput,
            "the store address holds a password; it is not used from there: put the password in "
            "~/.pgpass (or the file PGPASSFILE names), readable by its owner only, and give the "
            "address without it");
        return address;
    }
    address.conninfo = conninfo;
    if (!service.empty())
        findExposure(address, service);
    return address;
}

std::string exposureWarning(const StoreAddress& address) {
    if (address.exposedFile.empty())
        return std::string();
    char mode[8];
    std::snprintf(mode, sizeof mode, "%04o", address.exposedMode);
    return address.exposedFile + " holds a password and is readable by others (mode " + mode + ")";
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
        PrivateProfile(configFile)
            .read(QStringLiteral("Store"), QStringLiteral("Uri"), QString(), kMaxAddress)
            .trimmed();
    return storeAddress(uri.toStdString());
}

}  // namespace vornex::store
