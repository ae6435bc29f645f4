#pragma once

#include <optional>
#include <string>
#include <vector>

#include "judge/JudgeRules.h"
#include "store/PgConnection.h"
#include "store/StoreResult.h"

namespace vornex::store {

// A tool's complete, judged pulls as the store holds them, over every test whose latest row
// names the tool, in time order across tests and benches: each record counted once, from the
// newest of its rows that carries events (a copy made by an amendment carries none).
struct ToolHistory {
    std::vector<double> magnitudes;  // in `unit`
    unsigned unit = 0;               // the newest pull's
    int decimals = 3;
    std::optional<judge::Band> band;  // the newest pull's limits, in `unit`
    size_t tests = 0;
    size_t otherUnits = 0;  // pulls measured in another unit, left out
};

StoreAnswer<ToolHistory> toolHistory(PgConnection& connection, const std::string& tool);

}  // namespace vornex::store
