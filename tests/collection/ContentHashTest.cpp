// The hashes stored in every Collection, and the count of a file's messages.
#include "ContentHash.h"
#include "DumpMessages.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// Databases made by every release hold these values: a change of the hash would make every
// known file new again and every stored file look damaged. Both at once must give the same.
TEST(ContentHash, GivesTheValuesStoredCollectionsHoldAloneOrBothAtOnce)
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
        const auto* bytes = reinterpret_cast<const unsigned char*>(c.text.data());
        EXPECT_EQ(ContentHash(bytes, c.text.size()), c.plain) << c.text;
        EXPECT_EQ(ContentHash(bytes, c.text.size(), 0x5EED), c.seeded) << c.text;
        const CContentHashes both = ContentHashes(bytes, c.text.size(), 0, 0x5EED);
        EXPECT_EQ(both.first, c.plain) << c.text;
        EXPECT_EQ(both.second, c.seeded) << c.text;
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
