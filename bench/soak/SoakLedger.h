#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "sim/Transaction.h"

namespace vornex::soak {

struct LedgerFigures {
    uint64_t answered = 0;         // live readings the line answered while a recording ran
    uint64_t answeredStopped = 0;  // ... while none ran
    uint64_t recorded = 0;         // points found in the test recorded into
    uint64_t lost = 0;             // answered while recording, missing from that test
    uint64_t duplicated = 0;       // in that test more often than answered
    uint64_t misfiled = 0;         // found in a test that was not being recorded into
    uint64_t outOfOrder = 0;       // in the right test as often as answered, but out of place
};

// Holds the test files of a soak and checks them, one stretch of time after another, against the
// simulator's transaction log: every live reading answered while a test was being recorded into
// is in that test's file exactly once and in order, and no file gains anything else.
class SoakLedger {
public:
    void addTest(const std::string& path);
    size_t testCount() const { return tests_.size(); }

    // Checks the stretch that ends now. `taken` holds every request the line took in it, and
    // `target` is the index of the test recorded into throughout it, or -1 while none was.
    // Every file must already hold what the recording took in the stretch.
    void check(const std::vector<sim::Transaction>& taken, int target);

    const LedgerFigures& figures() const { return figures_; }

private:
    struct Reading {
        uint8_t slave;
        float value;
    };
    struct Test {
        std::string path;
        uint64_t offset = 0;  // bytes checked so far
    };

    std::vector<Reading> readNew(Test& test);
    void compare(const std::vector<Reading>& answered, const std::vector<Reading>& recorded);

    std::vector<Test> tests_;
    LedgerFigures figures_;
};

}  // namespace vornex::soak
