#pragma once

#include <QDate>
#include <optional>
#include <string>

#include "register/RegisterRecords.h"

namespace vornex {

enum class DueState { Ok, DueSoon, Overdue };
const char* dueStateWord(DueState state);  // "ok", "due-soon", "overdue"

// When an entry of the register is due, and why.
struct Due {
    DueState state = DueState::Ok;
    QDate date;                    // invalid when no date is known
    long cycles = 0;               // counted since the last good verification
    std::optional<long> interval;  // the count that makes it due
};

// A tool is due at its last good verification plus its interval in months, or when its cycles
// reach the interval's count, whichever comes first. It is overdue when today is past that day,
// its cycles have reached the count, or it was never verified; due soon when the day is within
// its lead time (today included) or its cycles, at the rate counted so far, would reach the count
// within the lead time.
Due toolDue(const RegisteredTool& tool, long cycles, const QDate& today);

// A reference is due on its certificate's due date: overdue after it, due soon within `leadDays`
// of it (today included); a reference with no due date is overdue.
Due referenceDue(const RegisteredReference& reference, const QDate& today, int leadDays = 30);

// What a test records of a tool the register holds overdue as it begins (see TestTrace): "since
// 2027-01-12", "cycles 5000/5000" or "never verified"; empty for a tool not overdue or not held.
// `home` ends in "/"; the tool's cycles are counted from its tests there.
std::string toolOverdueText(const std::string& home, const std::string& toolId, const QDate& today);

// A verification run's note of a tool the register holds overdue as the run begins, "tool W-17
// overdue for its verification (since 2027-01-12)"; empty otherwise.
std::string overdueToolNote(const std::string& home, const std::string& toolId, const QDate& today);

}  // namespace vornex
