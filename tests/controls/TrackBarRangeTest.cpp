// The track bar at the ends of the 32-bit range, and the lifetime of a tick
// image list that the bar owns.
#include "SeekTrackBar.h"

#include "FakeTime.h"
#include "TrackBarFixtures.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

using namespace orvane;
using namespace orvane::controls;

namespace {

TEST(TrackBarTickImages, AListTheBarOwnsGoesWithIt) {
    // Freed with the bar's children, the list must not reach back into a
    // bar that is already half gone.
    auto* bar = new TSeekTrackBar;
    auto* images = new TTickImageList(bar);
    bar->SetTickImages(images);
    delete bar;

    // A list freed on its own clears the property.
    TSeekTrackBar other;
    auto* own = new TTickImageList;
    other.SetTickImages(own);
    ASSERT_EQ(other.TickImages(), own);
    delete own;
    EXPECT_EQ(other.TickImages(), nullptr);
}

// A bar with end buttons and one pixel of track per hundred pixels of
// width; every operation below runs at an end of the 32-bit range.
class RangeEnds : public ::testing::Test {
protected:
    RangeEnds() {
        bar.resize(300, 40);
        bar.Buttons()->SetVisible(true);
        bar.Buttons()->SetRepeatClick(false);
    }
    void ClickButton(bool maxEnd) {
        const TRect r = maxEnd ? bar.MaxButtonRect() : bar.MinButtonRect();
        bar.MouseDown(Qt::LeftButton, {}, r.Left + 2, r.Top + 2);
        bar.MouseUp(Qt::LeftButton, {}, r.Left + 2, r.Top + 2);
    }
    void ClickTrack(bool right) {
        // At the track's end but beside the thumb, which may stand there.
        const TRect t = bar.TrackRect();
        const TRect thumb = bar.ThumbRect();
        const int y = thumb.Bottom < t.Bottom + 4 ? thumb.Bottom : thumb.Top - 1;
        ASSERT_TRUE(y >= t.Top - 4 && y < t.Bottom + 4);
        const int x = right ? t.Right - 1 : t.Left - 1; // left of a thumb that stands at the start
        bar.MouseDown(Qt::LeftButton, {}, x, y);
        ASSERT_TRUE(bar.PageClick());
        bar.MouseUp(Qt::LeftButton, {}, x, y);
    }

    test::FakeTime time;
    TSeekTrackBar bar{nullptr, &time};
};

TEST_F(RangeEnds, StepsAndPagesStopAtMinAndMax) {
    struct Case {
        const char* name;
        int min, max, start, page, step;
        std::function<void()> action;
        int expected;
    };
    auto pageUp = [this] { bar.KeyDown(Qt::Key_PageUp, {}); };
    auto pageDown = [this] { bar.KeyDown(Qt::Key_PageDown, {}); };
    auto stepUp = [this] { ClickButton(true); };
    auto stepDown = [this] { ClickButton(false); };
    auto clickRight = [this] { ClickTrack(true); };
    auto clickLeft = [this] { ClickTrack(false); };
    const Case cases[] = {
        {"Page Up at Max", INT_MIN, INT_MAX, INT_MAX, 10, 1, pageUp, INT_MAX},
        {"Page Up beside Max", 0, INT_MAX, INT_MAX - 3, 10, 1, pageUp, INT_MAX},
        {"Page Up by a huge page", INT_MIN, INT_MAX, 5, INT_MAX, 1, pageUp, INT_MAX},
        {"Page Down at Min", INT_MIN, INT_MAX, INT_MIN, 10, 1, pageDown, INT_MIN},
        {"Page Down beside Min", INT_MIN, 0, INT_MIN + 3, 10, 1, pageDown, INT_MIN},
        {"Page Down by a huge page", INT_MIN, INT_MAX, -5, INT_MAX, 1, pageDown, INT_MIN},
        {"StepUp beside Max", INT_MIN, INT_MAX, INT_MAX - 1, 1, 10, stepUp, INT_MAX},
        {"StepUp in the middle", INT_MIN, INT_MAX, 0, 1, 10, stepUp, 10},
        {"StepDown beside Min", INT_MIN, INT_MAX, INT_MIN + 1, 1, 10, stepDown, INT_MIN},
        {"page click right, beside Max", INT_MIN, INT_MAX, INT_MAX - 2, 100, 1, clickRight, INT_MAX},
        {"page click right, from the middle", INT_MIN, INT_MAX, 0, 100, 1, clickRight, 100},
        {"page click left, beside Min", INT_MIN, INT_MAX, INT_MIN + 2, 100, 1, clickLeft, INT_MIN},
        {"page click left, near Max", INT_MIN, INT_MAX, INT_MAX, 100, 1, clickLeft, INT_MAX - 100},
    };
    for (const Case& c : cases) {
        bar.SetMin(INT_MIN);
        bar.SetMax(INT_MAX);
        bar.SetMin(c.min);
        bar.SetMax(c.max);
        bar.SetPosition(c.start);
        ASSERT_EQ(bar.Position(), c.start) << c.name;
        bar.SetPageSize(c.page);
        bar.Buttons()->SetStep(c.step);
        c.action();
        EXPECT_EQ(bar.Position(), c.expected) << c.name;
    }
}

TEST_F(RangeEnds, TickTextsWalkTheWholeRangeAndEnd) {
    bar.Buttons()->SetVisible(false);
    bar.TickMark()->SetShowText(true);
    std::vector<long long> asked;
    bar.OnGetTickMarkText = [&](TCustomTrackBar*, int v, QString&) { asked.push_back(v); };
    struct Range {
        int min, max;
    };
    for (const Range r : {Range{INT_MIN, INT_MAX}, Range{0, INT_MAX}, Range{INT_MAX - 5, INT_MAX}, Range{INT_MIN, INT_MIN + 5}}) {
        bar.SetMin(INT_MIN);
        bar.SetMax(INT_MAX);
        bar.SetMin(r.min);
        bar.SetMax(r.max);
        asked.clear();
        bar.Render();
        ASSERT_FALSE(asked.empty()) << r.min << ".." << r.max;
        EXPECT_EQ(asked.front(), r.min);
        // One text per tick that fits: never more ticks than pixels, each
        // at least two pixels past the one before.
        EXPECT_LE(asked.size(), size_t(bar.TrackRect().Width()));
        for (size_t i = 1; i < asked.size(); ++i) ASSERT_LT(asked[i - 1], asked[i]);
        EXPECT_LE(asked.back(), r.max);
    }
    // Six values on a long track: a tick (and a text) for each.
    EXPECT_EQ(asked, (std::vector<long long>{INT_MIN, INT_MIN + 1LL, INT_MIN + 2LL, INT_MIN + 3LL, INT_MIN + 4LL,
                                            INT_MIN + 5LL}));
}

// Ranges narrowed to the far end of the 32-bit range: the thumb of a
// position outside the new range, worked out on the way, stands at the end
// it passed rather than billions of pixels beyond it.
TEST(TrackBarRange, ARangeNarrowedFarFromThePositionKeepsTheThumbOnTheTrack) {
    enum Op { Min, Max, Pos };
    struct Step {
        Op op;
        int value;
    };
    struct Case {
        const char* name;
        TTrackBarOrientation orientation;
        std::vector<Step> steps;
        int expected;
    };
    const Case cases[] = {
        {"vertical, Min up to the top", trVertical, {{Min, INT_MIN}, {Max, INT_MAX}, {Min, INT_MAX - 50}}, INT_MAX - 50},
        {"horizontal, Min up to the top", trHorizontal, {{Min, INT_MIN}, {Max, INT_MAX}, {Min, INT_MAX - 50}},
         INT_MAX - 50},
        {"vertical, Max down to the bottom", trVertical,
         {{Min, INT_MIN}, {Max, INT_MAX}, {Pos, INT_MAX}, {Max, INT_MIN + 50}}, INT_MIN + 50},
        {"horizontal, Max down to the bottom", trHorizontal,
         {{Min, INT_MIN}, {Max, INT_MAX}, {Pos, INT_MAX}, {Max, INT_MIN + 50}}, INT_MIN + 50},
        {"horizontal, Min up from the bottom", trHorizontal,
         {{Min, INT_MIN}, {Max, INT_MAX}, {Pos, INT_MIN}, {Min, INT_MAX - 1}}, INT_MAX - 1},
        {"vertical, positions at both ends", trVertical,
         {{Min, INT_MIN}, {Max, INT_MAX}, {Pos, INT_MAX}, {Pos, INT_MIN}, {Pos, INT_MAX}}, INT_MAX},
        {"horizontal, Max below Min", trHorizontal, {{Min, INT_MAX}, {Max, INT_MIN}, {Pos, INT_MIN}, {Pos, 0}},
         INT_MAX},
        {"vertical, Min above Max", trVertical, {{Max, INT_MIN}, {Min, INT_MAX}, {Pos, INT_MIN}}, INT_MAX},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TSeekTrackBar bar;
        bar.SetOrientation(c.orientation);
        if (c.orientation == trVertical) bar.resize(60, 300);
        else bar.resize(300, 60);
        for (const Step& s : c.steps) {
            if (s.op == Min) bar.SetMin(s.value);
            else if (s.op == Max) bar.SetMax(s.value);
            else bar.SetPosition(s.value);
        }
        EXPECT_EQ(bar.Position(), c.expected);
        // Values beyond either end of the range place the thumb at that end.
        const TRect t = bar.TrackRect();
        const int room = (c.orientation == trHorizontal ? t.Width() : t.Height()) - bar.Thumb()->Width();
        const bool inverted = bar.Max() < bar.Min();
        const int low = inverted ? bar.Max() : bar.Min(), high = inverted ? bar.Min() : bar.Max();
        EXPECT_EQ(bar.ThumbOffset(INT_MIN), bar.ThumbOffset(low));
        EXPECT_EQ(bar.ThumbOffset(INT_MAX), bar.ThumbOffset(high));
        for (const int v : {INT_MIN, 0, INT_MAX}) {
            const int offset = bar.ThumbOffset(v);
            EXPECT_GE(offset, 0) << v;
            EXPECT_LE(offset, room) << v;
        }
        const TRect thumb = bar.ThumbRect();
        if (c.orientation == trHorizontal) {
            EXPECT_GE(thumb.Left, t.Left);
            EXPECT_LE(thumb.Right, t.Right);
        } else {
            EXPECT_GE(thumb.Top, t.Top);
            EXPECT_LE(thumb.Bottom, t.Bottom);
        }
    }
}

// Ticks on a bar whose range dwarfs its track: a paint costs the pixels of
// the track, whatever the range, the steps and the handlers. A callback that
// is asked far more often than there are pixels throws, so a paint that
// walks the range fails at once instead of running for minutes.
class HugeTickRanges : public ::testing::Test {
protected:
    HugeTickRanges() {
        bar.resize(300, 60);
        bar.TickMark()->SetColor(clRed);
        bar.TickMark()->SetPosition(tmBottomRight);
    }
    struct TooMany {};
    // Tick positions that fit on the track, the thumb's width taken off.
    int Pixels() const { return bar.TrackRect().Width() - bar.Thumb()->Width() + 1; }
    void Guard(int64_t& calls) {
        const int columns = std::abs(bar.TrackRect().Width() - bar.Thumb()->Width()) + 1;
        if (++calls > 4 * columns) throw TooMany{};
    }
    // Columns of the tick band that hold a tick line.
    int TickColumns(const QImage& image) const {
        TRect band;
        bar.GetTickRect2(band);
        int columns = 0;
        for (int x = 0; x < image.width(); ++x)
            for (int y = band.Top; y < band.Bottom; ++y)
                if (QColor(image.pixel(x, y)) == QColor(Qt::red)) {
                    ++columns;
                    break;
                }
        return columns;
    }

    // Renders the bar and returns the values whose tick text was asked for.
    std::vector<int> RenderAskingTexts(QImage& image) {
        int64_t calls = 0;
        std::vector<int> asked;
        bar.OnGetTickMarkText = [&](TCustomTrackBar*, int v, QString&) {
            Guard(calls);
            asked.push_back(v);
        };
        EXPECT_NO_THROW(image = bar.Render());
        bar.OnGetTickMarkText = nullptr;
        return asked;
    }

    TSeekTrackBar bar;
};

TEST_F(HugeTickRanges, TickTextsOverTheWholeRangeAtLargeSteps) {
    bar.SetMin(INT_MIN);
    bar.SetMax(INT_MAX);
    bar.TickMark()->SetShowText(true);
    bar.TickMark()->SetShowImageAtSteps(10000);
    QImage image;
    const std::vector<int> asked = RenderAskingTexts(image);
    const auto& count = bar.LastTickPaint();
    // One text for each tick drawn, and one tick for each pixel: the 429,497
    // multiples of 10,000 share the track's few hundred columns.
    EXPECT_EQ(count.texts, count.drawn);
    EXPECT_EQ(int64_t(asked.size()), count.drawn);
    EXPECT_EQ(count.drawn, Pixels());
    EXPECT_LE(count.visited, Pixels());
    ASSERT_FALSE(asked.empty());
    EXPECT_EQ(asked.front(), -2147480000); // the first multiple of 10,000 in the range
    for (size_t i = 0; i < asked.size(); ++i) {
        ASSERT_EQ(asked[i] % 10000, 0) << i;
        if (i > 0) { ASSERT_LT(asked[i - 1], asked[i]); }
    }
    // The last text is the first multiple on the track's last pixel.
    EXPECT_LE(asked.back(), 2147480000);
    EXPECT_GT(asked.back(), 2147480000 - 4294967295LL / (Pixels() - 1));
    EXPECT_EQ(TickColumns(image), Pixels());
}

TEST_F(HugeTickRanges, EveryOrAlternateValueOfTwentyMillion) {
    bar.SetMax(20000000);
    for (const int steps : {2, 0}) {
        for (const bool text : {false, true}) {
            SCOPED_TRACE(::testing::Message() << "steps " << steps << ", texts " << text);
            bar.TickMark()->SetShowImageAtSteps(steps);
            bar.TickMark()->SetShowText(text);
            int64_t calls = 0;
            bar.OnGetTickMarkText = [&](TCustomTrackBar*, int, QString&) { Guard(calls); };
            QImage image;
            ASSERT_NO_THROW(image = bar.Render());
            const auto& count = bar.LastTickPaint();
            // With texts every value up to Max may get a tick: every column
            // holds one, as when each value drew its own, but each is drawn
            // once. Without, the ticks stop where the track's pixels run out.
            if (text) { EXPECT_EQ(count.drawn, Pixels()); }
            EXPECT_EQ(count.drawn, TickColumns(image));
            EXPECT_GT(count.drawn, Pixels() / 4);
            EXPECT_LE(count.visited, Pixels());
            EXPECT_EQ(count.texts, text ? count.drawn : 0);
            EXPECT_EQ(calls, count.texts);
        }
    }
}

TEST_F(HugeTickRanges, TheDrawTickHandlerIsAskedOncePerTickDrawn) {
    struct Case {
        const char* name;
        int min, max, steps;
        bool thumbOnly;
        int64_t expected; // handler calls; -1: one per pixel of the track
    };
    const Case cases[] = {
        {"full range", INT_MIN, INT_MAX, 1, false, -1},
        {"full range, steps", INT_MIN, INT_MAX, 1000, false, -1},
        {"full range, at the thumb only", INT_MIN, INT_MAX, 1, true, 1},
        {"ten values", 0, 10, 1, false, 11},
        {"ten values, even ones", 0, 10, 2, false, 6},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        bar.SetMin(INT_MIN);
        bar.SetMax(INT_MAX);
        bar.SetMin(c.min);
        bar.SetMax(c.max);
        bar.SetPosition(c.min / 2 + c.max / 2);
        bar.TickMark()->SetShowImageAtSteps(c.steps);
        bar.TickMark()->SetShowImageAtThumbOnly(c.thumbOnly);
        int64_t calls = 0;
        std::vector<int> positions, feet;
        bar.OnDrawTick = [&](TCustomTrackBar*, TCanvas&, QPoint at, int position, TTickMark, int&, TColor&, TColor&,
                             QString&, bool&) {
            Guard(calls);
            positions.push_back(position);
            feet.push_back(at.x());
        };
        QImage image;
        ASSERT_NO_THROW(image = bar.Render());
        const auto& count = bar.LastTickPaint();
        EXPECT_EQ(calls, count.drawn);
        EXPECT_EQ(calls, c.expected < 0 ? Pixels() : c.expected);
        EXPECT_LE(count.visited, Pixels());
        EXPECT_EQ(TickColumns(image), calls);
        // Each call stands on a pixel of its own, in value order, on a drawn value.
        for (size_t i = 0; i < positions.size(); ++i) {
            if (c.steps > 1) { EXPECT_EQ(positions[i] % c.steps, 0) << i; }
            if (c.thumbOnly) { EXPECT_EQ(positions[i], bar.Position()); }
            if (i > 0) {
                ASSERT_LT(positions[i - 1], positions[i]) << i;
                ASSERT_LT(feet[i - 1], feet[i]) << i;
            }
        }
        if (!c.thumbOnly) { EXPECT_EQ(positions.front(), c.steps > 1 ? (c.min / c.steps) * c.steps : c.min); }
    }
}

TEST_F(HugeTickRanges, AtTheThumbOnlyTheThumbsTickAloneAsksForItsText) {
    // No draw handler: ticks elsewhere would stand two pixels apart, but
    // only the thumb's is drawn, so its text is the one asked for, even
    // where lower values share its pixel.
    struct Case {
        const char* name;
        int max, position;
    };
    const Case cases[] = {
        {"ten values", 10, 5},
        {"a pixel shared with lower values", INT_MAX, 12345},
        {"at Max", INT_MAX, INT_MAX},
    };
    bar.TickMark()->SetShowText(true);
    bar.TickMark()->SetShowImageAtThumbOnly(true);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        bar.SetMax(c.max);
        bar.SetPosition(c.position);
        QImage image;
        EXPECT_EQ(RenderAskingTexts(image), std::vector<int>{c.position});
        EXPECT_EQ(bar.LastTickPaint().drawn, 1);
        EXPECT_EQ(bar.LastTickPaint().texts, 1);
        EXPECT_EQ(TickColumns(image), 1);
    }
}

TEST_F(HugeTickRanges, ATrackShorterThanItsThumb) {
    // Offsets shrink as values grow; each pixel still takes one tick.
    bar.resize(bar.Thumb()->Width() - 4 + 2 * 3, 60);
    const int span = bar.Thumb()->Width() - bar.TrackRect().Width();
    ASSERT_GT(span, 0);
    bar.SetMin(INT_MIN);
    bar.SetMax(INT_MAX);
    bar.TickMark()->SetShowText(true);
    bar.TickMark()->SetShowImageAtSteps(0);
    int64_t calls = 0;
    bar.OnDrawTick = [&](TCustomTrackBar*, TCanvas&, QPoint, int, TTickMark, int&, TColor&, TColor&, QString&,
                         bool&) { Guard(calls); };
    ASSERT_NO_THROW(bar.Render());
    EXPECT_EQ(calls, span + 1);
    EXPECT_EQ(bar.LastTickPaint().texts, span + 1);
}

TEST_F(RangeEnds, RatingCellsAtTheEndsOfTheRange) {
    bar.Buttons()->SetVisible(false);
    bar.resize(3 * 10 + 6, 40);
    bar.Slider()->SetOffset(0);
    test::LoadPicture(bar.RateActive(), 10, 10, Qt::green);
    test::LoadPicture(bar.RateInActive(), 10, 10, Qt::gray);
    ASSERT_TRUE(bar.RatingMode());
    for (const int min : {INT_MIN, 0, INT_MAX - 1}) {
        bar.SetMin(INT_MIN);
        bar.SetMax(INT_MAX);
        bar.SetMin(min);
        bar.SetPosition(min);
        const TRect t = bar.TrackRect();
        // Three to a row.
        EXPECT_EQ(bar.RateCell(min + 1), (TRect{t.Left, t.Top, t.Left + 10, t.Top + 10})) << min;
        if (min != INT_MAX - 1) {
            EXPECT_EQ(bar.RateCell(min + 5), (TRect{t.Left + 10, t.Top + 10, t.Left + 20, t.Top + 20})) << min;
            EXPECT_EQ(bar.RateCell(INT_MAX).Left, -1) << min;
        }
        bar.SetPosition(INT_MAX);
        EXPECT_EQ(bar.Position(), INT_MAX);
        (void)bar.Render();
        // A click in no cell looks at every drawn cell and picks none.
        bar.MouseUp(Qt::LeftButton, {}, t.Right + 5, t.Top + 5);
        EXPECT_EQ(bar.Position(), INT_MAX);
        bar.MouseUp(Qt::LeftButton, {}, t.Left + 15, t.Top + 5);
        EXPECT_EQ(bar.Position(), min == INT_MAX - 1 ? INT_MAX : min + 2); // the second cell, when there is one
        bar.MouseUp(Qt::LeftButton, {}, t.Left - 2, t.Top + 5);
        EXPECT_EQ(bar.Position(), min);
    }
}

} // namespace
