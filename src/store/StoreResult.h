#pragma once

#include <string>
#include <utility>

namespace vornex::store {

// What the store's callers tell apart when it could not do what they asked.
enum class StoreResultKind {
    Ok,
    Unreachable,  // no connection to the server could be made, or it was lost on the way
    Refused,      // the server refused, or holds what this program cannot take (a newer schema,
                  // a file whose hash is not the one it was sent with)
    Interrupted,  // a signal or the window's end cut it short
    BadInput,     // what was given cannot be used: an address, an item, a file that differs
    Files,        // the bench's own files could not be read or written
};

// What one call of the store came to. A failure keeps the text shown to users and, when a server
// said it, the SQLSTATE it gave, so that a permission refused (42501) is told from a broken
// connection without reading the text.
struct StoreResult {
    StoreResultKind kind = StoreResultKind::Ok;
    std::string text;
    std::string sqlState;  // five characters, empty when no server said it

    bool ok() const { return kind == StoreResultKind::Ok; }
    explicit operator bool() const { return ok(); }

    static StoreResult failed(StoreResultKind kind, std::string text, std::string sqlState = {}) {
        return StoreResult{kind, std::move(text), std::move(sqlState)};
    }
    // The text as `vornex-cli` says it: a server that cannot be reached is named as such.
    std::string message() const {
        return kind == StoreResultKind::Unreachable ? "the store cannot be reached: " + text : text;
    }
};

// A value the store gave back, or, without it, why not.
template <typename T>
struct StoreAnswer {
    T value{};
    StoreResult result;

    bool ok() const { return result.ok(); }
    explicit operator bool() const { return ok(); }
};

}  // namespace vornex::store
