#include "register/DueDates.h"

#include "register/LabRegister.h"
#include "register/ToolCycles.h"

#include <algorithm>

namespace vornex {

const char* dueStateWord(DueState state) {
    switch (state) {
        case DueState::DueSoon:
            return "due-soon";
        case DueState::Overdue:
            return "overdue";
        case DueState::Ok:
            break;
    }
    return "ok";
}

namespace {

QDate dayOf(const std::string& text) {
    return QDate::fromString(QString::fromStdString(text), Qt::ISODate);
}

DueState byDate(const QDate& due, const QDate& today, int leadDays) {
    if (today > due)
        return DueState::Overdue;
    return today.daysTo(due) <= leadDays ? DueState::DueSoon : DueState::Ok;
}

}  // namespace

Due toolDue(const RegisteredTool& tool, long cycles, const QDate& today) {
    Due due;
    due.cycles = cycles;
    due.interval = tool.intervalCycles;
    const QDate last = dayOf(tool.lastGood);
    if (!last.isValid()) {
        due.state = DueState::Overdue;
        return due;
    }
    if (tool.intervalMonths) {
        due.date = last.addMonths(*tool.intervalMonths);
        due.state = byDate(due.date, today, tool.leadDays);
    }
    if (tool.intervalCycles) {
        const long count = *tool.intervalCycles;
        if (cycles >= count) {
            due.state = DueState::Overdue;
        } else if (due.state == DueState::Ok && cycles > 0) {
            // Used as it has been since its last verification, for its lead time more.
            const double days = static_cast<double>(std::max<qint64>(1, last.daysTo(today)));
            const double used = static_cast<double>(cycles);
            if (used + used / days * tool.leadDays >= static_cast<double>(count))
                due.state = DueState::DueSoon;
        }
    }
    return due;
}

Due referenceDue(const RegisteredReference& reference, const QDate& today, int leadDays) {
    Due due;
    due.date = dayOf(reference.due);
    due.state = due.date.isValid() ? byDate(due.date, today, leadDays) : DueState::Overdue;
    return due;
}

std::string toolOverdueText(const std::string& home, const std::string& toolId,
                            const QDate& today) {
    std::string error;
    const std::optional<RegisteredTool> tool =
        toolId.empty() ? std::nullopt : LabRegister(home).tool(toolId, error);
    if (!tool || tool->status == "retired")
        return {};
    const Due due = toolDue(*tool, countToolCycles(home, toolId, tool->lastGood).pulls, today);
    if (due.state != DueState::Overdue)
        return {};
    if (tool->lastGood.empty())
        return "never verified";
    if (due.interval && due.cycles >= *due.interval)
        return "cycles " + std::to_string(due.cycles) + "/" + std::to_string(*due.interval);
    return "since " + due.date.toString(Qt::ISODate).toStdString();
}

std::string overdueToolNote(const std::string& home, const std::string& toolId,
                            const QDate& today) {
    const std::string overdue = toolOverdueText(home, toolId, today);
    return overdue.empty() ? std::string()
                           : "tool " + toolId + " overdue for its verification (" + overdue + ")";
}

}  // namespace vornex
