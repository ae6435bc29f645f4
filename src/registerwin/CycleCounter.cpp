#include "registerwin/CycleCounter.h"

#include <map>
#include <utility>

namespace vornex {

CycleCounter::CycleCounter(std::string home) : home_(std::move(home)) {}

CycleCounter::~CycleCounter() {
    worker_.stop();
}

void CycleCounter::count(uint64_t serial, const std::vector<RegisteredTool>& tools) {
    latest_ = serial;
    std::map<std::string, std::string> since;
    for (const RegisteredTool& tool : tools)
        since[tool.id] = tool.lastGood;
    worker_.post([this, serial, since = std::move(since)] {
        if (worker_.stopping() || latest_ != serial)
            return;
        for (const auto& [id, cycles] : countToolsCycles(home_, since))
            emit counted(serial, QString::fromStdString(id), cycles.pulls, cycles.tests,
                         cycles.unread);
    });
}

}  // namespace vornex
