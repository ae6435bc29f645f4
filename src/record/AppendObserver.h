#pragma once

#include <cstddef>
#include <string>

namespace vornex {

// What the writing of a recording's points tells its surroundings. These calls come from the
// file-writer thread, or from the controlling thread while it flushes a test it closes, so an
// implementation that touches a window must post them to the window's thread. Every method does
// nothing unless overridden.
class AppendObserver {
public:
    virtual ~AppendObserver() = default;
    // The first failed append to `path` since it last succeeded; its points stay queued.
    virtual void appendFailed(const std::string& /*path*/, const std::string& /*reason*/) {}
    // Appends to `path` work again after a failure.
    virtual void appendRecovered(const std::string& /*path*/) {}
    // The append asked for when the test of `path` was closed has run; `unwritten` of its points
    // are still queued (they are retried).
    virtual void closedTestWritten(const std::string& /*path*/, size_t /*unwritten*/) {}
};

}  // namespace vornex
