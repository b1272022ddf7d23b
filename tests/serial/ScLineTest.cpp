// The termios2 flags a line setting becomes. The kernel's own header is the
// reference: the flag values are its.
#include "ScLine.h"

#include <asm/termbits.h>
#include <gtest/gtest.h>

using namespace orvane;

TEST(ScLine, SettingsBecomeTheirTermiosFlags) {
    struct Case {
        const char* what;
        scline::Settings line;
        unsigned cflagSet, cflagClear, iflagSet;
    };
    auto with = [](auto change) {
        scline::Settings s;
        change(s);
        return s;
    };
    const Case cases[] = {
        {"8N1", {}, CS8 | BOTHER | CREAD | CLOCAL, PARENB | CSTOPB | CRTSCTS, 0},
        {"odd", with([](auto& s) { s.parity = scline::kOdd; }), PARENB | PARODD, CMSPAR, 0},
        {"even", with([](auto& s) { s.parity = scline::kEven; }), PARENB, PARODD | CMSPAR, 0},
        {"mark", with([](auto& s) { s.parity = scline::kMark; }), PARENB | CMSPAR | PARODD, 0, 0},
        {"space", with([](auto& s) { s.parity = scline::kSpace; }), PARENB | CMSPAR, PARODD, 0},
        {"5 bits", with([](auto& s) { s.dataBits = 5; }), CS5, CS8 & ~CS5, 0},
        {"7 bits", with([](auto& s) { s.dataBits = 7; }), CS7, CS8 & ~CS7, 0},
        {"2 stop", with([](auto& s) { s.twoStopBits = true; }), CSTOPB, 0, 0},
        {"rts/cts", with([](auto& s) { s.rtsCts = true; }), CRTSCTS, 0, 0},
        {"xon/xoff", with([](auto& s) { s.xonOut = s.xonIn = true; }), 0, 0, IXON | IXOFF},
        {"parity check", with([](auto& s) { s.parityCheck = true; }), 0, 0, INPCK},
    };
    for (const Case& c : cases) {
        // Start from a line that had everything set, so leftovers would show.
        unsigned cflag = CS8 | PARENB | PARODD | CMSPAR | CSTOPB | CRTSCTS | B9600;
        unsigned iflag = IXON | IXOFF | INPCK;
        scline::Encode(c.line, cflag, iflag);
        EXPECT_EQ(cflag & c.cflagSet, c.cflagSet) << c.what;
        EXPECT_EQ(cflag & c.cflagClear, 0u) << c.what;
        EXPECT_EQ(iflag, c.iflagSet) << c.what;
        EXPECT_EQ(cflag & CBAUD, static_cast<unsigned>(BOTHER)) << c.what;
    }
}
