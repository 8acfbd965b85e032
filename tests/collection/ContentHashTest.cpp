// The hashes stored in every Collection, and the count of a file's messages.
#include "ContentHash.h"
#include "DumpMessages.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::uint64_t Hash(const std::string& text, std::uint64_t seed)
{
    return ContentHash(reinterpret_cast<const unsigned char*>(text.data()), text.size(), seed);
}

// Databases made by every release hold these values: a change of the hash would make every
// known file new again and every stored file look damaged.
TEST(ContentHash, GivesTheValuesStoredCollectionsHold)
{
    const struct {
        std::string text;
        std::uint64_t plain;
        std::uint64_t seeded;   // seed 0x5EED, the sources' check
    } cases[] = {
        {"", 0xa8871e3718ca0053ull, 0x5d3ecdac9c45cd85ull},
        {"a", 0x9446472e9fdb5ac3ull, 0x6522753a0bdc1bd2ull},
        {"MS2000 Init!", 0x40b7ee4afba5f494ull, 0x41615b650860b6f1ull},
        {"0123456789abcdefX", 0x46fa983a16462303ull, 0xba7f7b8c07a42aadull},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Hash(c.text, 0), c.plain) << c.text;
        EXPECT_EQ(Hash(c.text, 0x5EED), c.seeded) << c.text;
    }
}

TEST(ContentHash, BothAtOnceEqualEachAlone)
{
    std::vector<unsigned char> bytes;
    for (int size = 0; size <= 40; ++size) {
        const CContentHashes both = ContentHashes(bytes.data(), bytes.size(), 7, 0x5EED);
        EXPECT_EQ(both.first, ContentHash(bytes.data(), bytes.size(), 7)) << size;
        EXPECT_EQ(both.second, ContentHash(bytes.data(), bytes.size(), 0x5EED)) << size;
        bytes.push_back(static_cast<unsigned char>(size * 37 + 1));
    }
}

TEST(DumpMessages, CountsEachCompleteMessageOnce)
{
    const struct {
        std::vector<unsigned char> bytes;
        int messages;
    } cases[] = {
        {{}, 0},
        {{0xF0, 0x42, 0xF7}, 1},
        {{0xF0, 0x42, 0xF7, 0xF0, 0xF7}, 2},
        {{0xF0, 0x42, 0xF0, 0x42, 0xF7}, 1},          // a start again begins the same message over
        {{0xF7, 0xF0, 0xF7, 0xF7}, 1},                // end bytes outside a message count for nothing
        {{0x00, 0xF0, 0x42, 0xF7, 0x00, 0xF0}, 1},    // bytes between, and a message cut short
        {{0xF0}, 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(CountMessages(c.bytes.data(), c.bytes.size()), c.messages) << c.bytes.size();
}

} // namespace
