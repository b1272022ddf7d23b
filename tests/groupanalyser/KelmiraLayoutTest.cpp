// The analyser at its default size and font, offscreen: the detector's four
// columns, the scroll bars of the line limit, and a screenshot in which the
// widest lines of the Part fit their windows, measured in the fonts drawn.
#include "KelmiraHost.h"

#include <QDir>
#include <QFontMetricsF>
#include <QImage>
#include <QListWidget>
#include <QPixmap>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTabWidget>
#include <QTableWidget>
#include <QTest>

#include <set>

namespace {

using namespace kelmira_host;

constexpr qreal kMargin = 2; // the text windows' margin around their lines

class KelmiraLayoutTest : public KelmiraTest {
protected:
    void SetUp() override {
        KelmiraTest::SetUp();
        Cmd("OPENWORKSPACE", Path("none.owk")); // default masks, colours, position
        form_->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(form_));
    }
    QAbstractScrollArea* Window(const char* name) const { return Child<QAbstractScrollArea>(name); }
    void Page(int index) {
        Child<QTabWidget>("PageControl1")->setCurrentIndex(index);
        QTest::qWait(60); // the windows' 40 ms refresh
    }
    QFont LineFont(const char* window, int line) const { return LineLook(window, line).font; }

    // The line fits its window: its advance in the font it is drawn with,
    // with the margins, is within the viewport, and nothing scrolls sideways.
    void ExpectWhole(const char* name, int line, const QString& text) {
        SCOPED_TRACE(name);
        QAbstractScrollArea* w = Window(name);
        ASSERT_EQ(Lines(name).at(static_cast<size_t>(line)), text.toStdString());
        const qreal advance = QFontMetricsF(LineFont(name, line)).horizontalAdvance(text);
        EXPECT_LE(advance + 2 * kMargin, w->viewport()->width());
        EXPECT_FALSE(w->horizontalScrollBar()->isVisible());

        // On screen: ink reaches the last character and stays inside.
        const QImage shot = w->viewport()->grab().toImage();
        const QColor background = w->palette().color(QPalette::Base);
        const qreal lineHeight = QFontMetricsF(LineFont(name, line)).lineSpacing();
        int rightmost = -1;
        for (int y = static_cast<int>(kMargin + line * lineHeight);
             y < static_cast<int>(kMargin + (line + 1) * lineHeight) && y < shot.height(); ++y)
            for (int x = 0; x < shot.width(); ++x)
                if (shot.pixelColor(x, y) != background) rightmost = std::max(rightmost, x);
        const qreal lastChar = QFontMetricsF(LineFont(name, line)).horizontalAdvance(text.right(1));
        EXPECT_GE(rightmost, static_cast<int>(advance - 2 * lastChar));
        EXPECT_LT(rightmost, w->viewport()->width());
    }
};

TEST_F(KelmiraLayoutTest, WidestLinesFitTheirWindowsAtTheDefaultSize) {
    const QSize defaultSize = form_->size();
    // A header line of every dump window, a whole sequence line of the
    // widest entries, and a full-content line.
    Child<QPushButton>("Button7")->click();
    const int dumped[] = {2, 8, 16, 28}; // the selectors' stored types
    for (int i = 0; i < 23; ++i) Send(OfType(i < 4 ? dumped[i] : 21, 36000 + i));
    Page(1);
    const char* const memos[] = {"Memo1", "Memo2", "Memo3", "Memo4"};
    for (int k = 0; k < 4; ++k)
        ExpectWhole(memos[k], 0, QString::fromStdString(Lines(memos[k]).at(0)));
    const QString sequence = QString::fromStdString(Lines("RichEdit1").at(0));
    ASSERT_EQ(sequence.size(), 92);
    ExpectWhole("RichEdit1", 0, sequence);
    Page(2);
    const QString full = QString::fromStdString(Lines("RichEdit2").at(0));
    ASSERT_EQ(full.size(), 115);
    ExpectWhole("RichEdit2", 0, full);

    // The mask grid shows the caption column and the three 16-character
    // cells of every mask; the ODA AID grid its whole captions.
    Page(4);
    for (const char* name : {"SGMASK", "SGAID"}) {
        SCOPED_TRACE(name);
        if (std::string(name) == "SGAID") Page(3);
        auto* grid = Child<QTableWidget>(name);
        const QFontMetricsF fm(grid->font());
        for (int c = 0; c < grid->columnCount(); ++c) {
            EXPECT_LE(grid->columnViewportPosition(c) + grid->columnWidth(c), grid->viewport()->width()) << c;
            for (int r = 0; r < grid->rowCount(); ++r)
                EXPECT_LE(fm.horizontalAdvance(grid->item(r, c)->text()), grid->columnWidth(c)) << r << "," << c;
        }
        EXPECT_FALSE(grid->horizontalScrollBar()->isVisible());
    }
    EXPECT_EQ(Child<QTableWidget>("SGMASK")->item(3, 3)->text(), QString(16, '?'));
    for (int r = 0; r < 4; ++r) {
        auto* mask = Child<QTableWidget>("SGMASK");
        EXPECT_LE(mask->rowViewportPosition(r) + mask->rowHeight(r), mask->viewport()->height()) << r;
    }

    // The screenshot a reviewer looks at, beside the test binary.
    Page(1);
    const QPixmap shot = form_->grab();
    EXPECT_EQ(shot.size(), defaultSize);
    EXPECT_TRUE(shot.save(QDir::current().filePath("kelmira-default-size.png")));
    EXPECT_EQ(form_->size(), defaultSize); // nothing asked for more room
}

TEST_F(KelmiraLayoutTest, DetectorShowsFourColumnsOfEightWithoutScrolling) {
    auto* list = Child<QListWidget>("CLBGD");
    ASSERT_EQ(list->count(), 32);
    EXPECT_TRUE(list->font().bold());
    const QRect view = list->viewport()->rect();
    std::set<int> columns;
    const int step = list->visualItemRect(list->item(1)).top() - list->visualItemRect(list->item(0)).top();
    ASSERT_GT(step, 0);
    for (int i = 0; i < 32; ++i) {
        const QRect r = list->visualItemRect(list->item(i));
        EXPECT_TRUE(view.contains(r)) << i << " " << list->item(i)->text().toStdString();
        columns.insert(r.left());
        // Filled column by column: 0A-7A, 8A-15A, 0B-7B, 8B-15B.
        const QRect top = list->visualItemRect(list->item(i / 8 * 8));
        EXPECT_EQ(r.left(), top.left()) << i;
        EXPECT_EQ(r.top() - top.top(), (i % 8) * step) << i;
    }
    EXPECT_EQ(columns.size(), 4u);
    EXPECT_EQ(list->item(8)->text(), "8A");
    EXPECT_EQ(list->item(24)->text(), "8B");
    EXPECT_FALSE(list->verticalScrollBar()->isVisible());
    EXPECT_FALSE(list->horizontalScrollBar()->isVisible());
}

TEST_F(KelmiraLayoutTest, LimitToTheWindowMeansNoScrollBarsAtAll) {
    const char* const windows[] = {"Memo1", "Memo2", "Memo3", "Memo4", "RichEdit1", "RichEdit2", "RichEdit3"};
    Child<QPushButton>("Button7")->click();
    for (int n = 0; n < 200; ++n) {
        Send(OfType(n % 32, n));
        Send(Rec(1, 0, n % 60, 0xD3C2, 0x3018, 0, 0xCD46)); // 3A for the ODA AID window
    }
    // Limited: no scroll bar at all. The other choice: vertical ones only.
    for (const char* choice : {"RBLIMIT", "RBNOLIMIT"}) {
        SCOPED_TRACE(choice);
        Child<QRadioButton>(choice)->click();
        const bool vertical = std::string(choice) == "RBNOLIMIT";
        for (int page : {1, 2, 3}) {
            Page(page);
            for (const char* name : windows) {
                QAbstractScrollArea* w = Window(name);
                if (!w->isVisible()) continue;
                SCOPED_TRACE(name);
                EXPECT_EQ(w->verticalScrollBar()->isVisible(), vertical);
                EXPECT_FALSE(w->horizontalScrollBar()->isVisible());
            }
        }
    }
}

} // namespace
