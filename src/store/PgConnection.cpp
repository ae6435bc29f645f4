#include "store/PgConnection.h"

#include <cstdlib>

namespace vornex::store {

std::string oneLine(const char* message) {
    std::string line = message ? message : "";
    for (char& c : line) {
        if (c == '\n' || c == '\r' || c == '\t')
            c = ' ';
    }
    while (!line.empty() && line.back() == ' ')
        line.pop_back();
    return line;
}

bool PgResult::ok() const {
    const ExecStatusType status = PQresultStatus(result_.get());
    return status == PGRES_COMMAND_OK || status == PGRES_TUPLES_OK;
}

std::string PgResult::error() const {
    return ok() ? std::string() : oneLine(PQresultErrorMessage(result_.get()));
}

std::string PgResult::sqlState() const {
    const char* state = PQresultErrorField(result_.get(), PG_DIAG_SQLSTATE);
    return state ? state : "";
}

std::string PgResult::value(int row, int column) const {
    return std::string(PQgetvalue(result_.get(), row, column),
                       static_cast<size_t>(PQgetlength(result_.get(), row, column)));
}

long PgResult::affected() const {
    return std::strtol(PQcmdTuples(result_.get()), nullptr, 10);
}

PgConnection::PgConnection(const std::string& conninfo, int timeoutSeconds)
    : conn_(nullptr, PQfinish) {
    // Later entries win: a timeout the address names itself overrides this one.
    const std::string timeout = std::to_string(timeoutSeconds);
    const char* keywords[] = {"connect_timeout", "application_name", "dbname", nullptr};
    const char* values[] = {timeout.c_str(), "vornex", conninfo.c_str(), nullptr};
    conn_.reset(PQconnectdbParams(keywords, values, 1));
    // Notices ("already exists, skipping") are no failures; libpq would print them on stderr.
    PQsetNoticeProcessor(
        conn_.get(), [](void*, const char*) {}, nullptr);
}

std::string PgConnection::error() const {
    if (!conn_)
        return "out of memory";
    return oneLine(PQerrorMessage(conn_.get()));
}

PgResult PgConnection::exec(const std::string& sql, const std::vector<PgParam>& params,
                            bool binaryResult) {
    std::vector<const char*> values;
    std::vector<int> lengths;
    std::vector<int> formats;
    for (const PgParam& p : params) {
        values.push_back(p.value ? p.value->data() : nullptr);
        lengths.push_back(p.value ? static_cast<int>(p.value->size()) : 0);
        formats.push_back(p.binary ? 1 : 0);
    }
    return PgResult(PQexecParams(conn_.get(), sql.c_str(), static_cast<int>(params.size()), nullptr,
                                 values.data(), lengths.data(), formats.data(),
                                 binaryResult ? 1 : 0));
}

PgResult PgConnection::script(const std::string& sql) {
    return PgResult(PQexec(conn_.get(), sql.c_str()));
}

}  // namespace vornex::store
