#pragma once

#include <libpq-fe.h>

#include <future>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "store/StoreResult.h"

namespace vornex::store {

// A value bound to a statement: text, raw bytes (sent in binary, for bytea) or NULL.
struct PgParam {
    std::optional<std::string> value;
    bool binary = false;

    static PgParam text(std::string v) { return {std::move(v), false}; }
    static PgParam bytes(std::string v) { return {std::move(v), true}; }
    static PgParam null() { return {std::nullopt, false}; }
};

// One statement's result, freed with it.
class PgResult {
public:
    explicit PgResult(PGresult* result) : result_(result, PQclear) {}

    // The statement ran (with or without rows).
    bool ok() const;
    // The server's message, on one line; empty when ok().
    std::string error() const;
    // The five-character SQLSTATE, empty when there is none.
    std::string sqlState() const;
    int rows() const { return PQntuples(result_.get()); }
    // A value as the server sent it: text, or bytes with binary results.
    std::string value(int row, int column) const;
    // The same without a copy, valid while the result is: for reading many rows fast.
    const char* text(int row, int column) const;
    // A value's bytes without a copy, valid while the result is: for binary results.
    std::string_view bytes(int row, int column) const {
        return {PQgetvalue(result_.get(), row, column),
                static_cast<size_t>(PQgetlength(result_.get(), row, column))};
    }
    bool isNull(int row, int column) const { return PQgetisnull(result_.get(), row, column) != 0; }
    // Rows an INSERT, UPDATE or DELETE touched.
    long affected() const;

private:
    std::unique_ptr<PGresult, void (*)(PGresult*)> result_;
};

// Lets another thread end, once and for good, what the connections given it wait for: the
// statement under way is cancelled on the server, and the wait for its answer ends at once
// whatever the server does (a server stopped or gone never answers the cancel). A connection
// being made is not cut short: it ends within its own timeout. One connection at a time. Safe
// from any thread, not from a signal handler.
class PgInterrupt {
public:
    PgInterrupt() = default;
    // Gives a cancel request still under way a moment to reach the server.
    ~PgInterrupt();
    PgInterrupt(const PgInterrupt&) = delete;
    PgInterrupt& operator=(const PgInterrupt&) = delete;

    void interrupt();
    bool interrupted() const;

private:
    friend class PgConnection;
    void attach(PGconn* conn);
    void detach();

    mutable std::mutex mutex_;
    bool interrupted_ = false;
    int socket_ = -1;
    PGcancel* cancel_ = nullptr;
    std::future<void> cancelSent_;
};

// A connection to the store's server. Every statement goes with its values bound apart from its
// text; only the schema files, which hold no value from outside, run as plain scripts.
class PgConnection {
public:
    // Connects at once; `conninfo` is what storeAddress() made of the configured address. A
    // connection that cannot be made within `timeoutSeconds` fails. TCP keepalives notice a
    // server host that vanished, unless the address sets them otherwise. Once connected,
    // `interrupt` (when given) ends its statements.
    explicit PgConnection(const std::string& conninfo, int timeoutSeconds = 10,
                          PgInterrupt* interrupt = nullptr);
    ~PgConnection();
    PgConnection(const PgConnection&) = delete;
    PgConnection& operator=(const PgConnection&) = delete;

    bool ok() const { return PQstatus(conn_.get()) == CONNECTION_OK; }
    // Why the connection failed or broke, on one line.
    std::string error() const;
    // Ok while connected, else Unreachable with error().
    StoreResult reached() const;
    // What a statement on this connection came to: Ok, the server's refusal with its SQLSTATE,
    // or Unreachable when the connection went with it.
    StoreResult check(const PgResult& result) const;

    PgResult exec(const std::string& sql, const std::vector<PgParam>& params = {},
                  bool binaryResult = false);
    // A script of several statements without values (schema files only).
    PgResult script(const std::string& sql);
    // Ends every statement after this one that runs longer than `seconds`, unless the server or
    // the address already sets a limit.
    StoreResult limitStatements(int seconds);

private:
    std::unique_ptr<PGconn, void (*)(PGconn*)> conn_;
    PgInterrupt* interrupt_;
};

// A transaction on `connection`, rolled back when it ends neither committed nor with its
// connection lost, so that every way out of a failed step leaves the connection usable.
class PgTransaction {
public:
    explicit PgTransaction(PgConnection& connection) : connection_(connection) {}
    ~PgTransaction();
    PgTransaction(const PgTransaction&) = delete;
    PgTransaction& operator=(const PgTransaction&) = delete;

    PgResult begin();
    // Ends the transaction whatever the answer: a COMMIT that fails has rolled it back.
    PgResult commit();

private:
    PgConnection& connection_;
    bool open_ = false;
};

// The server's text for a failure joined onto one line, without libpq's trailing newline.
std::string oneLine(const char* message);

}  // namespace vornex::store
