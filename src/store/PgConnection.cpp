#include "store/PgConnection.h"

#include <sys/socket.h>

#include <chrono>
#include <cstdlib>
#include <thread>
#include <utility>

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

const char* PgResult::text(int row, int column) const {
    return PQgetvalue(result_.get(), row, column);
}

long PgResult::affected() const {
    return std::strtol(PQcmdTuples(result_.get()), nullptr, 10);
}

PgInterrupt::~PgInterrupt() {
    if (cancelSent_.valid())
        cancelSent_.wait_for(std::chrono::seconds(2));
}

void PgInterrupt::interrupt() {
    PGcancel* cancel = nullptr;
    std::shared_ptr<std::promise<void>> sent;
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        if (interrupted_)
            return;
        interrupted_ = true;
        // The connection's own thread, waiting for an answer, sees it closed now.
        if (socket_ >= 0)
            ::shutdown(socket_, SHUT_RDWR);
        cancel = std::exchange(cancel_, nullptr);
        if (!cancel)
            return;
        sent = std::make_shared<std::promise<void>>();
        cancelSent_ = sent->get_future();
    }
    // Without the cancel the server would go on waiting for the lock, or running the statement,
    // for a client that left. PQcancel connects anew and waits for a host that may be gone, so
    // it goes on a thread of its own, which ~PgInterrupt gives a moment and no more.
    std::thread([cancel, sent] {
        char error[256];
        PQcancel(cancel, error, sizeof error);
        PQfreeCancel(cancel);
        sent->set_value();
    }).detach();
}

bool PgInterrupt::interrupted() const {
    const std::lock_guard<std::mutex> lock(mutex_);
    return interrupted_;
}

void PgInterrupt::attach(PGconn* conn) {
    const std::lock_guard<std::mutex> lock(mutex_);
    socket_ = PQsocket(conn);
    if (interrupted_) {
        ::shutdown(socket_, SHUT_RDWR);
        return;
    }
    cancel_ = PQgetCancel(conn);
}

void PgInterrupt::detach() {
    const std::lock_guard<std::mutex> lock(mutex_);
    socket_ = -1;
    if (cancel_)
        PQfreeCancel(std::exchange(cancel_, nullptr));
}

PgConnection::PgConnection(const std::string& conninfo, int timeoutSeconds, PgInterrupt* interrupt)
    : conn_(nullptr, PQfinish), interrupt_(interrupt) {
    // Later entries win: what the address names itself overrides these. A server host that
    // vanishes is noticed within 30 s of silence and three unanswered probes 10 s apart, and
    // within 60 s when what was sent stays unacknowledged; libpq ignores these on a Unix
    // socket.
    const std::string timeout = std::to_string(timeoutSeconds);
    const char* keywords[] = {"connect_timeout",
                              "application_name",
                              "keepalives",
                              "keepalives_idle",
                              "keepalives_interval",
                              "keepalives_count",
                              "tcp_user_timeout",
                              "dbname",
                              nullptr};
    const char* values[] = {timeout.c_str(), "vornex",         "1",    "30", "10", "3",
                            "60000",         conninfo.c_str(), nullptr};
    conn_.reset(PQconnectdbParams(keywords, values, 1));
    // Notices ("already exists, skipping") are no failures; libpq would print them on stderr.
    PQsetNoticeProcessor(
        conn_.get(), [](void*, const char*) {}, nullptr);
    if (interrupt_ && ok())
        interrupt_->attach(conn_.get());
    else
        interrupt_ = nullptr;
}

PgConnection::~PgConnection() {
    if (interrupt_)
        interrupt_->detach();
}

StoreResult PgConnection::limitStatements(int seconds) {
    return check(
        exec("SELECT set_config('statement_timeout', $1, false) "
             "WHERE current_setting('statement_timeout') = '0'",
             {PgParam::text(std::to_string(seconds) + "s")}));
}

std::string PgConnection::error() const {
    if (!conn_)
        return "out of memory";
    return oneLine(PQerrorMessage(conn_.get()));
}

StoreResult PgConnection::reached() const {
    return ok() ? StoreResult() : StoreResult::failed(StoreResultKind::Unreachable, error());
}

StoreResult PgConnection::check(const PgResult& result) const {
    if (result.ok())
        return StoreResult();
    return StoreResult::failed(ok() ? StoreResultKind::Refused : StoreResultKind::Unreachable,
                               result.error(), result.sqlState());
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

PgTransaction::~PgTransaction() {
    if (open_ && connection_.ok())
        connection_.exec("ROLLBACK");
}

PgResult PgTransaction::begin() {
    PgResult begun = connection_.exec("BEGIN");
    open_ = begun.ok();
    return begun;
}

PgResult PgTransaction::commit() {
    open_ = false;
    return connection_.exec("COMMIT");
}

}  // namespace vornex::store
