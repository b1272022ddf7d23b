// The analyser at its default size and font, offscreen: the detector's four
// columns, the scroll bars of the line limit, and the widest lines each text
// window can be given fit it, measured in the fonts drawn. Set
// ORVANE_WRITE_SCREENSHOTS to a folder to get a picture of the window there.
#include "KelmiraHost.h"

#include <QAbstractItemView>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFontInfo>
#include <QFontMetricsF>
#include <QGroupBox>
#include <QScreen>
#include <QSpinBox>
#include <QImage>
#include <QListWidget>
#include <QPixmap>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTabWidget>
#include <QTableWidget>
#include <QTest>

#include <cstdlib>
#include <functional>
#include <memory>
#include <set>
#include <vector>

namespace {

using namespace kelmira_host;

constexpr qreal kMargin = 2; // the text windows' margin around their lines

// Counts the paint events a widget gets from now on.
class PaintCount final : public QObject {
public:
    explicit PaintCount(QWidget* widget) : widget_(widget) { widget->installEventFilter(this); }
    ~PaintCount() override {
        if (widget_) widget_->removeEventFilter(this);
    }
    QWidget* Widget() const { return widget_; }
    int count = 0;

protected:
    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() == QEvent::Paint) ++count;
        return false;
    }

private:
    QPointer<QWidget> widget_;
};

class KelmiraLayoutTest : public KelmiraTest {
protected:
    void SetUp() override {
        KelmiraTest::SetUp();
        Cmd("OPENWORKSPACE", Path("none.owk")); // default masks, colours, position
        form_->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(form_));
    }
    QAbstractScrollArea* Window(const char* name) const { return Child<QAbstractScrollArea>(name); }
    // Shows the page and waits until every window on it has been drawn, so
    // its layout and scroll bars are the ones the user sees.
    void Page(int index) {
        auto* tabs = Child<QTabWidget>("PageControl1");
        if (tabs->currentIndex() == index) return; // already drawn
        std::vector<std::unique_ptr<PaintCount>> paints;
        for (QAbstractScrollArea* w : tabs->widget(index)->findChildren<QAbstractScrollArea*>())
            paints.push_back(std::make_unique<PaintCount>(w->viewport()));
        tabs->setCurrentIndex(index);
        for (const auto& p : paints) {
            if (!p->Widget()->isVisible()) continue;
            ASSERT_TRUE(QTest::qWaitFor([&] { return p->count > 0; }))
                << p->Widget()->parent()->objectName().toStdString();
        }
    }
    // Makes the change and waits for the shown window's refresh to draw it.
    // What was still to be drawn is drawn first, so only a paint that
    // follows the change counts.
    void Drawn(const char* window, const std::function<void()>& change) {
        QWidget* view = Window(window)->viewport();
        ASSERT_TRUE(view->isVisible()) << window;
        view->repaint();
        PaintCount paints(view);
        change();
        ASSERT_TRUE(QTest::qWaitFor([&] { return paints.count > 0; })) << window;
    }
    QFont LineFont(const char* window, int line) const { return LineLook(window, line).font; }

    // The line fits its window: its advance in the font it is drawn with,
    // with the margins, is within the viewport, and nothing scrolls sideways.
    void ExpectWhole(const char* name, int line, const QString& text) {
        SCOPED_TRACE(name);
        QAbstractScrollArea* w = Window(name);
        ASSERT_GT(Lines(name).size(), static_cast<size_t>(line));
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

// The widest of `allowed` in that font.
QChar Widest(const QFontMetricsF& fm, const QString& allowed) {
    QChar widest = allowed.front();
    for (QChar c : allowed)
        if (fm.horizontalAdvance(c) > fm.horizontalAdvance(widest)) widest = c;
    return widest;
}

// The widest header line a group of that type can have: every digit of the
// time and of the blocks the widest its place allows.
struct WidestHeader {
    QString text;
    TRDSGroupRec group;
};
WidestHeader WidestHeaderOf(int type, const QFont& font) {
    const QFontMetricsF fm(font);
    const QString hex = "0123456789ABCDEF";
    auto digit = [&](const QString& allowed) { return QString(Widest(fm, allowed)); };
    const QString hh = digit("01") + digit("0123456789"), mm = digit("012345") + digit("0123456789"),
                  ss = digit("012345") + digit("0123456789");
    const QString block = QString(4, Widest(fm, hex));
    // Block B's first five bits are the type.
    const QString b = hex.at(type >> 1) + digit((type & 1) ? "89ABCDEF" : "01234567") + digit(hex) + digit(hex);
    WidestHeader w;
    w.text = hh + ":" + mm + ":" + ss + " " + block + " " + b + " " + block + " " + block;
    const int blockValue = block.toInt(nullptr, 16);
    w.group = Rec(hh.toInt(), mm.toInt(), ss.toInt(), blockValue, b.toInt(nullptr, 16), blockValue, blockValue);
    return w;
}

TEST_F(KelmiraLayoutTest, WidestLinesFitTheirWindowsAtTheDefaultSize) {
    const QSize defaultSize = form_->size();
    // The widest header line of every dump window, a whole sequence line of
    // the widest entries, and a full-content line.
    Child<QPushButton>("Button7")->click();
    const int dumped[] = {2, 8, 16, 28}; // the selectors' stored types
    Drawn("RichEdit1", [&] {
        for (int i = 0; i < 23; ++i) Send(OfType(i < 4 ? dumped[i] : 21, 36000 + i));
    });
    Page(1);
    ExpectWhole("RichEdit1", 0, " 1A  4A  8A 14A " + QString("10B ").repeated(19));
    const char* const memos[] = {"Memo1", "Memo2", "Memo3", "Memo4"};
    for (int k = 0; k < 4; ++k) {
        const WidestHeader widest = WidestHeaderOf(dumped[k], LineFont(memos[k], 0));
        Drawn(memos[k], [&] { Send(widest.group); });
        ExpectWhole(memos[k], 1, widest.text);
    }
    Page(2);
    // The first group: 10:00:00 D3C2 1000 E0CD 8CA0, a 1A.
    ExpectWhole("RichEdit2", 0,
                "10:00:00; D3C2 1000 E0CD 8CA0   1A  0 00000 00000  11100000 11001101  10001100 10100000  "
                "224 205 140 160  '..' '..'");

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

    // The picture a reviewer looks at.
    Page(1);
    const QPixmap shot = form_->grab();
    EXPECT_EQ(shot.size(), defaultSize);
    if (const char* out = std::getenv("ORVANE_WRITE_SCREENSHOTS")) {
        EXPECT_TRUE(shot.save(QDir(out).filePath("kelmira-default-size.png")));
    }
    EXPECT_EQ(form_->size(), defaultSize); // nothing asked for more room
}

// The main window at its default place and size with the test fonts (its
// reference picture is 426 x 166), and room for a title bar above it.
const QRect kMainWindow(20, 20 - 30, 426, 166 + 30);

QRect GlobalRect(const QWidget* w) { return QRect(w->mapToGlobal(QPoint(0, 0)), w->size()); }

TEST_F(KelmiraLayoutTest, FirstStartOpensWholeOnTheScreenBesideTheMainWindow) {
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    ASSERT_EQ(area.size(), QSize(1280, 1024));
    const QRect frame = form_->frameGeometry();
    EXPECT_TRUE(area.contains(frame)) << frame.x() << "," << frame.y() << " " << frame.width() << "x" << frame.height();
    EXPECT_FALSE(frame.intersects(kMainWindow)) << frame.x() << "," << frame.y();
    // What the user found off the screen.
    for (const QWidget* w : {static_cast<QWidget*>(Child<QPushButton>("Button9")), Child<QWidget>("GroupDetector")})
        EXPECT_TRUE(area.contains(GlobalRect(w))) << w->objectName().toStdString();
}

TEST_F(KelmiraLayoutTest, StoredPositionsOffTheScreenAreBroughtBack) {
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    const QPoint stored[] = {{320, 20}, {5000, 5000}, {-400, -60}, {1270, 1020}, {40, 600}};
    int n = 0;
    for (const QPoint& p : stored) {
        const std::string file = Path("at" + std::to_string(n++) + ".owk");
        SaveInteger(file.c_str(), kSection, "Left", p.x());
        SaveInteger(file.c_str(), kSection, "Top", p.y());
        Cmd("OPENWORKSPACE", file);
        const QRect frame = form_->frameGeometry();
        EXPECT_TRUE(area.contains(frame)) << p.x() << "," << p.y() << " -> " << frame.x() << "," << frame.y();
        // Moved only as far as needed: an edge that was on the screen stays.
        if (p.x() >= 0 && p.x() + frame.width() <= area.right() + 1) {
            EXPECT_EQ(frame.left(), p.x());
        }
        if (p.y() >= 0 && p.y() + frame.height() <= area.bottom() + 1) {
            EXPECT_EQ(frame.top(), p.y());
        }
    }
}

TEST_F(KelmiraLayoutTest, AWindowPlacedWhileHiddenFitsWithItsTitleBarWhenShown) {
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    for (const char* command : {"SHOW", "SHOWHIDE", "CONFIGURE"}) {
        Reload(); // a window never shown yet
        const std::string file = Path(std::string(command) + ".owk");
        SaveInteger(file.c_str(), kSection, "Top", 5000);
        SaveInteger(file.c_str(), kSection, "Visible", 0);
        Cmd("OPENWORKSPACE", file);
        ASSERT_FALSE(form_->isVisible());
        Cmd(command);
        ASSERT_TRUE(form_->isVisible());
        const QRect frame = form_->frameGeometry();
        EXPECT_TRUE(area.contains(frame)) << command << " " << frame.y() << "+" << frame.height();
    }
}

TEST_F(KelmiraLayoutTest, ALargerDumpFontRefitsTheWindowsOrLetsThemScroll) {
    Child<QPushButton>("Button7")->click(); // every type in the full-content window
    Page(4);
    Child<QSpinBox>("SpinEdit1")->setValue(20);
    Child<QPushButton>("Button15")->click();
    const int dumped[] = {2, 8, 16, 28};
    Drawn("RichEdit1", [&] {
        for (int i = 0; i < 23; ++i) Send(OfType(i < 4 ? dumped[i] : 21, 36000 + i));
    });

    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    const QRect fg = form_->frameGeometry();
    EXPECT_TRUE(area.contains(form_->frameGeometry())) << fg.x() << "," << fg.y() << " " << fg.width() << "x" << fg.height();
    struct Pane {
        int page;
        const char* name;
    } panes[] = {{1, "Memo1"}, {1, "Memo2"}, {1, "Memo3"}, {1, "Memo4"}, {1, "RichEdit1"}, {2, "RichEdit2"}};
    for (const Pane& p : panes) {
        SCOPED_TRACE(p.name);
        Page(p.page);
        QAbstractScrollArea* w = Window(p.name);
        const QFont font = LineFont(p.name, 0);
        ASSERT_EQ(font.pointSize(), 20);
        const qreal advance = QFontMetricsF(font).horizontalAdvance(QString::fromStdString(Lines(p.name).at(0)));
        const int hidden = static_cast<int>(std::ceil(advance + 2 * kMargin)) - w->viewport()->width();
        if (hidden > 0) {
            // Cut: then the rest is one scroll away.
            EXPECT_TRUE(w->horizontalScrollBar()->isVisible());
            EXPECT_GE(w->horizontalScrollBar()->maximum(), hidden);
        }
        const QRect r = GlobalRect(w);
        EXPECT_TRUE(area.contains(r)) << r.x() << "," << r.y() << " " << r.width() << "x" << r.height();
    }
}

TEST_F(KelmiraLayoutTest, FontListShowsTheFamilyDrawnAndKeepsTheStoredName) {
    auto* fonts = Child<QComboBox>("ComboBox1");
    Send(OfType(2, 1)); // into Memo1
    const QString drawn = QFontInfo(LineFont("Memo1", 0)).family();
    EXPECT_FALSE(fonts->currentText().isEmpty());
    EXPECT_EQ(fonts->currentText(), drawn);
    EXPECT_EQ(LineLook("Memo1", 0).fontName, "Terminal");

    // "Apply" without picking a font keeps the stored name; picking one
    // stores that one.
    Child<QCheckBox>("CheckBox1")->setChecked(false);
    Child<QPushButton>("Button15")->click();
    Send(OfType(2, 2));
    EXPECT_EQ(LineLook("Memo1", 1).fontName, "Terminal");
    EXPECT_FALSE(LineFont("Memo1", 1).bold());
    const int other = fonts->findText("DejaVu Serif");
    ASSERT_GE(other, 0);
    fonts->setCurrentIndex(other);
    Child<QPushButton>("Button15")->click();
    Send(OfType(2, 3));
    EXPECT_EQ(LineLook("Memo1", 2).fontName, "DejaVu Serif");
    EXPECT_EQ(QFontInfo(LineFont("Memo1", 2)).family(), "DejaVu Serif");
}

TEST_F(KelmiraLayoutTest, TheFontListDropsDownSixteenRowsAtATime) {
    Page(4);
    auto* fonts = Child<QComboBox>("ComboBox1");
    // The test fonts are few; a desktop has 35 families and more.
    for (int n = fonts->count(); n < 35; ++n) fonts->addItem(QString("Family %1").arg(n));
    fonts->showPopup();
    QAbstractItemView* view = fonts->view();
    ASSERT_TRUE(QTest::qWaitFor([&] { return view->isVisible(); }, 5000));
    EXPECT_EQ(view->viewport()->height() / view->sizeHintForRow(0), 16);
    EXPECT_TRUE(QGuiApplication::primaryScreen()->availableGeometry().contains(view->window()->frameGeometry()));
    fonts->hidePopup();
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
    Drawn("RichEdit1", [&] {
        for (int n = 0; n < 200; ++n) {
            Send(OfType(n % 32, n));
            Send(Rec(1, 0, n % 60, 0xD3C2, 0x3018, 0, 0xCD46)); // 3A for the ODA AID window
        }
    });
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
