// The analyser's text window, driven directly.
#include "LineView.h"

#include <QApplication>
#include <QFontDatabase>
#include <QImage>
#include <QScreen>
#include <QScrollBar>
#include <QTest>

#include <gtest/gtest.h>

using namespace kelmira;

namespace {

TFormatRef Format(const QColor& c, int size = 12) {
    QFont f = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    f.setPointSize(size);
    f.setBold(true);
    return MakeLineFormat(c, f, "Terminal");
}

// Pixels that are clearly of one colour, on the black background.
int CountPixels(const QImage& img, bool (*match)(QRgb)) {
    int n = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) n += match(img.pixel(x, y));
    return n;
}
bool Reddish(QRgb p) { return qRed(p) > 200 && qGreen(p) < 60 && qBlue(p) < 60; }
bool Greenish(QRgb p) { return qGreen(p) > 200 && qRed(p) < 60 && qBlue(p) < 60; }

TEST(LineView, CountsLinesAsAnEditBoxDoes) {
    TLineView v;
    const TFormatRef white = Format(Qt::white), gray = Format(Qt::gray);
    EXPECT_EQ(v.LineCount(), 0);
    EXPECT_EQ(v.toPlainText(), "");
    v.AppendLine("09:05:33 D3C2", white);
    EXPECT_EQ(v.LineCount(), 1);
    EXPECT_EQ(v.toPlainText(), "09:05:33 D3C2\n");
    v.InsertText(" 0A ", white);
    v.InsertText(" 0A ", white); // same format: one run
    EXPECT_EQ(v.LineCount(), 2);
    EXPECT_EQ(v.RunCount(1), 1);
    v.InsertText(" -- ", gray);
    EXPECT_EQ(v.RunCount(1), 2);
    EXPECT_EQ(v.RunColor(1, 1), QColor(Qt::gray));
    EXPECT_EQ(v.RunFontName(1, 0), "Terminal");
    EXPECT_EQ(v.toPlainText(), "09:05:33 D3C2\n 0A  0A  -- ");
    v.BreakLine();
    EXPECT_EQ(v.LineCount(), 2);
    EXPECT_EQ(v.toPlainText(), "09:05:33 D3C2\n 0A  0A  -- \n");
    v.InsertText("10B ", white);
    EXPECT_EQ(v.LineCount(), 3);
    EXPECT_EQ(v.LineText(2), "10B ");
    v.AppendLine("x", white); // a line of its own after an open one
    EXPECT_EQ(v.LineText(3), "x");
    EXPECT_EQ(v.LineCount(), 4);

    v.DropFirstLines(2);
    EXPECT_EQ(v.toPlainText(), "10B \nx\n");
    v.DropFirstLines(99);
    EXPECT_EQ(v.LineCount(), 0);
    v.InsertText("a", white);
    v.Clear();
    EXPECT_EQ(v.toPlainText(), "");
    EXPECT_EQ(v.LineText(0), "");
    EXPECT_FALSE(v.RunColor(0, 0).isValid());
}

TEST(LineView, SelectionStaysOnItsCharactersWhenLinesGo) {
    TLineView v;
    const TFormatRef f = Format(Qt::white);
    for (const char* t : {"aaa", "bbb", "ccc"}) v.AppendLine(t, f);
    v.SetSelection(5, 2);
    EXPECT_EQ(v.SelectedText(), "bb");
    v.DropFirstLines(1);
    EXPECT_EQ(v.SelStart(), 1);
    EXPECT_EQ(v.SelectedText(), "bb");
    v.SetSelection(2, 4); // "b\ncc"
    v.DropFirstLines(1);  // the part that went is no longer selected
    EXPECT_EQ(v.SelStart(), 0);
    EXPECT_EQ(v.SelectedText(), "cc");
    v.SetSelection(-5, 100);
    EXPECT_EQ(v.SelStart(), 0);
    EXPECT_EQ(v.SelLength(), 4);
    v.Clear();
    EXPECT_EQ(v.SelLength(), 0);
}

TEST(LineView, DocumentForSaving) {
    TLineView v;
    EXPECT_TRUE(v.Document().lines.empty());
    v.AppendLine("one", Format(QColor(0xA6, 0xCA, 0xF0), 9));
    v.InsertText(" 0A ", Format(Qt::white, 14));
    TTextDocument d = v.Document();
    ASSERT_EQ(d.lines.size(), 2u); // the open line has no break after it
    EXPECT_EQ(d.lines[0][0].color, 0xF0CAA6u);
    EXPECT_EQ(d.lines[0][0].fontName, "Terminal");
    EXPECT_EQ(d.lines[0][0].pointSize, 9);
    EXPECT_TRUE(d.lines[0][0].bold);
    EXPECT_EQ(d.lines[1][0].text, " 0A ");
    v.BreakLine();
    d = v.Document();
    ASSERT_EQ(d.lines.size(), 3u);
    EXPECT_TRUE(d.lines[2].empty());
    EXPECT_EQ(PlainText(d), "one\r\n 0A \r\n");
}

TEST(LineView, DrawsTheLinesInViewInTheirColours) {
    TLineView v;
    QPalette p = v.palette();
    p.setColor(QPalette::Base, Qt::black);
    v.setPalette(p);
    v.resize(320, 140);
    v.show();
    for (int i = 0; i < 60; ++i) v.AppendLine(QString("RED LINE %1 MMMM").arg(i), Format(Qt::red));
    v.AppendLine("GREEN LAST LINE MMMM", Format(Qt::green));
    v.resize(320, 141); // lays out at once rather than on the next refresh

    // The view follows the end: the newest line is in view.
    QImage img = v.viewport()->grab().toImage();
    EXPECT_GT(CountPixels(img, Greenish), 20);
    EXPECT_GT(CountPixels(img, Reddish), 20);

    // Scrolled to the top only the oldest lines show.
    v.verticalScrollBar()->setValue(0);
    img = v.viewport()->grab().toImage();
    EXPECT_EQ(CountPixels(img, Greenish), 0);
    EXPECT_GT(CountPixels(img, Reddish), 20);

    v.Clear();
    v.resize(320, 140);
    img = v.viewport()->grab().toImage();
    EXPECT_EQ(CountPixels(img, Greenish) + CountPixels(img, Reddish), 0);
}

// What the window's pixels hold once the pending paints are done, against
// the same view drawn afresh.
void ExpectPixelsAsDrawnAfresh(TLineView& v, const char* when) {
    QCoreApplication::processEvents();
    const QImage shown = v.screen()->grabWindow(v.winId()).toImage().convertToFormat(QImage::Format_RGB32);
    const QImage fresh = v.grab().toImage().convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(shown.size(), fresh.size()) << when;
    EXPECT_TRUE(shown == fresh) << when;
}

TEST(LineView, MovedPixelsMatchARedraw) {
    TLineView v;
    QPalette p = v.palette();
    p.setColor(QPalette::Base, Qt::black);
    v.setPalette(p);
    v.resize(320, 140);
    v.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&v));
    const TFormatRef red = Format(Qt::red), green = Format(Qt::green);
    int n = 0;
    // Lines added one, two or three at a time and trimmed from the top as
    // the analyser's windows do, an open line written to now and then (its
    // descenders reach the foot of its line).
    for (int round = 0; round < 12; ++round) {
        for (int k = 0; k <= round % 3; ++k, ++n) v.AppendLine(QString("LINE %1 MMMM").arg(n), n % 2 ? red : green);
        if (round % 4 == 3) v.InsertText(QString(" open %1 gjpqy").arg(round), red);
        if (v.LineCount() > 12) v.DropFirstLines(v.LineCount() - 12);
        v.Refresh();
        ExpectPixelsAsDrawnAfresh(v, qPrintable(QString("round %1").arg(round)));
    }
    // Two refreshes before one paint.
    v.AppendLine("ONE MORE", red);
    v.Refresh();
    v.AppendLine("AND ANOTHER", green);
    v.DropFirstLines(2);
    v.Refresh();
    ExpectPixelsAsDrawnAfresh(v, "two refreshes");
    v.SetSelection(3, 20);
    v.AppendLine("SELECTED ABOVE", green);
    v.Refresh();
    ExpectPixelsAsDrawnAfresh(v, "with a selection");
    // Scrolled by the user, then a new line: back to the end.
    v.verticalScrollBar()->setValue(0);
    ExpectPixelsAsDrawnAfresh(v, "scrolled up");
    v.AppendLine("AT THE END", red);
    v.Refresh();
    ExpectPixelsAsDrawnAfresh(v, "back at the end");
}

} // namespace
