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
        pass.interrupted = true;
        pass.error = "interrupted; what was not sent stays in the outbox";
        return true;
    };
    PgConnection connection(conninfo, 10, interrupt);
    if (interrupted())
        return pass;
    if (!connection.ok()) {
        pass.unreachable = true;
        pass.error = "the store cannot be reached: " + connection.error();
        return pass;
    }
    if (std::string error; !connection.limitStatements(kStatementSeconds, error)) {
        if (!interrupted()) {
            pass.unreachable = true;
            pass.error = "the store cannot be reached: " + error;
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
        pass.error = sending.error;
        if (sending.connectionLost) {
            pass.unreachable = true;
            pass.error = "the store cannot be reached: " + sending.error;
            break;
        }
    }
    return pass;
}

void OutboxStatus::take(const DrainPass& pass) {
    waiting = pass.left;
    damaged = pass.damaged;
    if (pass.left == 0)
        lastError.clear();
    else if (!pass.error.empty())
        lastError = pass.error;
}

}  // namespace vornex::store
