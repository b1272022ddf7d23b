// The soft PI search as the decoder tick runs it.
#include "AppFakes.h"
#include "RdsEncoder.h"
#include "Unit1.h"

#include <QLabel>
#include <gtest/gtest.h>

#include <random>

using namespace orvane;
using namespace orvane::test;

namespace {

struct Options : IOptions {
    bool superPI = false;
    bool SuperPIDetector() const override { return superPI; }
};

class SoftPITest : public ::testing::Test {
protected:
    void SetUp() override {
        app = std::make_unique<OrvaneApp>(program.Env());
        app->CreateWindows();
        main().SetOptions(&options);
        RecordingPlugins::Seen().clear();
    }
    TForm1& main() { return *app->Forms().form1; }
    // Groups too damaged for block sync, through the ring and the tick.
    void FeedNoisy(int groups) {
        BitStream s(5);
        for (const auto& g : StationGroups(0x7827, "NOISY FM", groups)) s.Add(g);
        std::mt19937 rng(5);
        std::bernoulli_distribution flip(0.2);
        main().EnableDecoderTick(true);
        int n = 0;
        for (uint8_t b : s.bits()) {
            main().Ring().AddToDecoderBuffer(b ^ (flip(rng) ? 1 : 0));
            if (++n % 300 == 0) program.time.Advance(100);
        }
        program.time.Advance(2000);
    }
    std::vector<std::string> SuperPISent() const {
        std::vector<std::string> out;
        for (const auto& c : RecordingPlugins::Seen())
            if (c.command == "SUPERPI") out.push_back(c.parameter);
        return out;
    }
    FakeProgram program;
    std::unique_ptr<OrvaneApp> app;
    Options options;
};

TEST_F(SoftPITest, TickedOptionShowsThePIBelowSync) {
    options.superPI = true;
    FeedNoisy(400);
    EXPECT_FALSE(main().Decoder().InSync());
    EXPECT_EQ(main().LPI->text(), "7827");
    EXPECT_EQ(main().ApplicationTitle(), "Orvane - 7827");
    EXPECT_EQ(SuperPISent(), std::vector<std::string>{"7827"});

    // A reset forgets the search and the shown PI.
    main().Clear1Click();
    EXPECT_EQ(main().LPI->text(), "----");
    EXPECT_EQ(main().SoftPI().FillCount(), 0);
    EXPECT_EQ(main().SoftPI().Hits(0x7827), 0);
}

TEST_F(SoftPITest, OptionOffCollectsNothing) {
    FeedNoisy(150);
    EXPECT_EQ(main().SoftPI().FillCount(), 0);
    EXPECT_EQ(main().LPI->text(), "----");
    EXPECT_TRUE(SuperPISent().empty());
}

} // namespace
