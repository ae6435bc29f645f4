#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace vornex::sim {

// Modbus RTU CRC: polynomial 0xA001 (reflected 0x8005), initial value 0xFFFF. On the wire the low
// byte goes first.
uint16_t crc16(const uint8_t* data, std::size_t size);

void appendCrc(std::vector<uint8_t>& frame);

// True when the last two bytes of the frame are the CRC of the bytes before them.
bool hasValidCrc(const uint8_t* frame, std::size_t size);

}  // namespace vornex::sim
