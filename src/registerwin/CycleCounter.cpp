#include "registerwin/CycleCounter.h"

#include <utility>

namespace vornex {

CycleCounter::CycleCounter(std::string home) : home_(std::move(home)) {}

CycleCounter::~CycleCounter() {
    worker_.stop();
}

void CycleCounter::count(uint64_t serial, const std::vector<RegisteredTool>& tools) {
    latest_ = serial;
    for (const RegisteredTool& tool : tools) {
        worker_.post([this, serial, id = tool.id, since = tool.lastGood] {
            if (worker_.stopping() || latest_ != serial)
                return;
            const ToolCycles cycles = countToolCycles(home_, id, since);
            emit counted(serial, QString::fromStdString(id), cycles.pulls, cycles.tests,
                         cycles.unread);
        });
    }
}

}  // namespace vornex
