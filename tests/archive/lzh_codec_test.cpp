// The codec memory to memory, against the independent packer of tests/support.
#include "archive/lzh_compressor.h"
#include "support/bytes.h"
#include "support/nwp_packer.h"
#include "support/photo_bmp.h"
#include "sysutil/message_pump.h"
#include "tests/archive/codec_harness.h"

#include <gtest/gtest.h>

#include <map>
#include <new>
#include <random>
#include <stdexcept>
#include <string>
#include <utility>

namespace nimbrel::test {
namespace {

// Text-like bytes with repeats near and far, so matches of many lengths and positions occur.
Bytes Prose(std::size_t size) {
    static const std::string words[] = {"sunset ",  "beach ", "wallpaper ", "the ", "a ",
                                        "picture ", "of ",    "Nimbrel ",   "and ", "\r\n"};
    std::mt19937 random(7);
    Bytes bytes;
    while (bytes.size() < size) {
        const std::string& word = words[random() % std::size(words)];
        bytes.insert(bytes.end(), word.begin(), word.end());
    }
    bytes.resize(size);
    return bytes;
}

// Bytes of a steep distribution: a few values take most of the stream, so the tree is
// rebuilt many times (the root first reaches 0x8000 after ~32,000 symbols, then every
// ~16,000).
Bytes Skewed(std::size_t size) {
    std::mt19937 random(3);
    std::geometric_distribution<int> steep(0.35);
    Bytes bytes(size);
    for (auto& byte : bytes)
        byte = static_cast<std::uint8_t>(std::min(steep(random), 255));
    return bytes;
}

struct RoundTripCase {
    const char* name;
    Bytes data;
    PackOptions options = {};
    bool sizeMatters = false; // variants keep the size
};

std::vector<RoundTripCase> RoundTripCases() {
    return {
        {"empty", {}, {}},
        {"one byte", {0x42}, {}},
        {"three bytes", {'a', 'b', 'c'}, {}},
        {"1,024 bytes", Prose(1024), {}, true},
        {"1,025 bytes", Prose(1025), {}, true},
        {"2,500 bytes", Prose(2500), {}, true},
        // Matches of distance 1 and length 60, over and over: the length-60 symbol comes to
        // own the one-bit code "1", which the closing 1 bit must not be taken for.
        {"long run of one byte", Bytes(30000, 0xEE), {}},
        {"skewed, literals only", Skewed(100000), {.useMatches = false}},
        {"64 KB random", RandomBytes(65536, 11), {}},
        {"24-bit BMP", MakePhotoBmp(160, 120), {}},
    };
}

// The data with its last bytes changed by `variant` so that the stream ends elsewhere: a
// repeat of earlier bytes (a match, whose position code length depends on the distance),
// small changes to the last bytes (literals) and, unless the size matters, a shorter end.
Bytes Variant(const Bytes& data, unsigned variant, bool sizeMatters) {
    static const std::size_t distances[] = {1, 5, 40, 100, 500, 1000, 2000, 4000};
    const unsigned mixed =
        variant * 0x9E3779B1u; // every field changes from one variant to the next
    const unsigned repeat = mixed & 63, changes = (mixed >> 6) & 63, shorter = (mixed >> 12) & 15;
    Bytes changed = data;
    if (!sizeMatters)
        changed.resize(changed.size() - std::min<std::size_t>(changed.size(), shorter));
    const std::size_t length = 3 + repeat % 8, distance = distances[repeat / 8];
    if (repeat != 0 && changed.size() >= length + distance) {
        const std::size_t at = changed.size() - length;
        for (std::size_t k = 0; k < length; ++k)
            changed[at + k] = changed[at + k - distance];
    }
    for (std::size_t k = 0; k < std::min<std::size_t>(3, changed.size()); ++k) {
        auto& byte = changed[changed.size() - 1 - k];
        byte = static_cast<std::uint8_t>(byte + (changes >> (2 * k) & 3));
    }
    return changed;
}

TEST(LzhCodec, RoundTripsEndingAtEveryBitPositionOfTheLastByte) {
    for (const auto& test : RoundTripCases()) {
        SCOPED_TRACE(test.name);
        std::map<unsigned, Bytes> byPosition; // closing bit position -> data
        for (unsigned variant = 0; variant < 256 && byPosition.size() < 8; ++variant) {
            Bytes data = Variant(test.data, variant, test.sizeMatters);
            const unsigned position = ClosingBitPosition(PackLzh(data, test.options));
            byPosition.try_emplace(position, std::move(data));
        }
        if (test.data.size() >= 16) {
            EXPECT_EQ(byPosition.size(), 8u) << "not every closing position was reached";
        }
        for (const auto& [position, data] : byPosition) {
            SCOPED_TRACE("closing bit at " + std::to_string(position));
            const Bytes stream = PackLzh(data, test.options);
            ASSERT_EQ(Expand(stream), data);
        }
    }
}

TEST(LzhCodec, BufferSizesDoNotChangeTheOutput) {
    const Bytes data = MakePhotoBmp(64, 40, 5);
    const Bytes stream = PackLzh(data);
    const Word sizes[][2] = {{16, 16}, {17, 1000}, {1000, 17}, {32768, 32768}, {16, 32768}};
    for (const auto& size : sizes) {
        SCOPED_TRACE(std::to_string(size[0]) + "/" + std::to_string(size[1]));
        EXPECT_EQ(Expand(stream, size[0], size[1]), data);
    }
}

TEST(LzhCodec, EarlyMatchesReadTheInitialRing) {
    // The ring starts as spaces in bytes 0..4035 and zeros in 4036..4095; writing starts
    // at 4036, and a match starts (4036 - position - 1) mod 4096.
    struct Case {
        const char* name;
        std::vector<std::pair<unsigned, unsigned>> matches; // position, length
        std::string expected;
    };
    const Case cases[] = {
        {"just before the start: spaces", {{0, 5}}, std::string(5, ' ')},
        {"ring byte 0", {{4035, 3}}, std::string(3, ' ')},
        {"ring byte 4090: zeros", {{4041, 6}}, std::string(6, '\0')},
        {"zeros running over into spaces", {{4043, 10}}, std::string(8, '\0') + "  "},
        {"past what was written: zeros",
         {{0, 3}, {4094, 4}},
         std::string(3, ' ') + std::string(4, '\0')},
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(test.name);
        LzhCodeWriter writer;
        for (auto [position, length] : test.matches)
            writer.Match(position, length);
        const Bytes out = Expand(writer.Finish());
        EXPECT_EQ(std::string(out.begin(), out.end()), test.expected);
    }
}

TEST(LzhCodec, ShortDistanceRepeatsWhatItHasJustWritten) {
    LzhCodeWriter writer;
    writer.Literal('x');
    writer.Literal('y');
    writer.Match(0, 4);  // distance 1: "yyyy"
    writer.Match(1, 60); // distance 2: "yy" repeated
    const Bytes out = Expand(writer.Finish());
    EXPECT_EQ(std::string(out.begin(), out.end()), "xyyyyy" + std::string(60, 'y'));
}

TEST(LzhCodec, BufferSizesAreClamped) {
    const std::pair<unsigned, Word> cases[] = {{10, 16},       {0, 16},       {16, 16},
                                               {17, 17},       {1024, 1024},  {32768, 32768},
                                               {40000, 32768}, {65535, 32768}};
    TLZHCompressor codec;
    EXPECT_EQ(codec.ReadBufSize(), 1024);
    EXPECT_EQ(codec.WriteBufSize(), 1024);
    EXPECT_TRUE(codec.Finished());
    for (auto [asked, stored] : cases) {
        codec.SetReadBufSize(static_cast<Word>(asked));
        codec.SetWriteBufSize(static_cast<Word>(asked));
        EXPECT_EQ(codec.ReadBufSize(), stored) << asked;
        EXPECT_EQ(codec.WriteBufSize(), stored) << asked;
    }
}

TEST(LzhCodec, BufferSizesAreFrozenDuringARun) {
    const Bytes data = Prose(3000);
    CodecHarness harness(PackLzh(data));
    harness.codec.SetReadBufSize(100);
    harness.codec.SetWriteBufSize(200);
    harness.beforeGet = [&](int) {
        EXPECT_FALSE(harness.codec.Finished());
        harness.codec.SetReadBufSize(5000);
        harness.codec.SetWriteBufSize(16);
    };
    harness.codec.Decode();
    EXPECT_EQ(harness.codec.ReadBufSize(), 100);
    EXPECT_EQ(harness.codec.WriteBufSize(), 200);
    EXPECT_EQ(harness.output, data);
    for (std::size_t i = 0; i + 1 < harness.putCounts.size(); ++i)
        EXPECT_EQ(harness.putCounts[i], 200);
}

TEST(LzhCodec, FullBuffersDuringTheLoopAndTheRestAtTheFinalFlush) {
    const Bytes data = Prose(2500);
    CodecHarness harness(PackLzh(data));
    harness.codec.Decode();
    EXPECT_EQ(harness.putCounts, (std::vector<Word>{1024, 1024, 452}));
    EXPECT_EQ(harness.output, data);
}

TEST(LzhCodec, EmptyInputGivesOneFlushOfZeroThenOnePumpPassThenFinished) {
    CodecHarness harness;
    SetMessagePump([&] {
        harness.events.push_back("pump");
        EXPECT_TRUE(harness.codec.Finished());
    });
    harness.codec.Decode();
    SetMessagePump(nullptr);
    EXPECT_EQ(harness.events, (std::vector<std::string>{"get", "put 0", "pump", "finished"}));
    EXPECT_EQ(harness.putCounts, (std::vector<Word>{0}));
    EXPECT_TRUE(harness.codec.Finished());
}

TEST(LzhCodec, NoPumpPassWithoutAFinishedHandler) {
    CodecHarness harness(PackLzh(Prose(10)));
    harness.codec.OnPressFinished = nullptr;
    int passes = 0;
    SetMessagePump([&] { ++passes; });
    harness.codec.Decode();
    SetMessagePump(nullptr);
    EXPECT_EQ(passes, 0);
    EXPECT_EQ(harness.output, Prose(10));
}

TEST(LzhCodec, AHandlerFailureEndsTheRunFlushesWhatWasDecodedAndReachesTheCaller) {
    const Bytes data = Prose(5000);
    struct Case {
        const char* name;
        bool inReader;
        bool outOfMemory;
    };
    const Case cases[] = {{"reader fails", true, false},
                          {"reader runs out of memory", true, true},
                          {"writer runs out of memory", false, true}};
    for (const Case& test : cases) {
        SCOPED_TRACE(test.name);
        CodecHarness harness(PackLzh(data));
        harness.codec.SetReadBufSize(256);
        const auto fail = [&] {
            if (test.outOfMemory)
                throw std::bad_alloc();
            throw std::runtime_error("disk gone");
        };
        if (test.inReader)
            harness.beforeGet = [&](int call) {
                if (call == 3)
                    fail();
            };
        else
            harness.beforePut = [&](int call, Word) {
                if (call == 2)
                    fail();
            };
        if (test.outOfMemory)
            EXPECT_THROW(harness.codec.Decode(), std::bad_alloc);
        else
            EXPECT_THROW(harness.codec.Decode(), std::runtime_error);
        // The clean-up ran, and the end of the run was told, before the error went on.
        EXPECT_TRUE(harness.codec.Finished());
        EXPECT_EQ(harness.events.back(), "finished");
        // Everything decoded before the failure, and nothing else, was offered.
        ASSERT_FALSE(harness.output.empty());
        ASSERT_LT(harness.output.size(), data.size());
        EXPECT_TRUE(std::equal(harness.output.begin(), harness.output.end(), data.begin()));
    }
}

TEST(LzhCodec, FailedFlushInTheLoopIsOfferedAgainByTheFinalFlush) {
    const Bytes data = Prose(5000);
    struct Case {
        const char* name;
        bool finalFlushFails;
    };
    for (const Case test : {Case{"final flush succeeds", false}, Case{"final flush fails", true}}) {
        SCOPED_TRACE(test.name);
        CodecHarness harness(PackLzh(data));
        harness.beforePut = [&](int call, Word) {
            if (call == 2)
                throw std::runtime_error("write failed");
            if (call == 3 && test.finalFlushFails)
                throw std::logic_error("flush failed too");
        };
        // The loop's failure is the one the caller learns of, however the flush went.
        EXPECT_THROW(harness.codec.Decode(), std::runtime_error);
        // Clean-up ran either way.
        EXPECT_TRUE(harness.codec.Finished());
        EXPECT_EQ(harness.events.back(), "finished");
        const std::vector<std::string> puts(harness.events.begin(), harness.events.end() - 1);
        std::vector<std::string> expectedPuts;
        for (const auto& event : puts)
            if (event.starts_with("put"))
                expectedPuts.push_back(event);
        EXPECT_EQ(expectedPuts, (std::vector<std::string>{"put 1024", "put 1024", "put 1024"}));
        if (!test.finalFlushFails) {
            // Block 1, then block 2 (failed once, delivered by the final flush).
            ASSERT_EQ(harness.output.size(), 2048u);
            EXPECT_TRUE(std::equal(harness.output.begin(), harness.output.end(), data.begin()));
        }
        // The component is usable again.
        CodecHarness again(PackLzh(data));
        again.codec.Decode();
        EXPECT_EQ(again.output, data);
    }
}

TEST(LzhCodec, AFailingFinalFlushReachesTheCaller) {
    CodecHarness harness(PackLzh(Prose(500)));
    harness.beforePut = [](int, Word) { throw std::runtime_error("flush failed"); };
    EXPECT_THROW(harness.codec.Decode(), std::runtime_error);
    EXPECT_TRUE(harness.codec.Finished());
    EXPECT_EQ(harness.events.back(), "finished");
}

TEST(LzhCodec, DecodeDuringARunReturnsAtOnce) {
    const Bytes data = Prose(3000);
    CodecHarness harness(PackLzh(data));
    harness.beforePut = [&](int call, Word) {
        if (call == 1) {
            const auto eventsBefore = harness.events.size();
            harness.codec.Decode();
            EXPECT_EQ(harness.events.size(), eventsBefore);
        }
    };
    harness.codec.Decode();
    EXPECT_EQ(harness.output, data);
}

TEST(LzhCodec, EachRunStartsAfresh) {
    const Bytes first = Prose(4000), second = MakePhotoBmp(30, 20, 9);
    CodecHarness harness(PackLzh(first));
    harness.codec.Decode();
    EXPECT_EQ(harness.output, first);
    harness.input = PackLzh(second);
    harness.inputAt = 0;
    harness.output.clear();
    harness.codec.Decode();
    EXPECT_EQ(harness.output, second);
}

TEST(LzhCodec, AReaderClaimingMoreThanItWasAskedForIsHeldToTheBuffer) {
    CodecHarness harness(PackLzh(Prose(3000)));
    harness.codec.SetReadBufSize(16);
    harness.codec.OnGetBytes = [&](TLZHCompressor*, void* dta, Word n, Word& got) {
        const std::size_t take = std::min<std::size_t>(n, harness.input.size() - harness.inputAt);
        std::memcpy(dta, harness.input.data() + harness.inputAt, take);
        harness.inputAt += take;
        got = take == 0 ? 0 : 60000;
    };
    harness.codec.Decode(); // under the sanitizers: no read past the 16-byte buffer
    EXPECT_TRUE(harness.codec.Finished());
}

TEST(LzhCodec, CorruptOrTruncatedInputEndsWithWhatWasDecoded) {
    const Bytes data = Prose(3000);
    const Bytes stream = PackLzh(data);
    const Bytes truncated(stream.begin(), stream.begin() + static_cast<long>(stream.size() / 2));
    const Bytes out = Expand(truncated);
    ASSERT_GE(out.size(), data.size() / 3);
    const std::size_t prefix = data.size() / 3;
    EXPECT_TRUE(std::equal(out.begin(), out.begin() + static_cast<long>(prefix), data.begin()));
    EXPECT_NO_THROW(Expand(RandomBytes(20000, 4)));
}

// The codec reads whole stretches of its read buffer at once when no subclass takes the
// bytes itself; a subclass that does takes them one by one. Both must make the same run:
// the same output and the same calls of the handlers in the same order, up to the end of
// valid, cut, damaged and padded streams.
TEST(LzhCodec, ReadingInStretchesMakesTheSameRunAsReadingByteByByte) {
    const Bytes photo = PackLzh(MakePhotoBmp(150, 120));
    const Bytes prose = PackLzh(Prose(40000));
    std::mt19937 random(21);
    std::vector<std::pair<std::string, Bytes>> streams = {
        {"photo", photo},
        {"prose", prose},
        {"skewed, many rebuilds", PackLzh(Skewed(120000))},
        {"random bytes", RandomBytes(30000, 8)},
        {"all zero", Bytes(5000, 0)},
    };
    for (const Bytes& base : {photo, prose}) {
        for (int n = 0; n < 6; ++n) {
            Bytes cut(base.begin(), base.begin() + static_cast<long>(random() % base.size()));
            streams.emplace_back("cut " + std::to_string(cut.size()), cut);
            Bytes damaged = base;
            for (int flip = 0; flip < 3; ++flip)
                damaged[random() % damaged.size()] ^=
                    static_cast<std::uint8_t>(1u << (random() % 8));
            streams.emplace_back("damaged " + std::to_string(n), damaged);
            Bytes padded = base;
            padded.insert(padded.end(), static_cast<std::size_t>(n + 1), n % 2 ? 0x00 : 0x80);
            streams.emplace_back("padded " + std::to_string(n), padded);
        }
    }
    const Word sizes[][2] = {{1024, 1024}, {16, 16}, {17, 300}, {1000, 33}, {32768, 32768}};
    for (const auto& [name, stream] : streams) {
        for (const auto& size : sizes) {
            SCOPED_TRACE(name + ", buffers " + std::to_string(size[0]) + "/" +
                         std::to_string(size[1]));
            CodecHarness stretches(stream);
            BasicCodecHarness<ByteByByteCodec> bytes(stream);
            for (auto* codec : {static_cast<TLZHCompressor*>(&stretches.codec),
                                static_cast<TLZHCompressor*>(&bytes.codec)}) {
                codec->SetReadBufSize(size[0]);
                codec->SetWriteBufSize(size[1]);
                codec->Decode();
            }
            ASSERT_EQ(stretches.output, bytes.output);
            ASSERT_EQ(stretches.events, bytes.events);
            // Every byte went through the subclass's writer, one at a time.
            ASSERT_EQ(bytes.codec.bytesPut, bytes.output.size());
        }
    }
}

} // namespace
} // namespace nimbrel::test
