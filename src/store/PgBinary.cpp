#include "store/PgBinary.h"

#include <cstring>

namespace vornex::store::pgbinary {

namespace {

uint64_t bigEndian(std::string_view bytes, size_t size) {
    uint64_t value = 0;
    for (size_t i = 0; i < size; ++i)
        value = (value << 8) | static_cast<unsigned char>(bytes[i]);
    return value;
}

}  // namespace

int32_t int4(std::string_view bytes) {
    return static_cast<int32_t>(static_cast<uint32_t>(bigEndian(bytes, 4)));
}

int64_t int8(std::string_view bytes) {
    return static_cast<int64_t>(bigEndian(bytes, 8));
}

double float8(std::string_view bytes) {
    const uint64_t bits = bigEndian(bytes, 8);
    double value = 0.0;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

}  // namespace vornex::store::pgbinary
