// The raw sample format both ways: check words against our own encoder,
// records byte for byte, the reader's decisions and the layout from the size.
#include "SampleFormat.h"
#include "SampleReader.h"

#include "GroupRecord.h"
#include "SampleBytes.h"
#include "SampleEndings.h"
#include "RdsEncoder.h"
#include "TestFiles.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace orvane {
namespace {

using test::GroupRecord;
using test::Offset;
using test::SampleRecordBytes;
using test::SampleTrailerBytes;
using test::Stamp;
using test::StampOf;

std::vector<int> Bytes(const SampleRecord& r) { return {r.begin(), r.end()}; }

TEST(SampleFormat, CheckWordsMatchTheEncodersPolynomialDivisionForEveryOffset) {
    const std::pair<Offset, uint16_t> offsets[] = {
        {Offset::A, kOffsetA}, {Offset::B, kOffsetB}, {Offset::C, kOffsetC},
        {Offset::Cp, kOffsetCPrime}, {Offset::D, kOffsetD}};
    for (uint32_t v = 0; v <= 0xFFFF; v += 7) {
        for (const auto& [o, word] : offsets) {
            const uint16_t expected = static_cast<uint16_t>(test::EncodeBlock(static_cast<uint16_t>(v), o) & 0x3FF);
            ASSERT_EQ(CheckWord(static_cast<uint16_t>(v), word), expected) << std::hex << v;
        }
    }
}

TEST(SampleFormat, RecordsAreWrittenAsOnAir) {
    SampleEncoder enc;
    // 2A01 0408 E10D 4F52: block B is version A, so C takes offset C.
    EXPECT_EQ(Bytes(enc.Encode(GroupRecord(0x2A01, 0x0408, 0xE10D, 0x4F52))),
              (std::vector<int>{0x2A, 0x01, 0x02, 0xC0, 0x04, 0x08, 0x7A, 0xC0, 0xE1, 0x0D, 0x5B, 0x00, 0x4F,
                                0x52, 0xB9, 0x00}));
    // Block A 0x0000 carries the bare offset word, shifted: 3F 00.
    const SampleRecord zero = enc.Encode(GroupRecord(0, -1, -1, -1));
    EXPECT_EQ(std::vector<int>(zero.begin(), zero.begin() + 4), (std::vector<int>{0, 0, 0x3F, 0}));
    // All four missing: 16 zero bytes; so is every value outside 0..65535.
    EXPECT_EQ(Bytes(enc.Encode(GroupRecord(-1, -1, -1, -1))), std::vector<int>(16, 0));
    EXPECT_EQ(Bytes(enc.Encode(GroupRecord(0x10000, -5, 70000, INT32_MAX))), std::vector<int>(16, 0));
}

TEST(SampleFormat, BlockCFollowsTheLastPresentBlockB) {
    SampleEncoder enc;
    const uint16_t c = 0x1234;
    auto checkC = [&](const SampleRecord& r) { return static_cast<uint16_t>(r[10] << 8 | r[11]); };
    EXPECT_EQ(checkC(enc.Encode(GroupRecord(1, -1, c, 0))), BlockCRC(c, 2, false)); // starts as C
    EXPECT_EQ(checkC(enc.Encode(GroupRecord(1, 0x0800, c, 0))), BlockCRC(c, 2, true)); // version B
    EXPECT_EQ(checkC(enc.Encode(GroupRecord(1, -1, c, 0))), BlockCRC(c, 2, true));     // B missing: kept
    EXPECT_EQ(checkC(enc.Encode(GroupRecord(1, 0x70000, c, 0))), BlockCRC(c, 2, true)); // B out of range: kept
    EXPECT_EQ(checkC(enc.Encode(GroupRecord(1, 0x0000, c, 0))), BlockCRC(c, 2, false));
}

// Decodes one record built from words.
TRDSGroupRec Decode(const std::vector<uint16_t>& words, bool badAsCorrect) {
    uint8_t b[16];
    for (int i = 0; i < 8; ++i) {
        b[2 * i] = static_cast<uint8_t>(words[static_cast<size_t>(i)] >> 8);
        b[2 * i + 1] = static_cast<uint8_t>(words[static_cast<size_t>(i)] & 0xFF);
    }
    return DecodeSampleRecord(b, badAsCorrect, LocalTime{2026, 3, 4, 5, 6, 7, 890});
}

TEST(SampleFormat, DecoderKeepsGoodBlocksAndDropsBadOnesByTheOption) {
    const uint16_t a = 0xC201, b = 0x0408, c = 0xE10D, d = 0x4F52;
    const uint16_t ca = BlockCRC(a, 0, false), cb = BlockCRC(b, 1, false), cc = BlockCRC(c, 2, false),
                   cd = BlockCRC(d, 3, false);
    struct Case {
        const char* what;
        std::vector<uint16_t> words;
        bool badAsCorrect;
        int32_t A, B, C, D;
    } cases[] = {
        {"all good", {a, ca, b, cb, c, cc, d, cd}, false, a, b, c, d},
        {"low 6 bits ignored", {a, uint16_t(ca | 0x3F), b, uint16_t(cb | 0x15), c, cc, d, uint16_t(cd | 1)}, false,
         a, b, c, d},
        {"every block bad", {a, uint16_t(ca ^ 0x40), b, uint16_t(cb ^ 0x40), c, uint16_t(cc ^ 0x40), d, uint16_t(cd ^ 0x40)},
         false, -1, -1, -1, -1},
        {"bad C and D kept by the option; A and B never",
         {a, uint16_t(ca ^ 0x40), b, uint16_t(cb ^ 0x40), c, uint16_t(cc ^ 0x40), d, uint16_t(cd ^ 0x40)}, true, -1, -1,
         c, d},
        {"zero words are bad", {0, 0, 0, 0, 0, 0, 0, 0}, false, -1, -1, -1, -1},
        {"zero words with the option", {0, 0, 0, 0, 0, 0, 0, 0}, true, -1, -1, 0, 0},
        {"C' after a version B block", {a, ca, 0x0800, BlockCRC(0x0800, 1, false), c, BlockCRC(c, 2, true), d, cd},
         false, a, 0x0800, c, d},
        {"C where C' is due is bad", {a, ca, 0x0800, BlockCRC(0x0800, 1, false), c, cc, d, cd}, false, a, 0x0800, -1, d},
        {"B bad: C accepted with offset C", {a, ca, b, 0, c, cc, d, cd}, false, a, -1, c, d},
        {"B bad: C accepted with offset C'", {a, ca, b, 0, c, BlockCRC(c, 2, true), d, cd}, false, a, -1, c, d},
    };
    for (const Case& k : cases) {
        const TRDSGroupRec g = Decode(k.words, k.badAsCorrect);
        EXPECT_EQ(g.BlockA, k.A) << k.what;
        EXPECT_EQ(g.BlockB, k.B) << k.what;
        EXPECT_EQ(g.BlockC, k.C) << k.what;
        EXPECT_EQ(g.BlockD, k.D) << k.what;
    }
}

TEST(SampleFormat, PlayedGroupsAreStampedWithThePlaybackTime) {
    const TRDSGroupRec g = Decode({0, 0, 0, 0, 0, 0, 0, 0}, false);
    EXPECT_EQ(StampOf(g), (Stamp{2026, 3, 4, 5, 6, 7, 89}));
    EXPECT_EQ(g.Reserved, 0);
}

TEST(SampleFormat, TrailerHoldsLocationNameAndProduct) {
    const SampleTrailer empty = BuildSampleTrailer("", "");
    EXPECT_EQ(empty[48], 0);
    EXPECT_EQ(empty[90], 0);
    EXPECT_EQ(empty[69], 14);
    EXPECT_EQ(empty[111], 11);
    EXPECT_EQ(std::string(empty.begin() + 112, empty.end()), "Orvane     ");
    for (int i : {0, 47, 84, 89}) EXPECT_EQ(empty[static_cast<size_t>(i)], 0) << i;

    // 19 ASCII bytes and a two-byte character: the character does not fit.
    const SampleTrailer t = BuildSampleTrailer("Hamburg Ost", std::string(19, 'n') + "\xC3\xA9xyz");
    EXPECT_EQ(t[48], 11);
    EXPECT_EQ(std::string(t.begin() + 49, t.begin() + 60), "Hamburg Ost");
    EXPECT_EQ(t[90], 19);
    EXPECT_EQ(std::string(t.begin() + 91, t.begin() + 110), std::string(19, 'n'));
    EXPECT_EQ(t[110], 0);
}

SampleLayout LayoutOf(const std::string& file) {
    const size_t tail = std::min<size_t>(file.size(), kSampleTailSize);
    return SampleLayoutOf(static_cast<int64_t>(file.size()), std::string_view(file).substr(file.size() - tail));
}

std::vector<TRDSGroupRec> Station(int groups) {
    std::vector<TRDSGroupRec> out;
    for (int i = 0; i < groups; ++i) out.push_back(GroupRecord(0xC201, 0x0400 | i, 0xE10D, 0x4F52));
    return out;
}

std::string SampleFile(int groups, size_t trailer, const std::string& location = "Hamburg Ost",
                       const std::string& name = "Ann") {
    return SampleRecordBytes(Station(groups)) + SampleTrailerBytes(trailer, location, name);
}

TEST(SampleFormat, LayoutComesFromTheFileSize) {
    for (int64_t n : {0, 1, 8, 1000}) {
        const std::string records(static_cast<size_t>(2 + 16 * n), '\x55');
        EXPECT_EQ(LayoutOf(records + std::string(123, '\0')).groups, n) << n;
        EXPECT_EQ(LayoutOf(records + std::string(115, '\0')).groups, n) << n;
        EXPECT_EQ(LayoutOf(records).groups, n) << n;
        EXPECT_EQ(LayoutOf(records + "1234567").groups, n) << "partial record " << n;
    }
    const std::string three(2 + 16 * 3, '\x55');
    EXPECT_EQ(LayoutOf(three + std::string(123, '\0')).afterRecords, 123);
    EXPECT_EQ(LayoutOf(three + std::string(115, '\0')).afterRecords, 115);
    EXPECT_EQ(LayoutOf(three).afterRecords, 0);
    // A whole trailer whose bytes are not ours is still one.
    EXPECT_EQ(LayoutOf(three + std::string(123, 'x')).afterRecords, 123);
    EXPECT_EQ(LayoutOf(three + std::string(115, 'x')).afterRecords, 115);
    for (size_t size : {0, 1, 2, 13, 50, 100}) EXPECT_GE(LayoutOf(std::string(size, '\0')).groups, 0) << size;
}

// The lengths a cut trailer may have: none, a few bytes, the zero run and
// its end, into each field, just under and at each whole size.
TEST(SampleFormat, ACutTrailerIsNoRecord) {
    for (size_t cut : {0, 1, 3, 11, 16, 27, 47, 48, 49, 50, 60, 69, 70, 84, 90, 99, 100, 111, 112, 114, 115, 122, 123}) {
        for (int n : {0, 5}) {
            const std::string file = SampleFile(n, cut);
            const SampleLayout l = LayoutOf(file);
            EXPECT_EQ(l.groups, n) << cut << " after " << n;
            EXPECT_EQ(l.afterRecords, static_cast<int64_t>(cut)) << cut << " after " << n;
            EXPECT_EQ(l.readLimit, static_cast<int64_t>(2 + 16 * n)) << cut << " after " << n;
        }
    }
    // Name and location fill their fields.
    EXPECT_EQ(LayoutOf(SampleFile(5, 100, std::string(20, 'L'), std::string(20, 'N'))).groups, 5);
}

// A location of two or three bytes (one two-byte letter among them) whose
// length byte, text and zeros make a block A with its check word and three
// missing blocks: whole, or cut with its
// address, the trailer stays trailer; cut shorter, the slot proves a record
// and plays, as the zero slots before it do.
TEST(SampleFormat, ALocationThatProvesARecordStaysTrailerWithItsAddress) {
    for (const char* location : {"FW", "}{", "#R", "\xC4\x90", "TS@"}) {
        const SampleTrailer t = BuildSampleTrailer(location, location);
        ASSERT_TRUE(ProvesASampleRecord(t.data() + 48)) << location;
        for (size_t cut : {123, 122, 113, 107, 99, 97, 91, 84}) {
            const SampleLayout l = LayoutOf(SampleFile(3, cut, location, location));
            EXPECT_EQ(l.groups, 3) << location << " cut to " << cut;
            EXPECT_EQ(l.afterRecords, static_cast<int64_t>(cut)) << location << " cut to " << cut;
        }
        for (size_t cut : {64, 67, 75, 83})
            EXPECT_EQ(LayoutOf(SampleFile(3, cut, location, "")).groups, 3 + 4) << location << " cut to " << cut;
    }
}

// Our whole trailer with bytes appended to a size that fits no whole one is
// told by its bytes alone: every field of the layout must hold, and the web
// address and the product are printed text, 0x20 to 0x7E, "@" among it.
// Bytes that break one field are no trailer and play as their slots.
TEST(SampleFormat, OurTrailerIsToldByEveryFieldOfItsLayout) {
    struct Case {
        const char* what;
        size_t at;
        char byte;
        bool ours;
    };
    const Case cases[] = {
        {"as written", 0, 0, true},
        {"\"@\" in the address", 74, '@', true},
        {"\"@\" in the product", 117, '@', true},
        {"a blank and a tilde in the address", 70, ' ', true},
        {"a tilde at the product's end", 122, '~', true},
        {"a byte in the zero run", 20, 1, false},
        {"a location longer than its field", 48, 21, false},
        {"text after the location", 62, 'x', false},
        {"an address length of 13", 69, 13, false},
        {"a control byte in the address", 70, 0x1F, false},
        {"DEL in the address", 83, 0x7F, false},
        {"a byte after the address", 86, 'x', false},
        {"a name longer than its field", 90, 21, false},
        {"text after the name", 100, 'x', false},
        {"a product length of 10", 111, 10, false},
        {"a check word's low byte in the product", 116, '\x80', false},
        {"a zero in the product", 122, 0, false},
    };
    for (const Case& c : cases) {
        std::string trailer = SampleTrailerBytes(kSampleTrailerSize, "Hamburg Ost", "Ann");
        if (c.at) trailer[c.at] = c.byte;
        // 123 + 7 bytes: eight slots and two bytes.
        const SampleLayout l = LayoutOf(SampleFile(3, 0) + trailer + std::string(7, '\0'));
        EXPECT_EQ(l.groups, c.ours ? 3 : 3 + 8) << c.what;
    }
}

// What the contract leaves open, as the reader does it: a record that
// proves nothing may go after three all-missing records, where a cut of
// ours may begin; our trailer out of reach, after more than the appended
// bytes looked past or after part of a record, plays as records.
TEST(SampleFormat, RecordsThatProveNothingMayGoAndTrailersOutOfReachPlay) {
    const std::string two = SampleFile(2, 0);
    const std::string threeMissing = SampleRecordBytes({test::GroupRecord(-1, -1, -1, -1), test::GroupRecord(-1, -1, -1, -1),
                                                        test::GroupRecord(-1, -1, -1, -1)})
                                         .substr(2);
    // PI 14A3: its first byte could be a location's length (20 at most).
    const std::string good = SampleRecordBytes({test::GroupRecord(0x14A3, 0x0408, 0xE20D, 0x4142)}).substr(2);
    std::string loneSound = good, lowBits = good;
    for (int k = 1; k < 4; ++k) loneSound[4 * k + 2] = static_cast<char>(loneSound[4 * k + 2] ^ 0x04);
    for (int k = 0; k < 4; ++k) lowBits[4 * k + 3] = static_cast<char>(lowBits[4 * k + 3] | 0x15);
    std::string highPi = SampleRecordBytes({test::GroupRecord(0x2CA3, 0x0408, 0xE20D, 0x4142)}).substr(2);
    for (int k = 0; k < 4; ++k) highPi[4 * k + 3] = static_cast<char>(highPi[4 * k + 3] | 0x15);
    ASSERT_FALSE(ProvesASampleRecord(reinterpret_cast<const uint8_t*>(loneSound.data())));
    ASSERT_FALSE(ProvesASampleRecord(reinterpret_cast<const uint8_t*>(lowBits.data())));
    ASSERT_TRUE(ProvesASampleRecord(reinterpret_cast<const uint8_t*>(good.data())));
    const std::string ours = SampleTrailerBytes(kSampleTrailerSize, "Hamburg Ost", "Ann");
    struct Case {
        std::string what, file;
        int64_t groups;
    };
    const Case cases[] = {
        {"a lone sound block after all-missing records", two + threeMissing + loneSound, 2},
        {"low bits set after all-missing records", two + threeMissing + lowBits, 2},
        {"a proving record after all-missing records", two + threeMissing + good, 6},
        {"a first byte above 20 after all-missing records", two + threeMissing + highPi, 6},
        {"our trailer and 4,096 zero bytes", two + ours + std::string(4096, '\0'), 2},
        // The last 60 zeros are a cut of ours; all before them plays.
        {"our trailer and 4,097 zero bytes", two + ours + std::string(4097, '\0'), 2 + (123 + 4097 - 60) / 16},
        {"part of a record, then our trailer", two + good.substr(0, 7) + ours, 2 + (7 + 123) / 16},
    };
    for (const Case& c : cases) EXPECT_EQ(LayoutOf(c.file).groups, c.groups) << c.what;
}

// What follows the zero run tells a trailer from records: a record that
// merely ends in zeros stays a record.
TEST(SampleFormat, RecordsThatLookLikeATrailerInPartStayRecords) {
    std::string file = SampleFile(5, 0);
    // The last record's check words end in zero bytes, as every one does.
    EXPECT_EQ(LayoutOf(file + std::string(3, '\0')).groups, 5);
    // 48 zeros and a length byte above 20: no trailer, so two records and a part.
    std::string notTrailer = std::string(48, '\0') + "\x30" + std::string(1, 'x');
    EXPECT_EQ(LayoutOf(file + notTrailer).groups, 8);
    // A web-address length that is not 14.
    std::string t = std::string(SampleFile(0, 70)).substr(2);
    t[69] = 13;
    EXPECT_EQ(LayoutOf(file + t).groups, 9);
    // Text after a location's end where the field holds zeros.
    t = std::string(SampleFile(0, 60)).substr(2);
    t[48] = 2;
    EXPECT_EQ(LayoutOf(file + t).groups, 8);

    // Four all-missing records, then a group without block A whose block B
    // is 0x000E, zeros and the address length in their places: no address
    // follows, so it stays a group.
    const std::string weak = SampleRecordBytes(
        {GroupRecord(0xC201, 0x0400, 0xE10D, 0x4F52), GroupRecord(-1, -1, -1, -1), GroupRecord(-1, -1, -1, -1),
         GroupRecord(-1, -1, -1, -1), GroupRecord(-1, -1, -1, -1), GroupRecord(-1, 0x000E, 0xE10D, 0x4F52),
         GroupRecord(-1, -1, -1, -1)});
    EXPECT_GE(LayoutOf(weak + std::string(1, '\0')).groups, 6);
}

// A file whose size fits a whole trailer is cut shorter only where a slot
// proves a record where the whole trailer would begin: two sound blocks, or
// one and three missing. A check word with its low bits set, or a lone one
// among bad blocks, is no proof: text holds one about once in 1,024 blocks.
TEST(SampleFormat, AWholeTrailerGivesWayOnlyToASlotThatProvesARecord) {
    auto records = [](std::vector<TRDSGroupRec> groups) { return SampleRecordBytes(groups); };
    const TRDSGroupRec full = GroupRecord(0xC201, 0x0400, 0xE10D, 0x4F52);
    const TRDSGroupRec piOnly = GroupRecord(0xC201, -1, -1, -1);
    const TRDSGroupRec piAndB = GroupRecord(0xC201, 0x0400, -1, -1);
    const std::string text(16, 'x'); // sixteen bytes of text without a good check word
    for (int k = 0; k < 4; ++k)
        ASSERT_TRUE(BadCRC(0x7878, 0x7878, k, false) && BadCRC(0x7878, 0x7878, k, true)) << k;
    std::string sixTexts;
    for (int i = 0; i < 6; ++i) sixTexts += text;
    const std::string threeZeros(3, '\0');
    // Block A with its check word, the others text or with the low bits set.
    std::string piAmongText = records({piOnly}).substr(2, 4) + text.substr(4);
    std::string lowBits = records({full}).substr(2);
    for (int k = 0; k < 4; ++k) lowBits[4 * k + 3] = static_cast<char>(lowBits[4 * k + 3] | 0x15);

    // Size 2 + 16·8 + 3: a 115-byte trailer after one record, or a cut one
    // after two.
    EXPECT_EQ(LayoutOf(records({full, piOnly}) + sixTexts + threeZeros).groups, 2);
    EXPECT_EQ(LayoutOf(records({full, piAndB}) + sixTexts + threeZeros).groups, 2);
    EXPECT_EQ(LayoutOf(records({full, full}) + sixTexts + threeZeros).groups, 2);
    EXPECT_EQ(LayoutOf(records({full, full}) + sixTexts + std::string("\0\0\x01", 3)).groups, 2) << "another tool's";
    EXPECT_EQ(LayoutOf(records({full}) + piAmongText + sixTexts + threeZeros).groups, 1) << "a lone check word";
    EXPECT_EQ(LayoutOf(records({full}) + lowBits + sixTexts + threeZeros).groups, 1) << "low bits set";
    EXPECT_EQ(LayoutOf(records({full}) + sixTexts + text + threeZeros).groups, 1) << "a whole one after one record";

    // 75 bytes of ours after three records where a whole 123-byte trailer
    // would begin.
    const std::string cut75 = SampleTrailerBytes(75);
    EXPECT_EQ(LayoutOf(records({full, piOnly}) + text + text + cut75).groups, 2);
    EXPECT_EQ(LayoutOf(records({full, piOnly}) + text + text + sixTexts.substr(0, 75)).groups, 2);
    EXPECT_EQ(LayoutOf(records({full}) + piAmongText + text + sixTexts.substr(0, 75)).groups, 1);
    EXPECT_EQ(LayoutOf(records({full}) + text + text + text + cut75).groups, 1);
}

// Sizes and positions from a corrupt stat or a wild seek stay in range.
TEST(SampleFormat, BadSizesGiveNoRecords) {
    for (int64_t size : {INT64_MIN, int64_t{-1}, int64_t{0}, int64_t{1}}) {
        const SampleLayout l = SampleLayoutOf(size, "");
        EXPECT_EQ(l.groups, 0) << size;
        EXPECT_EQ(l.readLimit, 0) << size;
    }
    // A size far beyond the bytes at hand: only the size is evidence.
    const SampleLayout huge = SampleLayoutOf(INT64_MAX, "");
    EXPECT_GT(huge.groups, 0);
    EXPECT_LE(huge.readLimit, INT64_MAX);
}

class SampleReaderTest : public ::testing::Test {
protected:
    std::string Write(const std::string& bytes) {
        const std::string path = dir.filePath("x.smp").toStdString();
        test::WriteFileBytes(path, bytes);
        return path;
    }
    // Every record the reader hands out, read through a buffer smaller than
    // the file, so records cross buffer ends.
    std::vector<std::string> ReadAll(const std::string& path, int64_t* total = nullptr) {
        SampleReader r(40);
        EXPECT_TRUE(r.Open(path));
        if (total) *total = r.TotalGroups();
        std::vector<std::string> out;
        const uint8_t* rec = nullptr;
        while (r.Next(rec) == SampleReader::Result::Record)
            out.emplace_back(reinterpret_cast<const char*>(rec), 16);
        return out;
    }
    QTemporaryDir dir;
};

TEST_F(SampleReaderTest, ReadsEveryRecordWhateverTheTrailer) {
    std::string records;
    for (int i = 0; i < 9; ++i) records += std::string(16, static_cast<char>('a' + i));
    const std::string header = "\xFF\x06";
    for (size_t trailer : {size_t{123}, size_t{115}, size_t{0}}) {
        int64_t total = -1;
        const auto got = ReadAll(Write(header + records + std::string(trailer, '\0')), &total);
        EXPECT_EQ(total, 9) << trailer;
        ASSERT_EQ(got.size(), 9u) << trailer;
        EXPECT_EQ(got.back(), std::string(16, 'i'));
    }
    // A partial record at the end is not played; a file shorter than any
    // record holds none.
    EXPECT_EQ(ReadAll(Write(header + records + "12345")).size(), 9u);
    EXPECT_EQ(ReadAll(Write("\xFF")).size(), 0u);
}

TEST_F(SampleReaderTest, SeeksToARecord) {
    std::string bytes = "\xFF\x06";
    for (int i = 0; i < 5; ++i) bytes += std::string(16, static_cast<char>('0' + i));
    SampleReader r(40);
    ASSERT_TRUE(r.Open(Write(bytes + std::string(123, '\0'))));
    const uint8_t* rec = nullptr;
    ASSERT_TRUE(r.Seek(3));
    ASSERT_EQ(r.Next(rec), SampleReader::Result::Record);
    EXPECT_EQ(rec[0], '3');
    ASSERT_EQ(r.Next(rec), SampleReader::Result::Record);
    EXPECT_EQ(rec[15], '4');
    EXPECT_EQ(r.Next(rec), SampleReader::Result::End);
    // Far past the end, or before the start: the end, or the first record.
    for (int64_t wild : {INT64_MAX / 8, INT64_MAX, int64_t{6}}) {
        ASSERT_TRUE(r.Seek(wild)) << wild;
        EXPECT_EQ(r.Next(rec), SampleReader::Result::End) << wild;
    }
    ASSERT_TRUE(r.Seek(INT64_MIN));
    ASSERT_EQ(r.Next(rec), SampleReader::Result::Record);
    EXPECT_EQ(rec[0], '0');
}

TEST_F(SampleReaderTest, RefusesWhatIsNoRegularFile) {
    SampleReader r;
    EXPECT_FALSE(r.Open(dir.path().toStdString()));
    EXPECT_FALSE(r.Open(dir.filePath("missing.smp").toStdString()));
}

// Files of every ending, some longer than the reader's look at the tail,
// some with bytes appended on both sides of the most it looks past our
// trailer, play through the reader exactly as the contract's rules say.
TEST_F(SampleReaderTest, FilesOfEveryEndingPlayAsTheContractSays) {
    using namespace test::endings;
    Generator gen(20261211);
    for (int e = 0; e < static_cast<int>(Ending::kCount); ++e) {
        const auto ending = static_cast<Ending>(e);
        int broken = 0;
        for (int i = 0; i < 1000; ++i) {
            const File f = MakeFile(gen, ending);
            SampleReader r;
            ASSERT_TRUE(r.Open(Write(f.bytes)));
            int64_t played = 0;
            for (const uint8_t* rec = nullptr; r.Next(rec) == SampleReader::Result::Record;) ++played;
            const Outcome o = Judge(f, played);
            if (o.broken && ++broken <= 3) ADD_FAILURE() << Name(ending) << ", file " << i << ": " << o.broken;
        }
        EXPECT_EQ(broken, 0) << Name(ending);
    }
}

} // namespace
} // namespace orvane
