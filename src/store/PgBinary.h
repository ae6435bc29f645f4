#pragma once

#include <cstdint>
#include <string_view>

namespace vornex::store {

// Numbers as the server sends them in binary results and as its float8send and int4send write
// them: big-endian. Each takes exactly its size in bytes.
namespace pgbinary {

int32_t int4(std::string_view bytes);
int64_t int8(std::string_view bytes);
double float8(std::string_view bytes);

}  // namespace pgbinary

}  // namespace vornex::store
