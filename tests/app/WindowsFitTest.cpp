// Every window of the program, the group analyser's included, at its default
// size in the test fonts on a 1280 x 1024 screen: on each page of its tabs
// every caption, label and key cell is whole, and the window lies inside the
// screen's available area. Set ORVANE_WRITE_SCREENSHOTS to a folder to get a
// picture of each window and page there.
#include "AppFakes.h"
#include "ColorBitBtn.h"
#include "FitInArea.h"
#include "GradButton.h"
#include "OrvaneApp.h"
#include "RadioGroup.h"
#include "Unit1.h"
#include "WindowFit.h"
#include "about.h"
#include "dd.h"
#include "freq.h"
#include "opt.h"
#include "si.h"
#include "src.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFontMetrics>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QStyleOption>
#include <QTabBar>
#include <QTabWidget>
#include <QTableWidget>
#include <QTest>
#include <QTextDocument>
#include <QToolButton>
#include <QTreeWidget>
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <set>
#include <string>
#include <vector>

using namespace orvane;
using namespace orvane::test;

namespace {

QString Plain(QString text) {
    // "&&" is one ampersand, a single "&" marks a mnemonic and is not drawn.
    text.replace("&&", "\x01");
    text.remove('&');
    text.replace('\x01', '&');
    return text;
}

QString Where(const QWidget* w) {
    QString path;
    for (const QWidget* p = w; p; p = p->isWindow() ? nullptr : p->parentWidget())
        path = (p->objectName().isEmpty() ? QString(p->metaObject()->className()) : p->objectName()) +
               (path.isEmpty() ? "" : "/") + path;
    return path;
}

// What does not fit in the window as it stands: one line per fault.
class FitCheck {
public:
    explicit FitCheck(QWidget* window) : window_(window) {}

    std::vector<std::string> Faults() {
        InsideScreen();
        for (QWidget* w : window_->findChildren<QWidget*>()) {
            if (!w->isVisibleTo(window_) || w->window() != window_) continue;
            if (auto* tabs = qobject_cast<QTabBar*>(w)) TabBar(tabs);
            else if (auto* label = qobject_cast<QLabel*>(w)) Label(label);
            else if (auto* box = qobject_cast<QGroupBox*>(w)) GroupBox(box);
            else if (auto* check = qobject_cast<QCheckBox*>(w)) Indicator(check, QStyle::SE_CheckBoxContents);
            else if (auto* radio = qobject_cast<QRadioButton*>(w)) Indicator(radio, QStyle::SE_RadioButtonContents);
            else if (auto* button = qobject_cast<QPushButton*>(w)) PushButton(button);
            else if (auto* key = qobject_cast<controls::TGradButton*>(w)) GradButton(key);
            else if (auto* tree = qobject_cast<QTreeWidget*>(w)) Tree(tree);
            else if (auto* table = qobject_cast<QTableWidget*>(w)) Table(table);
        }
        return faults_;
    }

private:
    void Fault(const QWidget* w, const QString& what) { faults_.push_back((Where(w) + ": " + what).toStdString()); }

    void InsideScreen() {
        // The title in bold beside an icon and three buttons of a line and a
        // half or more each, with some room between them.
        QFont bold = window_->font();
        bold.setBold(true);
        const QFontMetrics fm(bold);
        const int title = fm.horizontalAdvance(window_->windowTitle()) + 7 * fm.height();
        if (window_->width() < title)
            Fault(window_, QString("%1 pixels wide; the title bar needs %2 for \"%3\"")
                               .arg(window_->width())
                               .arg(title)
                               .arg(window_->windowTitle()));
        const QScreen* screen = window_->screen();
        const QRect area = screen->availableGeometry();
        if (!area.contains(window_->frameGeometry()))
            Fault(window_, QString("frame %1,%2 %3x%4 leaves the screen's %5x%6")
                               .arg(window_->frameGeometry().x())
                               .arg(window_->frameGeometry().y())
                               .arg(window_->frameGeometry().width())
                               .arg(window_->frameGeometry().height())
                               .arg(area.width())
                               .arg(area.height()));
    }

    void TabBar(QTabBar* bar) {
        for (QToolButton* arrow : bar->findChildren<QToolButton*>())
            if (arrow->isVisible()) Fault(bar, "scroll arrows shown");
        if (bar->sizeHint().width() > bar->width())
            Fault(bar, QString("tabs need %1 pixels, have %2").arg(bar->sizeHint().width()).arg(bar->width()));
        const QFontMetrics fm(bar->font());
        for (int i = 0; i < bar->count(); ++i)
            if (!bar->rect().contains(bar->tabRect(i)) ||
                bar->tabRect(i).width() < fm.horizontalAdvance(Plain(bar->tabText(i))))
                Fault(bar, "tab \"" + bar->tabText(i) + "\" cut");
    }

    void Label(QLabel* label) {
        if (label->text().isEmpty() || label->wordWrap()) return;
        QString text = label->text();
        if (label->textFormat() == Qt::RichText ||
            (label->textFormat() == Qt::AutoText && Qt::mightBeRichText(text))) {
            QTextDocument doc;
            doc.setHtml(text);
            text = doc.toPlainText();
        }
        const QFontMetrics fm(label->font());
        const QStringList lines = text.split('\n');
        int width = 0;
        for (const QString& line : lines) width = std::max(width, fm.horizontalAdvance(Plain(line)));
        const int height = static_cast<int>(lines.size() - 1) * fm.lineSpacing() + fm.height();
        const QRect room = label->contentsRect().marginsRemoved(QMargins(label->margin(), label->margin(),
                                                                         label->margin(), label->margin()));
        const int indent = std::max(label->indent(), 0);
        if (width + indent > room.width() || height > room.height())
            Fault(label, QString("\"%1\" needs %2x%3, has %4x%5")
                             .arg(text)
                             .arg(width + indent)
                             .arg(height)
                             .arg(room.width())
                             .arg(room.height()));
    }

    void GroupBox(QGroupBox* box) {
        if (box->title().isEmpty()) return;
        QStyleOptionGroupBox opt;
        opt.initFrom(box);
        opt.text = box->title();
        opt.lineWidth = 1;
        opt.subControls = QStyle::SC_GroupBoxFrame | QStyle::SC_GroupBoxLabel;
        opt.textAlignment = box->alignment();
        if (box->isFlat()) opt.features |= QStyleOptionFrame::Flat;
        if (box->isCheckable()) opt.subControls |= QStyle::SC_GroupBoxCheckBox;
        const QRect label = box->style()->subControlRect(QStyle::CC_GroupBox, &opt, QStyle::SC_GroupBoxLabel, box);
        if (!box->rect().contains(label) || label.width() < QFontMetrics(box->font()).horizontalAdvance(Plain(box->title())))
            Fault(box, "title \"" + box->title() + "\" cut");
    }

    void Indicator(QAbstractButton* b, QStyle::SubElement contents) {
        QStyleOptionButton opt;
        opt.initFrom(b);
        opt.text = b->text();
        opt.icon = b->icon();
        opt.iconSize = b->iconSize();
        const QRect room = b->style()->subElementRect(contents, &opt, b);
        const int need = QFontMetrics(b->font()).horizontalAdvance(Plain(b->text())) +
                         (b->icon().isNull() ? 0 : b->iconSize().width() + 4);
        if (need > room.width() || room.right() > b->rect().right())
            Fault(b, QString("\"%1\" needs %2, has %3").arg(b->text()).arg(need).arg(room.width()));
    }

    void PushButton(QPushButton* b) {
        if (b->text().isEmpty()) return;
        const QStyle* s = b->style();
        int need = QFontMetrics(b->font()).horizontalAdvance(Plain(b->text())) +
                   s->pixelMetric(QStyle::PM_ButtonMargin, nullptr, b) +
                   2 * s->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, b) +
                   (b->icon().isNull() ? 0 : b->iconSize().width() + 4);
        // The coloured buttons draw a glyph beside the caption; their own
        // size hint knows its width.
        if (qobject_cast<controls::TColorBitBtn*>(b)) need = std::max(need, b->sizeHint().width());
        if (need > b->width()) Fault(b, QString("\"%1\" needs %2, has %3").arg(b->text()).arg(need).arg(b->width()));
    }

    void GradButton(controls::TGradButton* b) {
        if (b->Caption().isEmpty()) return;
        const int need = QFontMetrics(b->font()).horizontalAdvance(Plain(b->Caption())) + 2 * b->BtnFrameSize() + 2;
        if (need > b->width())
            Fault(b, QString("\"%1\" needs %2, has %3").arg(b->Caption()).arg(need).arg(b->width()));
    }

    // The key column's cells and every header caption are whole, and the
    // key column is in view.
    void Columns(QAbstractItemView* view, QHeaderView* header, const QStringList& keys, const QFont& font) {
        const int pad = 2 * (view->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, view) + 1);
        const QFontMetrics fm(font);
        for (const QString& key : keys)
            if (fm.horizontalAdvance(key) + pad > header->sectionSize(0))
                Fault(view, QString("key \"%1\" needs %2, column has %3")
                                .arg(key)
                                .arg(fm.horizontalAdvance(key) + pad)
                                .arg(header->sectionSize(0)));
        if (header->sectionViewportPosition(0) < 0 ||
            header->sectionViewportPosition(0) + header->sectionSize(0) > view->viewport()->width())
            Fault(view, "key column out of view");
        if (header->isHidden()) return;
        const QFontMetrics hm(header->font());
        for (int c = 0; c < header->count(); ++c) {
            const QString caption = header->model()->headerData(c, header->orientation()).toString();
            if (hm.horizontalAdvance(caption) + pad > header->sectionSize(c))
                Fault(view, "header \"" + caption + "\" cut");
        }
    }

    void Tree(QTreeWidget* tree) {
        QStringList keys;
        for (int i = 0; i < tree->topLevelItemCount(); ++i) keys << tree->topLevelItem(i)->text(0);
        Columns(tree, tree->header(), keys, tree->font());
    }

    void Table(QTableWidget* table) {
        QStringList keys;
        for (int r = 0; r < table->rowCount(); ++r)
            if (const QTableWidgetItem* item = table->item(r, 0)) keys << item->text();
        Columns(table, table->horizontalHeader(), keys, table->font());
    }

    QWidget* window_;
    std::vector<std::string> faults_;
};

// A long list drops down no more items than its limit, inside the screen.
std::vector<std::string> DropDownFaults(QWidget* window) {
    std::vector<std::string> faults;
    for (QComboBox* combo : window->findChildren<QComboBox*>()) {
        if (!combo->isVisibleTo(window) || combo->count() <= combo->maxVisibleItems()) continue;
        combo->showPopup();
        QAbstractItemView* view = combo->view();
        if (!QTest::qWaitFor([&] { return view->isVisible(); }, 5000)) {
            faults.push_back((Where(combo) + ": no drop-down").toStdString());
            continue;
        }
        const int rows = view->viewport()->height() / view->sizeHintForRow(0);
        if (rows > combo->maxVisibleItems()) faults.push_back((Where(combo) + QString(": drops down %1 rows").arg(rows)).toStdString());
        if (!combo->screen()->availableGeometry().contains(view->window()->frameGeometry()))
            faults.push_back((Where(combo) + ": drop-down leaves the screen").toStdString());
        combo->hidePopup();
    }
    return faults;
}

// Pending layout requests run parent after child, one round each.
void Settle() {
    for (int round = 0; round < 4; ++round) QApplication::processEvents();
}

TEST(FitInArea, TheWholeFrameEndsInsideTheAvailableArea) {
    struct Case {
        QRect area;
        QPoint stored;
        QSize frame;
        QPoint expected;
    };
    const QRect plain(0, 0, 1920, 1080), topPanel(0, 40, 1280, 984), leftPanel(60, 0, 1220, 1024);
    const Case cases[] = {
        {plain, {20, 20}, {460, 240}, {20, 20}},                // inside: unchanged
        {plain, {5000, 20}, {460, 240}, {1460, 20}},            // right edge at the area's right edge
        {plain, {20, 5000}, {460, 240}, {20, 840}},
        {plain, {1460, 840}, {460, 240}, {1460, 840}},          // just inside
        {plain, {1461, 841}, {460, 240}, {1460, 840}},          // one pixel past: the whole window comes back
        {plain, {-300, -50}, {460, 240}, {0, 0}},               // never off the top or left edge
        {plain, {-2147483647, 2147483647}, {460, 240}, {0, 840}}, // hand-edited extremes
        {{0, 0, 1024, 768}, {1020, 760}, {2000, 1200}, {0, 0}}, // larger than the area: its corner on it
        {topPanel, {0, 0}, {426, 196}, {0, 40}},                // under a top panel: just below it
        {topPanel, {320, 20}, {1249, 711}, {31, 40}},
        {topPanel, {100000, 2147483647}, {800, 600}, {480, 424}},
        {topPanel, {1275, 1020}, {10, 10}, {1270, 1014}},       // within a few pixels of the far edges
        {topPanel, {500, 300}, {1400, 1100}, {0, 40}},
        {leftPanel, {0, 0}, {426, 196}, {60, 0}},               // beside a left panel
        {leftPanel, {30, 500}, {426, 196}, {60, 500}},          // only the edge under the panel moves
        {leftPanel, {5000, 5000}, {426, 196}, {854, 828}},
        {leftPanel, {-5000, 10}, {1300, 600}, {60, 10}},        // wider than the area: the left edge wins
        {QRect(), {-9999, 5000}, {800, 600}, {-9999, 5000}},    // no screen known: as it stands
    };
    for (const Case& c : cases) {
        const QPoint p = FitInArea(c.stored, c.frame, c.area);
        EXPECT_EQ(p, c.expected) << c.area.x() << "," << c.area.y() << " " << c.area.width() << "x" << c.area.height()
                                 << ": " << c.stored.x() << "," << c.stored.y() << " -> " << p.x() << "," << p.y();
    }
}

TEST(FitInArea, AWindowOffItsScreenIsMovedBackFrameAndAll) {
    QWidget window;
    window.resize(300, 200);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    const QRect area = window.screen()->availableGeometry();
    window.move(area.right() - 10, area.bottom() - 10);
    KeepOnScreen(&window);
    EXPECT_TRUE(area.contains(window.frameGeometry()));
    EXPECT_EQ(window.frameGeometry().right(), area.right());
    EXPECT_EQ(window.frameGeometry().bottom(), area.bottom());
    const QPoint inside = area.topLeft() + QPoint(50, 60);
    window.move(inside);
    KeepOnScreen(&window);
    EXPECT_EQ(window.frameGeometry().topLeft(), inside); // a window on the screen stays where it is
}

// Without a window manager the frame is known from the start: the window
// shows with its frame where it was asked, the last placement counting, and
// the position to store is the asked one until then and the window's own
// after. How a window manager that frames the window later is put right is
// shown under openbox (KelmiraPlacement).
TEST(PlaceFrameAt, TheFrameShowsWhereTheLastPlacementSaysAndLaterMovesAreStored) {
    QWidget parent;
    QWidget window(&parent, Qt::Window);
    window.resize(300, 200);
    const QRect area = window.screen()->availableGeometry();
    const QPoint stored = area.topLeft() + QPoint(20, 230);
    PlaceFrameAt(&window, area.topLeft() + QPoint(area.width() + 500, 230));
    EXPECT_TRUE(area.contains(QRect(FramePositionToStore(&window), window.size())))
        << "kept on the screen before it is shown";
    PlaceFrameAt(&window, stored);
    EXPECT_EQ(FramePositionToStore(&window), stored);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    ASSERT_NE(window.frameGeometry(), window.geometry()) << "the window has a frame to check";
    EXPECT_EQ(window.frameGeometry().topLeft(), stored);
    EXPECT_EQ(FramePositionToStore(&window), stored);
    // Later moves stay, and are what is stored.
    const QPoint moved = stored + QPoint(40, 10);
    window.move(moved);
    window.repaint();
    QCoreApplication::processEvents();
    EXPECT_EQ(window.frameGeometry().topLeft(), moved);
    EXPECT_EQ(FramePositionToStore(&window), moved);
}

class EveryWindow : public ::testing::Test {
protected:
    void SetUp() override {
        const std::string plugins = program.ProgramFolder() + "plugins/";
        std::filesystem::create_directories(plugins);
        std::filesystem::copy_file(std::string(BUILT_PLUGIN_DIR) + "/kelmira.so", plugins + "kelmira.so");
        app = std::make_unique<OrvaneApp>(program.Env({}, false));
        app->CreateWindows();
    }
    void TearDown() override {
        for (QWidget* w : QApplication::topLevelWidgets()) w->hide();
    }

    // The window as it first shows, on every page of its tabs.
    void Check(QWidget* window, const std::string& name) {
        SCOPED_TRACE(name);
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
        Settle();
        sizes.push_back(name + " " + std::to_string(window->width()) + "x" + std::to_string(window->height()));
        // A plug-in's window is a child of the main window: only this window's own tabs.
        QList<QTabWidget*> tabs = window->findChildren<QTabWidget*>();
        tabs.removeIf([window](QTabWidget* t) { return t->window() != window; });
        if (tabs.empty()) CheckPage(window, name);
        for (QTabWidget* t : tabs) {
            const int first = t->currentIndex();
            for (int page = 0; page < t->count(); ++page) {
                t->setCurrentIndex(page);
                Settle();
                CheckPage(window, name + "-" + std::to_string(page));
            }
            t->setCurrentIndex(first);
        }
    }
    void CheckPage(QWidget* window, const std::string& name) {
        SCOPED_TRACE(name);
        for (const std::string& fault : FitCheck(window).Faults()) ADD_FAILURE() << fault;
        for (const std::string& fault : DropDownFaults(window)) ADD_FAILURE() << fault;
        if (const char* out = std::getenv("ORVANE_WRITE_SCREENSHOTS")) {
            EXPECT_TRUE(window->grab().save(QDir(out).filePath(QString::fromStdString(name) + ".png")));
        }
    }
    TForm1& Main() { return *app->Forms().form1; }

    FakeProgram program;
    std::unique_ptr<OrvaneApp> app;
    std::vector<std::string> sizes;
};

TEST_F(EveryWindow, EveryCaptionIsWholeAndEveryWindowOnScreen) {
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    ASSERT_EQ(screen.size(), QSize(1280, 1024));
    const AppForms& f = app->Forms();
    TForm1& m = Main();
    m.show();
    Check(&m, "MainWindow");

    f.dsrc->show();
    Check(f.dsrc, "SourceDialog");
    f.dsrc->RGEDGE->SetItemIndex(2); // the threshold box and the encoder's picture
    f.dsrc->PageControl1->setCurrentIndex(TForm1::kSourceSoundCard);
    Check(f.dsrc, "SourceDialogEncoder");
    f.dsrc->hide();

    f.dopt->show();
    Check(f.dopt, "OptionsDialog");
    f.dopt->hide();

    // The status window with the rows of every source, after the first tick
    // that shows them all.
    struct Source {
        const char* name;
        int number;
        bool encoderInput;
    };
    const Source sources[] = {{"StatusNone", TForm1::kSourceNone, false},
                              {"StatusSerial", TForm1::kSourceSerial, false},
                              {"StatusSoundCard", TForm1::kSourceSoundCard, false},
                              {"StatusEncoder", TForm1::kSourceSoundCard, true},
                              {"StatusDevice", TForm1::kSourceDevice, false}};
    m.MSIClick();
    for (const Source& s : sources) {
        m.SetSourceNumber(s.number);
        m.Slicer().settings.mono = s.encoderInput;
        program.time.Advance(2972);
        program.time.Advance(2972);
        Check(f.fsi, s.name);
    }
    f.fsi->Button1Click();

    f.fdd->show();
    Check(f.fdd, "DecoderData");
    f.fdd->hide();
    f.dfreq->show();
    Check(f.dfreq, "FrequencyDialog");
    f.dfreq->hide();
    f.about->show();
    Check(f.about, "AboutBox");
    f.about->hide();

    // The group analyser, shown from its "View" item.
    const std::set<QWidget*> ours{&m, f.dsrc, f.dopt, f.fsi, f.fdd, f.dfreq, f.about};
    m.miShowHideClick(0);
    QWidget* analyser = nullptr;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->isVisible() && w->windowTitle() == "Group Analyzer" && !ours.count(w)) analyser = w;
    ASSERT_NE(analyser, nullptr);
    Check(analyser, "GroupAnalyser");

    for (const std::string& s : sizes) std::printf("%s\n", s.c_str());
}

} // namespace
