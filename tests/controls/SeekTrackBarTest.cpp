#include "SeekTrackBar.h"

#include "Canvas.h"
#include "FakeTime.h"
#include "TrackBarFixtures.h"

#include <QApplication>
#include <QSignalSpy>

#include <gtest/gtest.h>

#include <vector>

using namespace orvane;
using namespace orvane::controls;

namespace {

class TrackBar : public ::testing::Test {
protected:
    TrackBar() { QObject::connect(&bar, &TSeekTrackBar::OnChange, [this] { changes.push_back(bar.Position()); }); }

    // A horizontal bar whose track is `track` pixels long (no buttons).
    void TrackLength(int track) { bar.resize(track + 6, 26); }
    int ThumbMiddleX() const {
        const TRect t = bar.ThumbRect();
        return (t.Left + t.Right) / 2;
    }
    // Where the mouse must be for the thumb to stand at value v.
    int XOf(int v) const { return bar.TrackRect().Left + bar.PointerOffset() + bar.ThumbOffset(v); }
    int ThumbMiddleY() const {
        const TRect t = bar.ThumbRect();
        return (t.Top + t.Bottom) / 2;
    }
    void Drag(std::initializer_list<int> xs) {
        bar.MouseDown(Qt::LeftButton, {}, ThumbMiddleX(), ThumbMiddleY());
        for (int x : xs) bar.MouseMove({}, x, ThumbMiddleY());
        bar.MouseUp(Qt::LeftButton, {}, xs.size() ? *(xs.end() - 1) : ThumbMiddleX(), ThumbMiddleY());
    }

    test::FakeTime time;
    TSeekTrackBar bar{nullptr, &time};
    std::vector<int> changes;
};

TEST_F(TrackBar, StartsWithItsDefaultsAndAFixedVersion) {
    EXPECT_EQ(bar.width(), 150);
    EXPECT_EQ(bar.height(), 26);
    EXPECT_EQ(bar.Min(), 0);
    EXPECT_EQ(bar.Max(), 10);
    EXPECT_EQ(bar.Position(), 0);
    EXPECT_EQ(bar.PageSize(), 1);
    EXPECT_TRUE(bar.Transparent());
    EXPECT_FALSE(bar.TrackHint());
    EXPECT_EQ(bar.Color(), clNone);
    EXPECT_EQ(bar.Version(), "2.1.0.0");
    bar.SetVersion("9.9");
    EXPECT_EQ(bar.Version(), "2.1.0.0");
    // The inner rectangle is 3 pixels inside; the track starts the slider's offset lower.
    EXPECT_EQ(bar.InnerRect(), (TRect{3, 3, 147, 23}));
    EXPECT_EQ(bar.TrackRect(), (TRect{3, 13, 147, 23}));
}

TEST_F(TrackBar, PositionStaysInRangeAndAnnouncesEachChange) {
    bar.SetPosition(7);
    EXPECT_EQ(changes, std::vector<int>{7});
    bar.SetPosition(7);
    EXPECT_EQ(changes.size(), 1u); // an equal value changes nothing

    // Lowering Max below the position pulls the position along, once.
    bar.SetMax(5);
    EXPECT_EQ(bar.Position(), 5);
    EXPECT_EQ(changes, (std::vector<int>{7, 5}));
    // A value beyond the end it already sits at is told once more.
    bar.SetPosition(5 + 5);
    EXPECT_EQ(bar.Position(), 5);
    EXPECT_EQ(changes, (std::vector<int>{7, 5, 5}));
    // Raising Min above it likewise.
    bar.SetMin(2);
    bar.SetPosition(-4);
    EXPECT_EQ(bar.Position(), 2);
    bar.SetMax(4);
    bar.SetMin(3);
    EXPECT_EQ(bar.Position(), 3);
    EXPECT_EQ(changes, (std::vector<int>{7, 5, 5, 2, 3}));
}

TEST_F(TrackBar, MinEqualToMaxPutsTheThumbAtTheStartWithoutDividing) {
    bar.SetMax(0);
    EXPECT_EQ(bar.ThumbOffset(0), 0);
    EXPECT_EQ(bar.ThumbRect().Left, bar.TrackRect().Left);
    Drag({140, 3, 80});
    EXPECT_EQ(bar.Position(), 0);
    EXPECT_TRUE(changes.empty());
}

TEST_F(TrackBar, ATrackNoLongerThanTheThumbKeepsThePosition) {
    bar.SetPosition(4);
    changes.clear();
    TrackLength(10); // exactly the thumb's width
    EXPECT_EQ(bar.ValueFromPoint(0, 15), 4);
    EXPECT_EQ(bar.ValueFromPoint(1000, 15), 4);
    TrackLength(6); // shorter than the thumb
    bar.SetMoveOnClick(mcMove);
    bar.MouseDown(Qt::LeftButton, {}, 1, 1);
    bar.MouseUp(Qt::LeftButton, {}, 1, 1);
    EXPECT_EQ(bar.Position(), 4);
}

// Thumb offsets worked from the placement formula in extended precision:
// Round((Len - W) x ((Position - Min) / (Max - Min))), halves to even. In
// each of these a double product lands on the other side of the half.
TEST_F(TrackBar, ThumbPlacementKeepsItsExtendedPrecisionResults) {
    struct Case {
        int room; // track length less the thumb's width
        int position;
        int offset;
    };
    bar.SetMax(200);
    for (const Case c : {Case{45, 140, 32}, Case{50, 118, 29}, Case{60, 105, 31}, Case{75, 28, 10},
                         Case{75, 164, 62}, Case{100, 115, 58}, Case{100, 59, 29}}) {
        SCOPED_TRACE(c.room);
        TrackLength(c.room + bar.Thumb()->Width());
        bar.SetPosition(c.position);
        EXPECT_EQ(bar.ThumbOffset(c.position), c.offset);
        EXPECT_EQ(bar.ThumbRect().Left, bar.TrackRect().Left + c.offset);
    }
}

TEST_F(TrackBar, OrientationSwapsTheSizeAtRunTimeButNotWhileLoading) {
    bar.SetOrientation(trVertical);
    EXPECT_EQ(bar.width(), 26);
    EXPECT_EQ(bar.height(), 150);
    // Vertical bars grow upward.
    bar.SetPosition(10);
    EXPECT_EQ(bar.ThumbRect().Top, bar.TrackRect().Top);
    bar.SetPosition(0);
    EXPECT_EQ(bar.ThumbRect().Bottom, bar.TrackRect().Bottom);

    TSeekTrackBar loading;
    loading.BeginLoading();
    loading.SetOrientation(trVertical);
    loading.Loaded();
    EXPECT_EQ(loading.width(), 150);
    EXPECT_EQ(loading.height(), 26);
}

TEST_F(TrackBar, FormResourcePicturesWinOverTheSizesWrittenAfterThem) {
    // As the main window's seeking bar is loaded: pictures first, then sizes.
    bar.BeginLoading();
    test::ReadPicture(bar.Thumb()->Picture(), 14, 8);
    bar.Thumb()->SetSize(10);
    bar.Thumb()->SetWidth(20);
    test::ReadPicture(bar.Buttons()->MinPicture(), 18, 9);
    test::ReadPicture(bar.Buttons()->MaxPicture(), 18, 9);
    bar.Buttons()->SetSize(24);
    bar.Loaded();
    EXPECT_EQ(bar.Thumb()->Width(), 14);
    EXPECT_EQ(bar.Thumb()->Size(), 8);
    EXPECT_EQ(bar.Buttons()->Size(), 18);
    // The buttons stay invisible: they take no room.
    EXPECT_EQ(bar.TrackRect().Left, bar.InnerRect().Left);

    // Without pictures the written sizes hold.
    TSeekTrackBar plain;
    plain.BeginLoading();
    plain.Thumb()->SetSize(10);
    plain.Thumb()->SetWidth(20);
    plain.Loaded();
    EXPECT_EQ(plain.Thumb()->Width(), 20);
    EXPECT_EQ(plain.Thumb()->Size(), 10);
}

TEST_F(TrackBar, DraggingPastBothEndsGivesMaxAndMin) {
    bar.SetMax(20);
    bar.SetPosition(10);
    changes.clear();
    EXPECT_TRUE(bar.ThumbRect().Left > 3);
    bar.MouseDown(Qt::LeftButton, {}, ThumbMiddleX(), ThumbMiddleY());
    EXPECT_TRUE(bar.Dragging());
    EXPECT_TRUE(bar.ThumbDown());
    bar.MouseMove({}, 5000, 0);
    bar.MouseMove({}, 6000, 0);
    EXPECT_EQ(bar.Position(), 20);
    bar.MouseMove({}, -5000, 90);
    bar.MouseMove({}, -10, 90);
    EXPECT_EQ(bar.Position(), 0);
    bar.MouseUp(Qt::LeftButton, {}, -10, 90);
    EXPECT_FALSE(bar.Dragging());
    EXPECT_FALSE(bar.ThumbDown());
    EXPECT_EQ(changes, (std::vector<int>{20, 0})); // only real changes are told
}

TEST_F(TrackBar, TheHintShowsOnceForEachNewValue) {
    bar.SetMax(20);
    bar.SetTrackHint(true);
    std::vector<int> asked;
    bar.OnGetTrackHint = [&](TCustomTrackBar*, int position, QString& hint) {
        asked.push_back(position);
        hint = QString("at %1").arg(position);
    };
    Drag({XOf(3), XOf(3), XOf(5), XOf(3), XOf(5)});
    // 3, 5, 3, 5: each move to a value other than the last hinted one asks again.
    EXPECT_EQ(asked, (std::vector<int>{3, 5, 3, 5}));
    EXPECT_EQ(bar.HintWindow()->Text(), "at 5");
    EXPECT_FALSE(bar.HintShown()); // the release hides it
    EXPECT_TRUE(bar.HintWindow()->isHidden());

    // The hint remembers its last value across drags.
    asked.clear();
    Drag({ThumbMiddleX() + 0});
    EXPECT_TRUE(asked.empty());

    // Without the handler the hint is the value; with TrackHint off there is none.
    bar.OnGetTrackHint = nullptr;
    bar.SetPosition(0);
    bar.MouseDown(Qt::LeftButton, {}, ThumbMiddleX(), ThumbMiddleY());
    bar.MouseMove({}, XOf(8), ThumbMiddleY());
    EXPECT_TRUE(bar.HintShown());
    EXPECT_EQ(bar.HintWindow()->Text(), QString::number(bar.Position()));
    bar.MouseUp(Qt::LeftButton, {}, 0, 0);
    bar.SetTrackHint(false);
    bar.SetPosition(0);
    bar.MouseDown(Qt::LeftButton, {}, ThumbMiddleX(), ThumbMiddleY());
    bar.MouseMove({}, XOf(12), ThumbMiddleY());
    EXPECT_FALSE(bar.HintShown());
    bar.MouseUp(Qt::LeftButton, {}, 0, 0);
}

TEST_F(TrackBar, TheHintWindowNeverTakesTheFocus) {
    TTrackHintWindow* hint = bar.HintWindow();
    EXPECT_TRUE(hint->testAttribute(Qt::WA_ShowWithoutActivating));
    EXPECT_TRUE(hint->windowFlags() & Qt::WindowDoesNotAcceptFocus);
    EXPECT_EQ(hint->focusPolicy(), Qt::NoFocus);
    bar.show();
    bar.activateWindow();
    bar.setFocus();
    QApplication::processEvents();
    QWidget* before = QApplication::focusWidget();
    hint->ActivateHint(QRect(10, 10, 0, 0), "hint");
    QApplication::processEvents();
    EXPECT_FALSE(hint->isHidden());
    EXPECT_EQ(QApplication::focusWidget(), before);
    EXPECT_NE(QApplication::focusWidget(), hint);
}

TEST(TrackHintWindow, StaysTwoPixelsInsideTheMonitor) {
    const QRect monitor(0, 0, 800, 600);
    // Room enough: text + 16 wide, text + 4 high, where asked.
    EXPECT_EQ(TTrackHintWindow::Place(QRect(100, 100, 0, 0), 40, 12, monitor), QRect(100, 100, 56, 16));
    // Near the right edge: its right edge 2 pixels inside, the size kept.
    EXPECT_EQ(TTrackHintWindow::Place(QRect(780, 100, 0, 0), 40, 12, monitor), QRect(800 - 56 - 2, 100, 56, 16));
    // Near the bottom edge likewise.
    EXPECT_EQ(TTrackHintWindow::Place(QRect(100, 590, 0, 0), 40, 12, monitor), QRect(100, 600 - 2 - 16, 56, 16));
    // A second monitor to the right.
    EXPECT_EQ(TTrackHintWindow::Place(QRect(1590, 10, 0, 0), 40, 12, QRect(800, 0, 800, 600)),
              QRect(1600 - 56 - 2, 10, 56, 16));
}

TEST_F(TrackBar, KeysMoveThePositionButNotWithShift) {
    bar.SetPosition(5);
    bar.SetPageSize(3);
    changes.clear();
    bar.KeyDown(Qt::Key_Right, Qt::ShiftModifier);
    bar.KeyDown(Qt::Key_PageUp, Qt::ShiftModifier);
    EXPECT_TRUE(changes.empty());
    struct Case {
        int key;
        int position;
    };
    for (const Case c : {Case{Qt::Key_Right, 6}, Case{Qt::Key_Up, 7}, Case{Qt::Key_Left, 6}, Case{Qt::Key_Down, 5},
                         Case{Qt::Key_PageUp, 8}, Case{Qt::Key_PageDown, 5}, Case{Qt::Key_End, 10},
                         Case{Qt::Key_Home, 0}}) {
        bar.KeyDown(c.key, {});
        EXPECT_EQ(bar.Position(), c.position) << c.key;
    }
    // Right at Max does nothing, not even a change notice.
    bar.SetPosition(10);
    changes.clear();
    bar.KeyDown(Qt::Key_Right, {});
    bar.MouseWheel(true);
    EXPECT_TRUE(changes.empty());
    bar.MouseWheel(false);
    EXPECT_EQ(bar.Position(), 9);
    // Vertical bars have Home at the top, which is Max.
    bar.SetOrientation(trVertical);
    bar.KeyDown(Qt::Key_Home, {});
    EXPECT_EQ(bar.Position(), 10);
    bar.KeyDown(Qt::Key_End, {});
    EXPECT_EQ(bar.Position(), 0);
}

TEST_F(TrackBar, EndButtonsStepOnReleaseAndRepeatWhileHeld) {
    bar.Buttons()->SetVisible(true);
    bar.SetPosition(5);
    changes.clear();
    const TRect maxButton = bar.MaxButtonRect();
    const int x = maxButton.Left + 2, y = maxButton.Top + 2;
    // The buttons take room at both ends of the track.
    EXPECT_EQ(bar.TrackRect().Right, maxButton.Left - bar.Buttons()->Spacing());

    bar.MouseDown(Qt::LeftButton, {}, x, y);
    EXPECT_TRUE(bar.MaxButtonDown());
    time.Advance(399);
    EXPECT_EQ(bar.Position(), 5); // nothing before InitRepeatPause
    time.Advance(1);
    EXPECT_EQ(bar.Position(), 6);
    time.Advance(99);
    EXPECT_EQ(bar.Position(), 6);
    time.Advance(1);
    EXPECT_EQ(bar.Position(), 7);
    time.Advance(200);
    EXPECT_EQ(bar.Position(), 9);
    bar.MouseUp(Qt::LeftButton, {}, x, y); // the release inside steps once more
    EXPECT_EQ(bar.Position(), 10);
    EXPECT_FALSE(bar.RepeatTimer()->Enabled());
    time.Advance(1000);
    EXPECT_EQ(bar.Position(), 10);
    EXPECT_EQ(changes, (std::vector<int>{6, 7, 8, 9, 10}));

    // Without RepeatClick nothing moves until the release, and a release
    // outside the button moves nothing at all.
    bar.Buttons()->SetRepeatClick(false);
    bar.Buttons()->SetInitRepeatPause(50);
    const TRect minButton = bar.MinButtonRect();
    bar.MouseDown(Qt::LeftButton, {}, minButton.Left + 2, minButton.Top + 2);
    time.Advance(1000);
    EXPECT_EQ(bar.Position(), 10);
    bar.MouseUp(Qt::LeftButton, {}, minButton.Left + 2, minButton.Top + 2);
    EXPECT_EQ(bar.Position(), 9);
    bar.MouseDown(Qt::LeftButton, {}, minButton.Left + 2, minButton.Top + 2);
    bar.MouseUp(Qt::LeftButton, {}, 75, 20);
    EXPECT_EQ(bar.Position(), 9);
}

TEST_F(TrackBar, AHeldClickOnTheTrackWalksTheThumbToIt) {
    TrackLength(200 + bar.Thumb()->Width()); // one pixel per value
    bar.SetMax(200);
    bar.SetPosition(20);
    changes.clear();
    const int clickX = bar.TrackRect().Left + 60;
    bar.MouseDown(Qt::LeftButton, {}, clickX, ThumbMiddleY());
    EXPECT_TRUE(bar.PageClick());
    EXPECT_EQ(bar.Position(), 21); // one page at the press
    time.Advance(400);
    EXPECT_EQ(bar.Position(), 22); // then after InitRepeatPause
    time.Advance(100);
    EXPECT_EQ(bar.Position(), 23); // and each RepeatPause
    time.Advance(100 * 50);
    EXPECT_EQ(bar.Position(), 60); // stopped where the thumb reached the click
    EXPECT_EQ(bar.ThumbRect().Left, clickX);
    const int stopped = bar.Position();
    time.Advance(1000);
    EXPECT_EQ(bar.Position(), stopped);
    bar.MouseUp(Qt::LeftButton, {}, clickX, ThumbMiddleY());
    EXPECT_FALSE(bar.PageClick());
}

TEST_F(TrackBar, RatingModeClicksPickACellOrMin) {
    bar.resize(3 * 10 + 6 + 5, 60);
    bar.Slider()->SetOffset(0);
    bar.SetMax(5);
    test::LoadPicture(bar.RateActive(), 10, 10, Qt::green);
    EXPECT_FALSE(bar.RatingMode());
    test::LoadPicture(bar.RateInActive(), 10, 10, Qt::gray);
    ASSERT_TRUE(bar.RatingMode());
    // Three cells to a row: 1-3, then 4-5.
    const TRect t = bar.TrackRect();
    EXPECT_EQ(bar.RateCell(1), (TRect{t.Left, t.Top, t.Left + 10, t.Top + 10}));
    EXPECT_EQ(bar.RateCell(3), (TRect{t.Left + 20, t.Top, t.Left + 30, t.Top + 10}));
    EXPECT_EQ(bar.RateCell(4), (TRect{t.Left, t.Top + 10, t.Left + 10, t.Top + 20}));
    EXPECT_EQ(bar.RateCell(5), (TRect{t.Left + 10, t.Top + 10, t.Left + 20, t.Top + 20}));

    bar.MouseDown(Qt::LeftButton, {}, t.Left + 25, t.Top + 5);
    bar.MouseUp(Qt::LeftButton, {}, t.Left + 25, t.Top + 5);
    EXPECT_EQ(bar.Position(), 3);
    bar.MouseUp(Qt::LeftButton, {}, t.Left + 15, t.Top + 15);
    EXPECT_EQ(bar.Position(), 5);
    // Just left of the first cell: Min.
    bar.MouseUp(Qt::LeftButton, {}, t.Left - 3, t.Top + 5);
    EXPECT_EQ(bar.Position(), 0);
    // Further left: nothing.
    bar.SetPosition(2);
    bar.MouseUp(Qt::LeftButton, {}, t.Left - 5, t.Top + 5);
    EXPECT_EQ(bar.Position(), 2);
}

TEST_F(TrackBar, HotTrackingFollowsTheMouse) {
    bar.MouseMove({}, ThumbMiddleX(), ThumbMiddleY());
    EXPECT_TRUE(bar.ThumbHot());
    bar.MouseMove({}, 140, 5);
    EXPECT_FALSE(bar.ThumbHot());
    bar.MouseMove({}, ThumbMiddleX(), ThumbMiddleY());
    bar.MouseLeave();
    EXPECT_FALSE(bar.ThumbHot());
}

} // namespace
