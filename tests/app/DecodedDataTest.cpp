// The main window's own decoding: the bit ring and decoder tick, the group
// fan-out with its PI watch, and the basic decoder's PI, PS and error rate.
#include "AppFakes.h"
#include "GroupRecord.h"
#include "PIWatch.h"
#include "RdsEncoder.h"
#include "Unit1.h"
#include "ValueTable.h"

#include <QGuiApplication>
#include <QLabel>
#include "SeekTrackBar.h"
#include <gtest/gtest.h>

#include <fstream>

using namespace orvane;
using namespace orvane::test;

namespace {

struct Options : IOptions {
    bool resetOnPI = true, resetOnTimeout = false, detectPI = true;
    bool ResetOnPIChange() const override { return resetOnPI; }
    bool ResetOnSignalTimeout() const override { return resetOnTimeout; }
    bool DetectPIChange() const override { return detectPI; }
};

// A 0A group carrying PS characters at a segment.
TRDSGroupRec PsGroup(int32_t pi, int segment, uint8_t c1, uint8_t c2) {
    return GroupRecord(pi, segment & 3, 0xE0CD, (c1 << 8) | c2);
}

class DecodedDataTest : public ::testing::Test {
protected:
    void SetUp() override {
        RecordingPlugins::Seen().clear();
        RecordingPlugins::Groups().clear();
        app = std::make_unique<OrvaneApp>(program.Env());
        app->CreateWindows();
        main().SetOptions(&options);
        RecordingPlugins::Seen().clear();
    }
    TForm1& main() { return *app->Forms().form1; }
    std::string Value(const char* key) { return ReadValue(main().ValueTable(), key); }
    int ResetsSeen() const {
        int n = 0;
        for (const auto& s : RecordingPlugins::Seen()) n += s.command == "RESETDATA";
        return n;
    }
    void SendPs(int32_t pi, const char* ps) {
        for (int seg = 0; seg < 4; ++seg)
            main().SendRDSGroup(PsGroup(pi, seg, static_cast<uint8_t>(ps[2 * seg]),
                                        static_cast<uint8_t>(ps[2 * seg + 1])));
    }

    FakeProgram program;
    Options options;
    std::unique_ptr<OrvaneApp> app;
};

} // namespace

TEST(DecoderRingTest, RefusesBitsBeyondTheLimitButCountsThem) {
    DecoderRing ring;
    EXPECT_EQ(ring.ReadFromDecoderBuffer(), 0);
    EXPECT_EQ(ring.ReadPosition(), 0);
    for (int i = 0; i < 9991; ++i) ring.AddToDecoderBuffer(i & 1);
    EXPECT_EQ(ring.Pending(), 9991);
    ring.AddToDecoderBuffer(1);
    ring.AddToDecoderBuffer(0);
    EXPECT_EQ(ring.Pending(), 9991);
    EXPECT_EQ(ring.BitsOffered(), 9993);
    EXPECT_EQ(ring.OnesOffered(), 9991 / 2 + 1);
    // Order survives the wrap of the read position past the last cell.
    for (int i = 0; i < 9000; ++i) ASSERT_EQ(ring.ReadFromDecoderBuffer(), i & 1);
    for (int i = 0; i < 5000; ++i) ring.AddToDecoderBuffer(i % 3 == 0);
    for (int i = 9000; i < 9991; ++i) ASSERT_EQ(ring.ReadFromDecoderBuffer(), i & 1);
    for (int i = 0; i < 5000; ++i) ASSERT_EQ(ring.ReadFromDecoderBuffer(), i % 3 == 0) << i;
    EXPECT_EQ(ring.ReadPosition(), (9991 + 5000) % 10000);
    const int pos = ring.ReadPosition();
    EXPECT_EQ(ring.ReadFromDecoderBuffer(), 0);
    EXPECT_EQ(ring.ReadPosition(), pos);
}

TEST_F(DecodedDataTest, TickDrainsAtMost312BitsOrStopsAtAGroupEnd) {
    DecoderRing& ring = main().Ring();
    for (int i = 0; i < 2000; ++i) ring.AddToDecoderBuffer(0);
    main().EnableDecoderTick(true);
    program.time.Advance(87);
    EXPECT_EQ(ring.Pending(), 2000 - 312);
    EXPECT_EQ(main().DecoderTimer().Interval(), 70);

    // Below twice the reserve a tick ends at the next group end.
    ring.Empty();
    for (int i = 0; i < 500; ++i) ring.AddToDecoderBuffer(0);
    const int pos = main().Decoder().GroupPosition();
    const int toGroupEnd = pos == 104 ? 104 : 104 - pos;
    program.time.Advance(70);
    EXPECT_EQ(ring.Pending(), 500 - toGroupEnd);
    EXPECT_EQ(main().Decoder().GroupPosition(), 104);
    EXPECT_EQ(main().DecoderTimer().Interval(), 70); // 500 were pending when it was set
    program.time.Advance(70);
    EXPECT_EQ(ring.Pending(), 500 - toGroupEnd - 104);
    EXPECT_EQ(main().DecoderTimer().Interval(), 88);
}

TEST_F(DecodedDataTest, ReserveFollowsTheSoundCardBufferOption) {
    struct BufferOptions : IOptions {
        int item = 1;
        bool r441 = true;
        int SoundCardBufferItem() const override { return item; }
        bool Always441() const override { return r441; }
    } o;
    main().SetOptions(&o);
    EXPECT_EQ(main().DecoderReserve(), 400); // not the sound card
    main().SetSourceNumber(TForm1::kSourceSoundCard);
    const int expected[2][5] = {{400, 600, 1000, 2000, 400}, {200, 300, 500, 1000, 200}};
    for (int half = 0; half < 2; ++half)
        for (int item = 0; item < 5; ++item) {
            o.item = item;
            o.r441 = half == 1;
            EXPECT_EQ(main().DecoderReserve(), expected[half][item]) << item << " " << half;
        }
}

TEST_F(DecodedDataTest, BitsInTheRingComeOutAsGroupsAtThePlugins) {
    const char ps[8] = {'T', 'E', 'S', 'T', ' ', 'F', 'M', ' '};
    const auto groups = StationGroups(0x7827, ps, 30);
    BitStream s;
    s.Noise(41);
    for (const auto& g : groups) s.Add(g);
    for (uint8_t b : s.bits()) main().Ring().AddToDecoderBuffer(b);
    main().EnableDecoderTick(true);
    program.time.Advance(5000);
    // The partial group in front is lost to synchronisation, all others arrive.
    ASSERT_EQ(RecordingPlugins::Groups().size(), groups.size());
    for (size_t i = 0; i < groups.size(); ++i) {
        EXPECT_EQ(RecordingPlugins::Groups()[i].BlockA, groups[i].a);
        EXPECT_EQ(RecordingPlugins::Groups()[i].BlockD, groups[i].d);
    }
    EXPECT_EQ(main().LPI->text(), "7827");
    EXPECT_EQ(Value("PS"), "TEST FM ");
    EXPECT_EQ(main().LGR->text(), "30");
}

TEST(PIWatchTest, NewPIIsTakenAfterTwoGroupsOr31FromALiveDevice) {
    for (bool device : {false, true}) {
        PIWatch w;
        w.Check(0x1234, device);
        EXPECT_EQ(w.stable, 0x1234);
        const int needed = device ? 31 : 2;
        for (int i = 1; i < needed; ++i) {
            w.Check(0x5678, device);
            w.Check(-1, device); // a missing block A counts neither way
            EXPECT_FALSE(w.changed);
        }
        EXPECT_EQ(w.count, needed - 1);
        w.Check(0x5678, device);
        EXPECT_TRUE(w.changed);
        EXPECT_EQ(w.stable, 0x5678);
        EXPECT_EQ(w.count, 0);
    }
    PIWatch w;
    w.Check(0x1234, false);
    w.Check(0x5678, false);
    w.Check(0x1234, false); // the old PI in between starts again
    EXPECT_EQ(w.count, 0);
    w.Check(0x5678, false);
    w.Check(0x9ABC, false); // a third PI becomes the candidate
    EXPECT_EQ(w.candidate, 0x9ABC);
    EXPECT_EQ(w.count, 1);
    EXPECT_FALSE(w.changed);
}

TEST_F(DecodedDataTest, PIChangeDropsTheFirstNewGroupAndResetsOnTheSecond) {
    for (bool reset : {true, false}) {
        SCOPED_TRACE(reset);
        options.resetOnPI = reset;
        main().Clear1Click();
        RecordingPlugins::Groups().clear();
        RecordingPlugins::Seen().clear();
        for (int i = 0; i < 5; ++i) main().SendRDSGroup(GroupRecord(0x1234, 0x2000, 0, 0));
        main().SendRDSGroup(GroupRecord(0x5678, 0x2000, 0, 0));
        EXPECT_EQ(RecordingPlugins::Groups().size(), reset ? 5u : 6u);
        EXPECT_EQ(ResetsSeen(), 0);
        main().SendRDSGroup(GroupRecord(0x5678, 0x2000, 0, 0));
        EXPECT_EQ(RecordingPlugins::Groups().size(), reset ? 6u : 7u);
        EXPECT_EQ(ResetsSeen(), reset ? 1 : 0);
        EXPECT_EQ(main().LGR->text(), reset ? "1" : "7");
        EXPECT_EQ(main().LPI->text(), "5678");
        // Every key the basic decoder owns exists right after the reset.
        EXPECT_EQ(Value("PI"), "5678");
        EXPECT_NE(Value("BERC"), "");
    }
}

TEST_F(DecodedDataTest, DeviceLinkDropsThreeGroupsAfterAFullReset) {
    main().SetSourceNumber(TForm1::kSourceDevice);
    main().Clear1Click();
    for (int i = 0; i < 5; ++i) main().SendRDSGroup(GroupRecord(0x1234, 0x2000, i, 0));
    ASSERT_EQ(RecordingPlugins::Groups().size(), 2u);
    EXPECT_EQ(RecordingPlugins::Groups()[0].BlockC, 3);
    EXPECT_EQ(main().GroupsThisSecond(), 2);
    // A reset on a PI change does not arm the drop.
    main().ClearKeepSync();
    main().SendRDSGroup(GroupRecord(0x1234, 0x2000, 9, 0));
    EXPECT_EQ(RecordingPlugins::Groups().size(), 3u);
}

TEST_F(DecodedDataTest, PauseWithNothingPlayingLosesNoLiveGroups) {
    // A live source feeds the fan-out while the speed bar was left at its
    // pause position: every group passes and the time-out still watches.
    options.resetOnTimeout = true;
    main().TBSpeed->SetPosition(-3);
    EXPECT_TRUE(main().LPAUSE->isHidden());
    main().TimeoutTimer().SetEnabled(false);
    for (int i = 0; i < 3; ++i) main().SendRDSGroup(GroupRecord(0x1234, 0x2000, i, 0));
    EXPECT_EQ(RecordingPlugins::Groups().size(), 3u);
    EXPECT_TRUE(main().TimeoutTimer().Enabled());
    EXPECT_EQ(main().LPI->text(), "1234");
    program.time.Advance(30000);
    EXPECT_EQ(main().LPI->text(), "----");
    EXPECT_EQ(ResetsSeen(), 1);
}

TEST_F(DecodedDataTest, PausedPlaybackDropsGroupsBeforeTheTimeoutIsRestarted) {
    const std::string file = program.ProgramFolder() + "rec.orv";
    {
        std::ofstream out(file);
        for (int i = 0; i < 5; ++i) out << "1234 0000 E0CD 4142\r\n";
    }
    program.modal.fileToOpen = file;
    main().PlayFile1Click();
    ASSERT_TRUE(main().Playing());
    main().TBSpeed->SetPosition(-3);
    EXPECT_FALSE(main().LPAUSE->isHidden());
    RecordingPlugins::Groups().clear();
    main().TimeoutTimer().SetEnabled(false);
    main().SendRDSGroup(GroupRecord(0x1234, 0x2000, 0, 0));
    EXPECT_TRUE(RecordingPlugins::Groups().empty());
    EXPECT_FALSE(main().TimeoutTimer().Enabled());
    main().TBSpeed->SetPosition(0);
    EXPECT_TRUE(main().LPAUSE->isHidden());
    main().SendRDSGroup(GroupRecord(0x1234, 0x2000, 0, 0));
    EXPECT_EQ(RecordingPlugins::Groups().size(), 1u);
    EXPECT_TRUE(main().TimeoutTimer().Enabled());
    // Stopping the paused playback hides the label with it.
    main().TBSpeed->SetPosition(-3);
    main().Player().StopPlayingFile();
    EXPECT_TRUE(main().LPAUSE->isHidden());
}

TEST_F(DecodedDataTest, SignalTimeoutResetsOnlyWhenAsked) {
    for (bool reset : {false, true}) {
        options.resetOnTimeout = reset;
        main().SendRDSGroup(GroupRecord(0x1234, 0x2000, 0, 0));
        RecordingPlugins::Seen().clear();
        program.time.Advance(29999);
        EXPECT_EQ(ResetsSeen(), 0);
        program.time.Advance(1);
        EXPECT_EQ(ResetsSeen(), reset ? 1 : 0);
        EXPECT_EQ(main().LPI->text(), reset ? "----" : "1234");
    }
}

TEST_F(DecodedDataTest, PSIsConfirmedAfter21IdenticalAssemblies) {
    SendPs(0x1234, "RADIO 1 ");
    EXPECT_EQ(main().LPS->text(), "RADIO 1 ");
    EXPECT_EQ(Value("PS"), "RADIO 1 ");
    // 20 more complete passes: the 21st identical assembly confirms it.
    for (int i = 0; i < 4; ++i) SendPs(0x1234, "RADIO 1 ");
    EXPECT_EQ(main().PSN(), "RADIO 1 "); // current PS, not yet confirmed
    SendPs(0x1234, "NEWS    ");
    EXPECT_EQ(Value("PS"), "NEWS    "); // unconfirmed: follows every change
    for (int i = 0; i < 20; ++i) main().SendRDSGroup(PsGroup(0x1234, 3, ' ', ' '));
    EXPECT_EQ(Value("PS"), "NEWS    ");
    // Confirmed now: later changes show, but the key keeps the confirmed text.
    main().SendRDSGroup(PsGroup(0x1234, 0, 'X', 'Y'));
    EXPECT_EQ(main().LPS->text(), "XYWS    ");
    EXPECT_EQ(Value("PS"), "NEWS    ");
    EXPECT_EQ(main().PSN(), "NEWS    ");
}

TEST_F(DecodedDataTest, PSRejectsControlCharactersAndConvertsTheRdsCharacterSet) {
    main().SendRDSGroup(PsGroup(0x1234, 0, 'A', 'B'));
    main().SendRDSGroup(GroupRecord(0x1234, 0x0001, 0xE0CD, 0x1F41)); // first below 32
    main().SendRDSGroup(GroupRecord(0x1234, 0x0001, 0xE0CD, 0x411F)); // second below 32
    main().SendRDSGroup(GroupRecord(0x1234, 0x2001, 0xE0CD, 0x4142)); // 2A: PI only
    EXPECT_EQ(main().LPS->text(), "AB------");
    main().SendRDSGroup(PsGroup(0x1234, 1, 0x91, 0x97)); // a-umlaut, o-umlaut in the RDS set
    EXPECT_EQ(main().LPS->text(), QString::fromUtf8("AB\xC3\xA4\xC3\xB6----"));
    EXPECT_EQ(Value("PS"), "AB\xC3\xA4\xC3\xB6----");
}

TEST_F(DecodedDataTest, ErrorRateFromTheLast16Groups) {
    struct Case {
        int validPerGroupTimes4; // valid blocks over 16 groups, spread evenly
        const char* text;
    };
    // 99 - valid/64 * 104, halves to even: 4 -> 92.5 -> 92, 12 -> 79.5 -> 80.
    const Case cases[] = {{64, "0 %"}, {32, "47 %"}, {4, "92 %"}, {12, "80 %"}, {0, "99 %"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        main().Clear1Click();
        int left = c.validPerGroupTimes4;
        int valid[16];
        for (int i = 0; i < 16; ++i) {
            valid[i] = std::min(4, left / (16 - i) + (left % (16 - i) ? 1 : 0));
            left -= valid[i];
        }
        // Groups with valid blocks last, so the last group may update "BER".
        for (int i = 15; i >= 0; --i) {
            const int v = valid[i];
            const int32_t b[4] = {v > 0 ? 0x1234 : -1, v > 1 ? 0x2000 : -1, v > 2 ? 0 : -1, v > 3 ? 0 : -1};
            main().SendRDSGroup(GroupRecord(b[0], b[1], b[2], b[3]));
        }
        EXPECT_EQ(main().LBER->text(), c.text) << main().LGR->text().toStdString();
        EXPECT_EQ(Value("BERC"), c.text);
        // "BER" is only taken from groups with a valid block.
        EXPECT_EQ(Value("BER"), c.validPerGroupTimes4 ? c.text : "");
    }
}

TEST_F(DecodedDataTest, BerIsHeldWhileAPIChangeIsPending) {
    options.resetOnPI = false;
    for (int i = 0; i < 16; ++i) main().SendRDSGroup(GroupRecord(0x1234, 0x2000, 0, 0));
    EXPECT_EQ(Value("BER"), "0 %");
    // Each group brings a new candidate, so a change stays pending.
    for (int32_t pi : {0x5678, 0x9ABC, 0x5678, 0x9ABC}) main().SendRDSGroup(GroupRecord(pi, -1, -1, -1));
    EXPECT_EQ(main().PIState().count, 1);
    EXPECT_EQ(Value("BERC"), "14 %"); // 52 of 64 valid: 14.5 to even
    EXPECT_EQ(Value("BER"), "0 %");
    EXPECT_EQ(Value("BER"), "0 %");
}

TEST_F(DecodedDataTest, ResetShowsTheEmptyDisplayAndLeavesOnlyCommand) {
    SendPs(0x1234, "RADIO 1 ");
    main().Clear1Click();
    EXPECT_EQ(main().LPI->text(), "----");
    EXPECT_EQ(main().LPS->text(), "--------");
    EXPECT_EQ(main().LBER->text(), "no sync");
    EXPECT_EQ(main().LGR->text(), "0");
    EXPECT_EQ(main().ApplicationTitle(), "Orvane");
    EXPECT_EQ(ValueCount(main().ValueTable()), 2); // "COMMAND" and "BERC"
    EXPECT_EQ(KeyAt(main().ValueTable(), 0), "COMMAND");
    EXPECT_EQ(Value("BERC"), "no sync");
    EXPECT_FALSE(main().Decoder().InSync());
    main().SendRDSGroup(GroupRecord(0x1234, 0x2000, 0, 0));
    EXPECT_EQ(main().ApplicationTitle(), "Orvane - 1234");
    // The title names the minimised program; captions keep their own text.
    EXPECT_EQ(main().windowIconText(), "Orvane - 1234");
    EXPECT_FALSE(main().windowTitle().contains("1234"));
    EXPECT_FALSE(QGuiApplication::applicationDisplayName().contains("1234"));
}

TEST_F(DecodedDataTest, PlaybackEmptiesTheRingUntilTheNextReset) {
    const std::string file = program.ProgramFolder() + "rec.orv";
    {
        std::ofstream out(file);
        for (int i = 0; i < 5; ++i) out << "1234 0000 E0CD 4142\r\n";
    }
    main().PlayFile1Click(); // the user cancels the open dialog
    EXPECT_FALSE(main().Playing());
    program.modal.fileToOpen = file;
    main().PlayFile1Click();
    ASSERT_TRUE(main().Playing());
    main().EnableDecoderTick(true);
    for (int i = 0; i < 700; ++i) main().Ring().AddToDecoderBuffer(1);
    program.time.Advance(87);
    EXPECT_EQ(main().Ring().Pending(), 0);
    program.time.Advance(78 * 10); // the file ends: bits still go nowhere
    EXPECT_FALSE(main().Playing());
    EXPECT_FALSE(main().LEND->isHidden());
    EXPECT_EQ(main().LGR->text().toStdString(), "5 / 5"); // the last refresh during playback
    for (int i = 0; i < 700; ++i) main().Ring().AddToDecoderBuffer(1);
    program.time.Advance(88);
    EXPECT_EQ(main().Ring().Pending(), 0);
    main().Clear1Click();
    EXPECT_TRUE(main().LEND->isHidden());
    for (int i = 0; i < 700; ++i) main().Ring().AddToDecoderBuffer(1);
    program.time.Advance(88);
    EXPECT_GT(main().Ring().Pending(), 0);
}
