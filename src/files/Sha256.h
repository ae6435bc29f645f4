#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace vornex {

// SHA-256 (FIPS 180-4) of bytes fed in any number of pieces: the hash of test files, run files and
// outbox names, in plain C++ so that the layers without Qt hash the same way as the rest.
class Sha256 {
public:
    void add(const void* bytes, size_t count);
    void add(std::string_view bytes) { add(bytes.data(), bytes.size()); }
    // Lower-case hex of the digest of everything added. Ends the hash: add nothing after it.
    std::string hex();

private:
    void compress(const uint8_t* block);

    std::array<uint32_t, 8> state_{0x6a09e667, 0xbb67ae85, 0x3c6ef372, 0xa54ff53a,
                                   0x510e527f, 0x9b05688c, 0x1f83d9ab, 0x5be0cd19};
    std::array<uint8_t, 64> block_{};
    size_t filled_ = 0;
    uint64_t length_ = 0;  // bytes added
};

std::string sha256Hex(std::string_view bytes);
// The hash of a regular file's bytes now; empty with the reason in `error` when it cannot be read
// or is no regular file.
std::string fileSha256Hex(const std::string& path, std::string& error);

}  // namespace vornex
