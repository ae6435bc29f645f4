#include "store/OutboxDrain.h"

#include "store/ResultSender.h"

namespace vornex::store {

DrainPass drainOutbox(Outbox& outbox, const std::string& conninfo, PgInterrupt* interrupt) {
    DrainPass pass;
    OutboxContents contents = outbox.contents();
    pass.left = contents.waiting();
    pass.damaged = std::move(contents.damaged);
    if (contents.items.empty())
        return pass;
    const auto interrupted = [&] {
        if (!interrupt || !interrupt->interrupted())
            return false;
        pass.result = StoreResult::failed(StoreResultKind::Interrupted,
                                          "interrupted; what was not sent stays in the outbox");
        return true;
    };
    PgConnection connection(conninfo, 10, interrupt);
    if (interrupted())
        return pass;
    pass.result = connection.reached();
    if (!pass.result)
        return pass;
    // A connection that cannot take the limit is of no use to the pass either.
    if (const StoreResult limited = connection.limitStatements(kStatementSeconds); !limited) {
        if (!interrupted()) {
            pass.result =
                StoreResult::failed(StoreResultKind::Unreachable, limited.text, limited.sqlState);
        }
        return pass;
    }
    for (const OutboxItem& item : contents.items) {
        if (interrupted())
            break;
        const Sending sending =
            item.kind == OutboxItem::Kind::Test
                ? sendTest(connection, item.uuid, item.path)
                : sendRun(connection, item.uuid, item.path, item.bench, item.supersedes);
        if (sending.sent()) {
            outbox.remove(item);
            ++pass.sent;
            --pass.left;
            continue;
        }
        if (interrupted())
            break;
        pass.result = sending.result;
        if (pass.result.kind == StoreResultKind::Unreachable)
            break;
    }
    return pass;
}

void OutboxStatus::take(const DrainPass& pass) {
    waiting = pass.left;
    damaged = pass.damaged;
    if (pass.left == 0)
        lastFailure = StoreResult();
    else if (!pass.result)
        lastFailure = pass.result;
}

}  // namespace vornex::store
