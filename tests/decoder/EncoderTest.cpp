// The test encoder is the source of all test data, so it is checked against
// vectors worked out by hand from the generator polynomial, and the decoder's
// parity rows are checked against the encoder's polynomial division.
#include "GroupDecoder.h"
#include "RdsEncoder.h"

#include <gtest/gtest.h>

using namespace orvane;
using namespace orvane::test;

TEST(Encoder, CheckWordsMatchHandWorkedVectors) {
    struct Case { uint16_t info; Offset offset; uint16_t expected; };
    const Case cases[] = {
        {0x7827, Offset::A, 0b1010110111},
        {0x7827, Offset::Cp, 0b0100011011},
        {0xF928, Offset::D, 0b0111000001},
        {0x0000, Offset::B, 0x198}, // the check word of zero is zero: only the offset remains
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.info);
        EXPECT_EQ(EncodeBlock(c.info, c.offset) & 0x3FF, c.expected);
        EXPECT_EQ(EncodeBlock(c.info, c.offset) >> 10, c.info);
    }
}

TEST(Encoder, DecoderParityRowsAgreeWithPolynomialDivision) {
    for (uint32_t info = 0; info <= 0xFFFF; info += 7)
        ASSERT_EQ(GroupDecoder::CheckBits(static_cast<uint16_t>(info)), CheckWord(static_cast<uint16_t>(info)))
            << std::hex << info;
}

TEST(Encoder, EveryOffsetIsRecognisedAndBitErrorsAreNot) {
    const std::pair<Offset, int> offsets[] = {{Offset::A, GroupDecoder::kOffA},
                                              {Offset::B, GroupDecoder::kOffB},
                                              {Offset::C, GroupDecoder::kOffC},
                                              {Offset::Cp, GroupDecoder::kOffC},
                                              {Offset::D, GroupDecoder::kOffD}};
    for (auto [offset, code] : offsets) {
        const uint32_t block = EncodeBlock(0x1234, offset);
        EXPECT_EQ(GroupDecoder::GetOffset(block), code);
        // Any single bit error must be detected: the code's minimum distance
        // is larger than the distance between offset words for one flip.
        for (int bit = 0; bit < 26; ++bit)
            EXPECT_NE(GroupDecoder::GetOffset(block ^ (1u << bit)), code) << bit;
    }
}

TEST(Encoder, GroupBitsUseCPrimeForVersionB) {
    const Group a{0x1234, 0x0000, 0x5678, 0x9ABC};
    const Group b{0x1234, 0x0800, 0x5678, 0x9ABC};
    auto word = [](const std::vector<uint8_t>& bits, int block) {
        uint32_t v = 0;
        for (int i = 0; i < 26; ++i) v = (v << 1) | bits[static_cast<size_t>(block * 26 + i)];
        return v;
    };
    EXPECT_EQ(word(GroupBits(a), 2), EncodeBlock(0x5678, Offset::C));
    EXPECT_EQ(word(GroupBits(b), 2), EncodeBlock(0x5678, Offset::Cp));
    EXPECT_EQ(word(GroupBits(b), 3), EncodeBlock(0x9ABC, Offset::D));
}
