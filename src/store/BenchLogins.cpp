#include "store/BenchLogins.h"

namespace vornex::store {

StoreResult bindBenchLogin(PgConnection& connection, const std::string& bench,
                           const std::string& login) {
    const PgResult role =
        connection.exec("SELECT 1 FROM pg_roles WHERE rolname = $1", {PgParam::text(login)});
    if (!role.ok())
        return connection.check(role);
    if (role.rows() == 0) {
        return StoreResult::failed(StoreResultKind::BadInput,
                                   "the server has no role " + login + "; make it first: CREATE " +
                                       "ROLE " + login + " LOGIN PASSWORD '...' IN ROLE " +
                                       "vornex_bench");
    }
    const PgResult bound = connection.exec(
        "WITH added AS (INSERT INTO vornex_bench_logins (login, bench) VALUES ($1, $2) "
        "ON CONFLICT (login) DO NOTHING RETURNING bench) "
        "SELECT bench FROM added UNION ALL SELECT bench FROM vornex_bench_logins WHERE login = $1",
        {PgParam::text(login), PgParam::text(bench)});
    if (!bound.ok())
        return connection.check(bound);
    if (bound.rows() > 0 && bound.value(0, 0) != bench) {
        return StoreResult::failed(
            StoreResultKind::Refused,
            "login " + login + " is already bound to bench " + bound.value(0, 0));
    }
    return StoreResult();
}

}  // namespace vornex::store
