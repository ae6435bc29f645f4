#include "store/OutboxSender.h"

#include <utility>

#include "store/RegisterSender.h"
#include "store/Review.h"

namespace vornex::store {

OutboxSender::OutboxSender(Outbox& outbox, std::string conninfo,
                           std::function<void(const OutboxStatus&)> changed, std::string bench)
    : outbox_(outbox),
      conninfo_(std::move(conninfo)),
      bench_(std::move(bench)),
      changed_(std::move(changed)),
      worker_(std::chrono::milliseconds(0), [this] { return pass(); }) {}

OutboxSender::~OutboxSender() {
    worker_.stop();
    interrupt_.interrupt();
}

void OutboxSender::wake() {
    worker_.wake();
}

std::chrono::milliseconds OutboxSender::pass() {
    const DrainPass pass = drainOutbox(outbox_, conninfo_, &interrupt_);
    status_.take(pass);
    // The bench's own signatures follow the records they sign; one the server refuses is said
    // as the pass's failure until it is mended, as a refused item is.
    if (pass.result.kind != StoreResultKind::Unreachable && !interrupt_.interrupted()) {
        const SignaturesSent signatures =
            sendHomeSignatures(outbox_.home(), conninfo_, &interrupt_);
        if (!signatures.refused.empty())
            status_.lastFailure =
                StoreResult::failed(StoreResultKind::Refused, signatures.refused.front());
        // And the home's register, each line once.
        const RegisterSent lines = sendHomeRegister(outbox_.home(), conninfo_, bench_, &interrupt_);
        if (!lines.refused.empty())
            status_.lastFailure =
                StoreResult::failed(StoreResultKind::Refused, lines.refused.front());
    }
    std::chrono::seconds wait = Backoff::kLongest;
    if (pass.left == 0)
        backoff_.reset();
    else
        wait = backoff_.next();
    changed_(status_);
    return wait;
}

}  // namespace vornex::store
