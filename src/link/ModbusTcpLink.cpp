#include "link/ModbusTcpLink.h"

namespace vornex {

void ModbusTcpLink::frame(std::vector<uint8_t>& request) {
    ++transaction_;
    const size_t following = request.size();
    const uint8_t header[kMbapHeaderSize] = {
        static_cast<uint8_t>(transaction_ >> 8), static_cast<uint8_t>(transaction_ & 0xFF), 0, 0,
        static_cast<uint8_t>(following >> 8),    static_cast<uint8_t>(following & 0xFF)};
    request.insert(request.begin(), header, header + kMbapHeaderSize);
}

ReplyScan ModbusTcpLink::scan(const uint8_t* data, std::size_t size,
                              const ExpectedReply& expected) const {
    return scanMbapReply(data, size, expected, transaction_);
}

}  // namespace vornex
