// Byte codes of the receiver circuit and the bits they give.
#include "SerialReceiver.h"

#include <gtest/gtest.h>

#include <vector>

using namespace orvane;

namespace {

struct Bits : ISerialReceiverHost {
    std::vector<int> bits;
    void AddToDecoderBuffer(uint8_t bit) override { bits.push_back(bit); }
};

std::vector<int> BitsOf(const std::vector<uint8_t>& bytes) {
    Bits host;
    SerialReceiver rx(host);
    for (uint8_t b : bytes) rx.HandleByte(b);
    return host.bits;
}

} // namespace

TEST(SerialReceiver, ByteCodesGiveTheirLevels) {
    struct Case {
        uint8_t byte;
        int level;
        bool valid;
    };
    const Case cases[] = {
        {0x00, 0, true}, {0x80, 1, true},  {0xC0, 2, true},  {0xE0, 3, true},  {0xF0, 4, true},
        {0xF8, 5, true}, {0xFC, 6, true},  {0xFE, 7, true},  {0xFF, 8, true},  {0x01, 0, false},
        {0x7F, 0, false}, {0x81, 0, false}, {0xC1, 0, false}, {0xAA, 0, false}, {0xEF, 0, false},
    };
    for (const Case& c : cases) {
        bool valid = !c.valid;
        EXPECT_EQ(SerialReceiver::LeadingOnesCount(c.byte, valid), c.level) << int(c.byte);
        EXPECT_EQ(valid, c.valid) << int(c.byte);
    }
}

TEST(SerialReceiver, LevelsTurnTheBitWithAHysteresisOfOneStep) {
    struct Case {
        const char* what;
        std::vector<uint8_t> bytes;
        std::vector<int> bits;
    };
    const Case cases[] = {
        {"levels 0 3 8 7 1", {0x00, 0xE0, 0xFF, 0xFE, 0x80}, {0, 1, 1, 1, 0}},
        {"one step up or down keeps the bit", {0x00, 0x80, 0xC0, 0xE0, 0xC0, 0x80}, {0, 0, 0, 0, 0, 0}},
        {"an invalid byte after level 2 is level 0", {0xC0, 0x0F}, {1, 0}},
        {"an invalid byte after level 1 keeps the bit", {0xC0, 0x80, 0x0F}, {1, 1, 1}},
        {"steady 0xF0 keeps a one", {0x00, 0xF0, 0xF0, 0xF0}, {0, 1, 1, 1}},
        {"steady 0xF0 keeps a zero", {0xFF, 0xF0, 0xF0, 0xF0}, {1, 0, 0, 0}},
    };
    for (const Case& c : cases) EXPECT_EQ(BitsOf(c.bytes), c.bits) << c.what;
}

TEST(SerialReceiver, RemembersTheLastByteAndWhetherItWasACode) {
    Bits host;
    SerialReceiver rx(host);
    rx.HandleByte(0xFC);
    EXPECT_EQ(rx.LastByte(), 0xFC);
    EXPECT_TRUE(rx.LastByteValid());
    rx.HandleByte(0x5A);
    EXPECT_EQ(rx.LastByte(), 0x5A);
    EXPECT_FALSE(rx.LastByteValid());
    rx.ClearLastByte();
    EXPECT_EQ(rx.LastByte(), 0);
    EXPECT_FALSE(rx.LastByteValid());
}
