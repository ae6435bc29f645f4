#include "files/Sha256.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include <cstring>

namespace vornex {
namespace {

constexpr std::array<uint32_t, 64> kRound{
    0x428a2f98, 0x71374491, 0xb5c0fbcf, 0xe9b5dba5, 0x3956c25b, 0x59f111f1, 0x923f82a4, 0xab1c5ed5,
    0xd807aa98, 0x12835b01, 0x243185be, 0x550c7dc3, 0x72be5d74, 0x80deb1fe, 0x9bdc06a7, 0xc19bf174,
    0xe49b69c1, 0xefbe4786, 0x0fc19dc6, 0x240ca1cc, 0x2de92c6f, 0x4a7484aa, 0x5cb0a9dc, 0x76f988da,
    0x983e5152, 0xa831c66d, 0xb00327c8, 0xbf597fc7, 0xc6e00bf3, 0xd5a79147, 0x06ca6351, 0x14292967,
    0x27b70a85, 0x2e1b2138, 0x4d2c6dfc, 0x53380d13, 0x650a7354, 0x766a0abb, 0x81c2c92e, 0x92722c85,
    0xa2bfe8a1, 0xa81a664b, 0xc24b8b70, 0xc76c51a3, 0xd192e819, 0xd6990624, 0xf40e3585, 0x106aa070,
    0x19a4c116, 0x1e376c08, 0x2748774c, 0x34b0bcb5, 0x391c0cb3, 0x4ed8aa4a, 0x5b9cca4f, 0x682e6ff3,
    0x748f82ee, 0x78a5636f, 0x84c87814, 0x8cc70208, 0x90befffa, 0xa4506ceb, 0xbef9a3f7, 0xc67178f2};

uint32_t rotr(uint32_t x, int n) {
    return (x >> n) | (x << (32 - n));
}

}  // namespace

void Sha256::compress(const uint8_t* block) {
    std::array<uint32_t, 64> w{};
    for (size_t i = 0; i < 16; ++i)
        w[i] = uint32_t{block[4 * i]} << 24 | uint32_t{block[4 * i + 1]} << 16 |
               uint32_t{block[4 * i + 2]} << 8 | uint32_t{block[4 * i + 3]};
    for (size_t i = 16; i < 64; ++i) {
        const uint32_t s0 = rotr(w[i - 15], 7) ^ rotr(w[i - 15], 18) ^ (w[i - 15] >> 3);
        const uint32_t s1 = rotr(w[i - 2], 17) ^ rotr(w[i - 2], 19) ^ (w[i - 2] >> 10);
        w[i] = w[i - 16] + s0 + w[i - 7] + s1;
    }
    uint32_t a = state_[0], b = state_[1], c = state_[2], d = state_[3];
    uint32_t e = state_[4], f = state_[5], g = state_[6], h = state_[7];
    for (size_t i = 0; i < 64; ++i) {
        const uint32_t t1 =
            h + (rotr(e, 6) ^ rotr(e, 11) ^ rotr(e, 25)) + ((e & f) ^ (~e & g)) + kRound[i] + w[i];
        const uint32_t t2 =
            (rotr(a, 2) ^ rotr(a, 13) ^ rotr(a, 22)) + ((a & b) ^ (a & c) ^ (b & c));
        h = g;
        g = f;
        f = e;
        e = d + t1;
        d = c;
        c = b;
        b = a;
        a = t1 + t2;
    }
    state_[0] += a;
    state_[1] += b;
    state_[2] += c;
    state_[3] += d;
    state_[4] += e;
    state_[5] += f;
    state_[6] += g;
    state_[7] += h;
}

void Sha256::add(const void* bytes, size_t count) {
    const auto* in = static_cast<const uint8_t*>(bytes);
    length_ += count;
    while (count > 0) {
        const size_t take = std::min(count, block_.size() - filled_);
        std::memcpy(block_.data() + filled_, in, take);
        filled_ += take;
        in += take;
        count -= take;
        if (filled_ == block_.size()) {
            compress(block_.data());
            filled_ = 0;
        }
    }
}

std::string Sha256::hex() {
    const uint64_t bits = length_ * 8;
    const uint8_t one = 0x80;
    add(&one, 1);
    const uint8_t zero = 0;
    while (filled_ != 56)
        add(&zero, 1);
    uint8_t tail[8];
    for (int i = 0; i < 8; ++i)
        tail[i] = static_cast<uint8_t>(bits >> (56 - 8 * i));
    add(tail, sizeof tail);
    static const char kDigits[] = "0123456789abcdef";
    std::string out;
    out.reserve(64);
    for (const uint32_t word : state_) {
        for (int shift = 28; shift >= 0; shift -= 4)
            out.push_back(kDigits[(word >> shift) & 0xf]);
    }
    return out;
}

std::string sha256Hex(std::string_view bytes) {
    Sha256 hash;
    hash.add(bytes);
    return hash.hex();
}

// A long test is large: the file is read piece by piece. A FIFO or a device named like a file is
// refused, not waited on.
std::string fileSha256Hex(const std::string& path, std::string& error) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    struct stat status {};
    if (fd < 0 || ::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
        error =
            "cannot read " + path + ": " + (fd < 0 ? std::strerror(errno) : "not a regular file");
        if (fd >= 0)
            ::close(fd);
        return {};
    }
    Sha256 hash;
    char piece[1 << 16];
    ssize_t got = 0;
    while ((got = ::read(fd, piece, sizeof piece)) > 0 || (got < 0 && errno == EINTR))
        if (got > 0)
            hash.add(piece, static_cast<size_t>(got));
    const int readError = errno;
    ::close(fd);
    if (got < 0) {
        error = "cannot read " + path + ": " + std::strerror(readError);
        return {};
    }
    return hash.hex();
}

}  // namespace vornex
