// The counted socket start-up.
#include "SockLib.h"

#include <gtest/gtest.h>

#include <csignal>

namespace {

using orvane::SockLib;

TEST(SockLibTest, NestedStartsStayBalancedAndSigpipeIsIgnored) {
    const int base = SockLib::Level();
    {
        orvane::SockLibUnit outer;
        EXPECT_EQ(SockLib::Level(), base + 1);
        struct sigaction now {};
        ASSERT_EQ(sigaction(SIGPIPE, nullptr, &now), 0);
        EXPECT_EQ(now.sa_handler, SIG_IGN);
        {
            orvane::SockLibUnit inner;
            SockLib::Startup();
            EXPECT_EQ(SockLib::Level(), base + 3);
            SockLib::Cleanup();
        }
        EXPECT_EQ(SockLib::Level(), base + 1);
    }
    EXPECT_EQ(SockLib::Level(), base);
    // A clean-up without a start does not drive the count below zero.
    if (base == 0) {
        SockLib::Cleanup();
        EXPECT_EQ(SockLib::Level(), 0);
    }
}

} // namespace
