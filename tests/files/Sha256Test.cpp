#include <gtest/gtest.h>

#include <string>

#include "files/Sha256.h"

namespace vornex {
namespace {

// The digests of FIPS 180-4's examples and of the padding's edges: a message that just fits one
// block with its length, one that spills into a second, and a long one fed in uneven pieces.
TEST(Sha256, DigestsOfTheStandardsExamplesAndThePaddingsEdges) {
    EXPECT_EQ(sha256Hex(""), "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
    EXPECT_EQ(sha256Hex("abc"), "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
    EXPECT_EQ(sha256Hex("abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq"),
              "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1");
    EXPECT_EQ(sha256Hex(std::string(55, 'a')),
              "9f4390f8d30c2dd92ec9f095b65e2b9ae9b0a925a5258e241c9f1e910f734318");
    EXPECT_EQ(sha256Hex(std::string(64, 'a')),
              "ffe054fe7ae0cb6dc65c3af9b61d5209f439851db43d0ba5997337df154668eb");

    Sha256 pieces;
    const std::string million(1000000, 'a');
    for (size_t at = 0, step = 1; at < million.size(); at += step, step = step % 97 + 1)
        pieces.add(million.data() + at, std::min(step, million.size() - at));
    EXPECT_EQ(pieces.hex(), "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0");
}

}  // namespace
}  // namespace vornex
