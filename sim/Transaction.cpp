#include "Transaction.h"

namespace vornex::sim {

namespace {
const char* fateName(ReplyFate fate) {
    switch (fate) {
        case ReplyFate::Answered:
            return "ok";
        case ReplyFate::Exception:
            return "exception";
        case ReplyFate::Dropped:
            return "dropped";
        case ReplyFate::BadCrc:
            return "badcrc";
    }
    return "?";
}
}  // namespace

std::string Transaction::toLine() const {
    return std::to_string(slave) + ' ' + std::to_string(function) + ' ' + std::to_string(first) +
           ' ' + std::to_string(count) + ' ' + fateName(fate);
}

}  // namespace vornex::sim
