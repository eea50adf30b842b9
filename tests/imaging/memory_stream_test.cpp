// The in-memory stream grown by SetSize: the bytes it held stay, the new ones are zero, at
// every size (a large growth asks the system for its pages in one go).
#include "imaging/stream.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

using namespace nimbrel;

namespace {

TEST(MemoryStream, GrowingKeepsTheBytesAndAddsZeroes) {
    for (std::size_t size : {std::size_t{10}, std::size_t{1} << 20, (std::size_t{23} << 20) + 5}) {
        SCOPED_TRACE(size);
        TMemoryStream stream;
        const std::uint8_t held[] = {7, 8, 9};
        stream.WriteBuffer(held, sizeof held);
        stream.SetSize(size);
        ASSERT_EQ(stream.Size(), size);
        EXPECT_EQ(stream.Position(), sizeof held);
        EXPECT_TRUE(std::equal(held, held + sizeof held, stream.Memory()));
        EXPECT_TRUE(std::all_of(stream.Memory() + sizeof held, stream.Memory() + size,
                                [](std::uint8_t b) { return b == 0; }));
        // The whole block is writable and reads back.
        std::vector<std::uint8_t> pattern(size);
        for (std::size_t i = 0; i < size; ++i)
            pattern[i] = static_cast<std::uint8_t>(i * 31 + 1);
        stream.SetPosition(0);
        stream.WriteBuffer(pattern.data(), size);
        EXPECT_TRUE(std::equal(pattern.begin(), pattern.end(), stream.Memory()));
    }
}

// Shrinking and growing again within the block it has: the bytes past the old end are
// zero again, not what was there before.
TEST(MemoryStream, RegrowingWithinItsBlockGivesZeroes) {
    TMemoryStream stream;
    stream.SetSize(std::size_t{3} << 20);
    std::fill(stream.Memory(), stream.Memory() + stream.Size(), std::uint8_t{0xAB});
    stream.SetSize(16);
    stream.SetSize(std::size_t{3} << 20);
    EXPECT_EQ(stream.Memory()[15], 0xAB);
    EXPECT_TRUE(std::all_of(stream.Memory() + 16, stream.Memory() + stream.Size(),
                            [](std::uint8_t b) { return b == 0; }));
}

} // namespace
