#include "Utf8.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using orvane::utf8::FromFileBytes;
using orvane::utf8::IsValid;

const std::string kReplacement = "\xEF\xBF\xBD";

std::string Ascii(const std::string& s) {
    std::string out;
    for (const char c : s)
        if (static_cast<unsigned char>(c) < 0x80) out += c;
    return out;
}

TEST(FromFileBytes, KeepsUtf8AndReadsEveryOtherByteAsWindows1252) {
    struct Case {
        const char* what;
        std::string bytes, text;
    } cases[] = {
        {"empty", "", ""},
        {"ASCII", "Orvane 1.0 [General]=x", "Orvane 1.0 [General]=x"},
        {"two-byte UTF-8", "K\xC3\xB6ln", "Köln"},
        {"three-byte UTF-8", "5 \xE2\x82\xAC", "5 €"},
        {"four-byte UTF-8", "\xF0\x9F\x93\xBB", "📻"},
        {"U+FFFD written as such stays", kReplacement, kReplacement},
        {"Latin-1 letters", "M\xFCnchen Stra\xDF" "e, K\xF6ln", "München Straße, Köln"},
        {"the ends of Latin-1", "\xA0\xFF", "\u00A0ÿ"},
        {"a lone continuation byte", "a\xBF" "b", "a¿b"},
        {"a lead byte before ASCII", "\xC3(", "Ã("},
        {"a two-byte overlong form", "\xC0\xAF", "À¯"},
        {"a three-byte overlong form", "\xE0\x80\xAF", "à€¯"},
        {"a surrogate", "\xED\xA0\x80", "í\u00A0€"},
        {"beyond U+10FFFF", "\xF4\x90\x80\x80", "ô\u0090€€"},
        {"two bytes of three cut at the end", "a\xE2\x82", "aâ‚"},
        {"three bytes of four cut at the end", "\xF0\x9F\x93", "ðŸ“"},
        {"a lead byte cut at the end", "a\xC3", "aÃ"},
        {"Latin-1 beside UTF-8", "\xE9\xC3\xA9\xE9", "ééé"},
        {"0x80 to 0x9F",
         "\x80\x81\x82\x83\x84\x85\x86\x87\x88\x89\x8A\x8B\x8C\x8D\x8E\x8F"
         "\x90\x91\x92\x93\x94\x95\x96\x97\x98\x99\x9A\x9B\x9C\x9D\x9E\x9F",
         "€\u0081‚ƒ„…†‡ˆ‰Š‹Œ\u008DŽ\u008F\u0090‘’“”•–—˜™š›œ\u009DžŸ"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string text = FromFileBytes(c.bytes);
        EXPECT_EQ(text, c.text);
        // Text already: taken again it stays as it is.
        EXPECT_EQ(FromFileBytes(text), text);
    }
}

TEST(FromFileBytes, NoByteNorPairOfBytesBecomesAReplacementCharacter) {
    for (int a = 0; a < 256; ++a) {
        for (int b = 0; b < 256; ++b) {
            const std::string bytes{static_cast<char>(a), static_cast<char>(b)};
            const std::string text = FromFileBytes(bytes);
            ASSERT_TRUE(IsValid(text)) << a << " " << b;
            ASSERT_EQ(text.find(kReplacement), std::string::npos) << a << " " << b;
            // ASCII is neither touched nor made: the structure of a line survives.
            ASSERT_EQ(Ascii(text), Ascii(bytes)) << a << " " << b;
        }
    }
}

} // namespace
