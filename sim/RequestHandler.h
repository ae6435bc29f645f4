#pragma once

#include <cstdint>
#include <vector>

#include "Instrument.h"
#include "Transaction.h"

namespace vornex::sim {

// Answers one RTU request frame (CRC already checked) addressed to an instrument: decodes the
// function, lets the instrument act, and builds the reply frame with its CRC. Function codes
// 03, 04, 06, 16 and 17; anything else gets exception 01.
class RequestHandler {
public:
    static std::vector<uint8_t> respond(Instrument& instrument, const std::vector<uint8_t>& request,
                                        Instrument::Clock::time_point now, Transaction& taken);
};

}  // namespace vornex::sim
