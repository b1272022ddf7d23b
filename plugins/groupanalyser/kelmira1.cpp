#include "kelmira1.h"

#include "LinkLabel.h"
#include "RichText.h"
#include "Shell.h"
#include "WindowFit.h"

#include <orvane/selvat.h>

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QColorDialog>
#include <QFileDialog>
#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetrics>
#include <QFontMetricsF>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QRadioButton>
#include <QSaveFile>
#include <QScreen>
#include <QScrollBar>
#include <QStandardPaths>
#include <QStyle>
#include <QStyledItemDelegate>
#include <QTabWidget>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>

#include <dlfcn.h>

#include <algorithm>
#include <vector>

namespace kelmira {
namespace {

// The transfer buffers for texts handed to the data-exchange library.
char gKeyBuffer[1024];
char gValueBuffer[1024];

const char* const kMaskAny = "????????????????";
const char* const kWebAddress = "https://www.orvane.org";
constexpr int kDetectorTickMs = 100;
constexpr int kStatisticsPage = 0;
// Long lists drop down this many rows at a time, as the main window's do.
constexpr int kDropDownRows = 16;
constexpr const char* kSaveFilter = "Plain Text (*.txt);;RTF (*.rtf)";

// Handlers the event loop calls: nothing may escape into it.
template <class F>
void Guarded(F&& f) noexcept {
    try {
        f();
    } catch (...) {
    }
}

// At most n characters, never half of a surrogate pair.
QString LeftChars(const QString& s, int n) {
    qsizetype i = 0;
    for (int k = 0; k < n && i < s.size(); ++k)
        i += s.at(i).isHighSurrogate() && i + 1 < s.size() && s.at(i + 1).isLowSurrogate() ? 2 : 1;
    return s.left(i);
}

// A mask cell as the pattern routines read it: one byte per character;
// characters outside ASCII match anything, like every other character but
// "1", "0" and "-".
std::string MaskCell(const QString& cell) {
    std::string out;
    for (const char32_t c : cell.toUcs4()) out += c < 128 ? static_cast<char>(c) : '?';
    return out;
}

// Edits the mask cells in a line edit that keeps to the cell's length and
// lets a filter see every key first.
class TMaskDelegate : public QStyledItemDelegate {
public:
    using TDiscard = std::function<bool(int cellLength, const QKeyEvent* event)>;
    TMaskDelegate(QObject* parent, TDiscard discard) : QStyledItemDelegate(parent), discard_(std::move(discard)) {}

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem&, const QModelIndex&) const override {
        auto* editor = new QLineEdit(parent);
        editor->setFrame(false);
        editor->setMaxLength(kMaskCellLength); // a paste cannot overfill the cell either
        editor->installEventFilter(const_cast<TMaskDelegate*>(this));
        return editor;
    }

protected:
    bool eventFilter(QObject* object, QEvent* event) override {
        if (event->type() == QEvent::KeyPress)
            if (auto* editor = qobject_cast<QLineEdit*>(object))
                if (discard_(static_cast<int>(editor->text().size()), static_cast<QKeyEvent*>(event))) return true;
        return QStyledItemDelegate::eventFilter(object, event);
    }

private:
    TDiscard discard_;
};

// Key presses on a widget, offered to a handler that may swallow them.
class TKeyFilter : public QObject {
public:
    TKeyFilter(QObject* parent, std::function<bool(const QKeyEvent*)> handler)
        : QObject(parent), handler_(std::move(handler)) {}

protected:
    bool eventFilter(QObject* object, QEvent* event) override {
        if (event->type() == QEvent::KeyPress && handler_(static_cast<QKeyEvent*>(event))) return true;
        return QObject::eventFilter(object, event);
    }

private:
    std::function<bool(const QKeyEvent*)> handler_;
};

// The search field: Enter runs the search, entering the field selects it.
class TSearchEdit : public QLineEdit {
public:
    using QLineEdit::QLineEdit;
    std::function<void()> OnEnterKey;
    std::function<void()> OnEnter;

protected:
    void keyPressEvent(QKeyEvent* event) override {
        if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && OnEnterKey) {
            Guarded(OnEnterKey);
            event->accept();
            return;
        }
        QLineEdit::keyPressEvent(event);
    }
    void focusInEvent(QFocusEvent* event) override {
        QLineEdit::focusInEvent(event);
        if (OnEnter) Guarded(OnEnter);
    }
};

bool Within(const QWidget* w, const QWidget* container) {
    return w && (w == container || container->isAncestorOf(w));
}

QColor ToQColor(TColorRef c) {
    return QColor(static_cast<int>(c & 0xFF), static_cast<int>((c >> 8) & 0xFF), static_cast<int>((c >> 16) & 0xFF));
}

TColorRef ToColorRef(const QColor& c) {
    return static_cast<TColorRef>(c.red()) | static_cast<TColorRef>(c.green()) << 8 |
           static_cast<TColorRef>(c.blue()) << 16;
}

// Windows fixed-pitch names exist on no Linux system; a dump drawn in the
// substitute fontconfig picks for them would lose its columns.
QFont DrawnFont(const std::string& name, int size, bool bold) {
    const QString family = QString::fromStdString(name);
    QFont f;
    if (IsFixedPitchName(name) && !QFontDatabase::hasFamily(family)) {
        f = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    } else {
        f.setFamily(family);
        f.setStyleHint(QFont::TypeWriter);
    }
    f.setPointSize(std::max(1, size));
    f.setBold(bold);
    return f;
}

QStringList SelectorItems(int count) {
    QStringList items;
    for (int i = 0; i < 32; ++i) items << GroupNames[static_cast<std::size_t>(i)];
    items << "Unknown";
    for (int m = 1; m <= 3; ++m) items << QString("Mask %1").arg(m);
    return items.mid(0, count);
}

TLineView* MakeTextWindow(QWidget* parent, const char* name) {
    auto* w = new TLineView(parent);
    w->setObjectName(name);
    QPalette p = w->palette();
    p.setColor(QPalette::Base, Qt::black);
    p.setColor(QPalette::Text, Qt::white);
    w->setPalette(p);
    w->setFont(DrawnFont("Terminal", 9, true));
    return w;
}

QTableWidget* MakeGrid(QWidget* parent, const char* name, int cols, int rows) {
    auto* g = new QTableWidget(rows, cols, parent);
    g->setObjectName(name);
    g->horizontalHeader()->hide();
    g->verticalHeader()->hide();
    g->verticalHeader()->setDefaultSectionSize(g->fontMetrics().height() + 4);
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < cols; ++c) {
            auto* item = new QTableWidgetItem();
            if (r == 0 || c == 0) {
                // The caption row and column are fixed, as in a string grid.
                item->setFlags(Qt::ItemIsEnabled);
                item->setBackground(parent->palette().button());
            } else {
                item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
            }
            g->setItem(r, c, item);
        }
    return g;
}

void SetCell(QTableWidget* g, int col, int row, const QString& text) {
    if (QTableWidgetItem* item = g->item(row, col)) item->setText(text);
}

QString CellText(const QTableWidget* g, int col, int row) {
    const QTableWidgetItem* item = g->item(row, col);
    return item ? item->text() : QString();
}

QListWidget* MakeCheckList(QWidget* parent, const char* name, const QStringList& items) {
    auto* l = new QListWidget(parent);
    l->setObjectName(name);
    for (const QString& text : items) {
        auto* item = new QListWidgetItem(text, l);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable | Qt::ItemIsSelectable);
        item->setCheckState(Qt::Unchecked);
    }
    return l;
}

// Four columns of eight (0A-7A, 8A-15A, 0B-7B, 8B-15B as the list fills
// column by column), all in view: the list is as large as that grid, with
// less than a cell to spare, so a ninth row or fifth column never fits.
void FitDetectorList(QListWidget* l) {
    l->setUniformItemSizes(true);
    l->setSpacing(0);
    l->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    l->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    QSize cell;
    for (int i = 0; i < l->count(); ++i) cell = cell.expandedTo(l->sizeHintForIndex(l->model()->index(i, 0)));
    cell += QSize(6, 2);
    l->setGridSize(cell);
    l->setFixedSize(4 * cell.width() + cell.width() / 2 + 2 * l->frameWidth(),
                    8 * cell.height() + cell.height() / 2 + 2 * l->frameWidth());
}

// Columns as wide as their captions and the widest texts they take, and a
// grid as wide as its columns (and a vertical scroll bar): nothing in it
// scrolls sideways.
void FitGridColumns(QTableWidget* g, const std::vector<QStringList>& widest) {
    const QFontMetrics fm(g->font());
    const int pad = 2 * g->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, g) + 10;
    int total = 0;
    for (int c = 0; c < g->columnCount(); ++c) {
        int w = 0;
        for (int r = 0; r < g->rowCount(); ++r) w = std::max(w, fm.horizontalAdvance(CellText(g, c, r)));
        if (static_cast<std::size_t>(c) < widest.size())
            for (const QString& t : widest[static_cast<std::size_t>(c)]) w = std::max(w, fm.horizontalAdvance(t));
        g->setColumnWidth(c, w + pad);
        total += w + pad;
    }
    g->setMinimumWidth(total + 2 * g->frameWidth() + g->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, g));
}

QPushButton* MakeButton(QWidget* parent, std::array<QPushButton*, 17>& buttons, int n, const char* caption) {
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(QString("Button%1").arg(n));
    buttons[static_cast<std::size_t>(n)] = b;
    return b;
}

QLabel* MakeCounter(QWidget* parent, const char* name) {
    auto* l = new QLabel("0", parent);
    l->setObjectName(name);
    // A fixed size: a new count then never asks the page for a new layout.
    l->setFixedSize(l->fontMetrics().horizontalAdvance("00000000"), l->fontMetrics().height() + 2);
    return l;
}

// Where this code was loaded from, for the section name.
void SectionAnchor() {}

std::string OwnLibraryPath() {
    Dl_info info{};
    if (dladdr(reinterpret_cast<void*>(&SectionAnchor), &info) && info.dli_fname) return info.dli_fname;
    return std::string();
}

} // namespace

// TColorBox ------------------------------------------------------------------------

TColorBox::TColorBox(QWidget* parent, bool extendedColors, bool customColor) : QComboBox(parent), custom_(customColor) {
    if (custom_) AddColor("Custom...", 0x000000);
    static const std::pair<const char*, TColorRef> standard[] = {
        {"Black", 0x000000}, {"Maroon", 0x000080}, {"Green", 0x008000},  {"Olive", 0x008080},
        {"Navy", 0x800000},  {"Purple", 0x800080}, {"Teal", 0x808000},   {"Gray", 0x808080},
        {"Silver", 0xC0C0C0}, {"Red", 0x0000FF},   {"Lime", 0x00FF00},   {"Yellow", 0x00FFFF},
        {"Blue", 0xFF0000},  {"Fuchsia", 0xFF00FF}, {"Aqua", 0xFFFF00},  {"White", 0xFFFFFF}};
    static const std::pair<const char*, TColorRef> extended[] = {
        {"Money Green", 0xC0DCC0}, {"Sky Blue", 0xF0CAA6}, {"Cream", 0xF0FBFF}, {"Medium Gray", 0xA4A0A0}};
    for (const auto& [name, color] : standard) AddColor(name, color);
    if (extendedColors)
        for (const auto& [name, color] : extended) AddColor(name, color);
    orvane::LimitDropDown(this, kDropDownRows);
    connect(this, &QComboBox::activated, this, [this](int index) { Activated(index); });
}

void TColorBox::AddColor(const QString& name, TColorRef color) {
    addItem(name, static_cast<uint>(color));
    SetItemColor(count() - 1, color);
}

void TColorBox::SetItemColor(int index, TColorRef color) {
    QPixmap swatch(16, 12);
    swatch.fill(ToQColor(color));
    QPainter(&swatch).drawRect(0, 0, 15, 11);
    setItemIcon(index, QIcon(swatch));
    setItemData(index, static_cast<uint>(color));
}

TColorRef TColorBox::ColorAt(int index) const { return itemData(index).toUInt(); }

TColorRef TColorBox::Selected() const { return currentIndex() < 0 ? 0 : ColorAt(currentIndex()); }

void TColorBox::SetSelected(TColorRef color) {
    for (int i = custom_ ? 1 : 0; i < count(); ++i)
        if (ColorAt(i) == color) {
            setCurrentIndex(i);
            lastIndex_ = i;
            return;
        }
    if (custom_) {
        SetItemColor(0, color);
        setCurrentIndex(0);
        lastIndex_ = 0;
    } else {
        setCurrentIndex(-1);
        lastIndex_ = -1;
    }
}

void TColorBox::Activated(int index) {
    if (!(custom_ && index == 0)) {
        lastIndex_ = index;
        if (OnChange) OnChange();
        return;
    }
    // Window-modal and not blocking: the answer comes back by signal.
    if (!dialog_) {
        dialog_ = new QColorDialog(this);
        dialog_->setObjectName("ColorDialog1");
        connect(dialog_, &QColorDialog::colorSelected, this, [this](const QColor& c) {
            SetItemColor(0, ToColorRef(c));
            setCurrentIndex(0);
            lastIndex_ = 0;
            if (OnChange) OnChange();
        });
        connect(dialog_, &QDialog::rejected, this, [this] { setCurrentIndex(lastIndex_); });
    }
    dialog_->setCurrentColor(ToQColor(ColorAt(0)));
    dialog_->open();
}

// TSpinEdit ------------------------------------------------------------------------

TSpinEdit::TSpinEdit(QWidget* parent, int minimum, int maximum, int value, int maxTypedDigits)
    : QSpinBox(parent), maxTypedDigits_(maxTypedDigits) {
    setRange(minimum, maximum);
    setValue(value);
    setCorrectionMode(QAbstractSpinBox::CorrectToNearestValue);
    if (maxTypedDigits_ == 0) lineEdit()->setReadOnly(true); // arrows only
}

void TSpinEdit::keyPressEvent(QKeyEvent* event) {
    const QString t = event->text();
    if (maxTypedDigits_ > 0 && t.size() == 1 && t[0].isDigit() && !lineEdit()->hasSelectedText() &&
        cleanText().size() >= maxTypedDigits_) {
        event->ignore();
        return;
    }
    QSpinBox::keyPressEvent(event);
}

// TForm1 ---------------------------------------------------------------------------

TForm1::TForm1(QWidget* owner) : QWidget(owner, Qt::Window) {
    setObjectName("Form1");
    setWindowTitle("Group Analyzer");
    CreateComponents();
    for (int i = 0; i < TGroupStatistics::kTypes; ++i)
        proportionKeys_[static_cast<std::size_t>(i)] =
            std::string("GroupStatistics.") + GroupNames[static_cast<std::size_t>(i)] + ".Proportion";
    for (int n = 1; n <= TGroupStatistics::kAidRows; ++n) {
        const std::string row = "AIDStatistics." + std::to_string(n);
        aidKeys_[static_cast<std::size_t>(n - 1)] = {row + ".Proportion", row + ".AppGroup", row + ".AID"};
    }
    ShowMessage = [this](const QString& text) {
        // Window-modal and not blocking; it goes when it is closed.
        auto* box = new QMessageBox(QMessageBox::NoIcon, QString(), QString(), QMessageBox::Ok, this);
        orvane::SetMessage(*box, windowTitle(), text);
        box->setObjectName("MessageDlg");
        box->setAttribute(Qt::WA_DeleteOnClose);
        box->open();
    };

    // The statistics refresh counter starts at 0 here and nowhere else.
    ResetAll();
    // Until a workspace brings its colours the defaults show; zeros would draw
    // every line black on the black windows.
    GroupColors = DefaultGroupColors;
    WriteGridCaptions();
    sectionName_ = SectionNameFromPath(OwnLibraryPath());
    QStringList families = QFontDatabase::families();
    std::sort(families.begin(), families.end(),
              [](const QString& a, const QString& b) { return a.compare(b, Qt::CaseInsensitive) < 0; });
    ComboBox1->addItems(families);
    DumpFontName = "Terminal";
    DumpFontSize = 9;
    DumpFontBold = true;
    ShowDumpFont();
    UpdateFormats();
    FontPreview();
    UpdateMasks();
    FitToFont();
    RBLIMITClick();

    // The mask grid pads its cells when the focus leaves it, editor included.
    focusWatch_ = connect(qApp, &QApplication::focusChanged, this, [this](QWidget* old, QWidget* now) {
        if (Within(old, SGMASK) && !Within(now, SGMASK)) Guarded([this] { SGMASKExit(); });
    });
    TimerGD->start();
}

// The focus moves while the children go; by then this window is no TForm1.
TForm1::~TForm1() { disconnect(focusWatch_); }

void TForm1::CreateComponents() {
    resize(800, 640);
    auto* main = new QVBoxLayout(this);

    PageControl1 = new QTabWidget(this);
    PageControl1->setObjectName("PageControl1");
    PageControl1->addTab(CreateStatisticsPage(), "Group Statistics");
    PageControl1->addTab(CreateHexPage(), "Group Content HEX");
    PageControl1->addTab(CreateFullPage(), "Group Content Full");
    PageControl1->addTab(CreateAidPage(), "ODA AID");
    PageControl1->addTab(CreateSetupPage(), "Setup");
    PageControl1->setCurrentIndex(0);
    main->addWidget(PageControl1, 3);

    auto* bottom = new QHBoxLayout();
    RichEdit1 = MakeTextWindow(this, "RichEdit1");
    auto* seqButtons = new QVBoxLayout();
    connect(MakeButton(this, Button, 5, "Clear"), &QPushButton::clicked, this, [this] { Button5Click(); });
    connect(MakeButton(this, Button, 10, "Save..."), &QPushButton::clicked, this, [this] { Button10Click(); });
    seqButtons->addWidget(Button[5]);
    seqButtons->addWidget(Button[10]);
    seqButtons->addStretch();
    bottom->addWidget(RichEdit1, 1);
    bottom->addLayout(seqButtons);

    GroupDetector = new QGroupBox("Group Detector", this);
    GroupDetector->setObjectName("GroupDetector");
    QStringList detectorItems;
    for (int i = 0; i < 16; ++i) detectorItems << GroupNames[static_cast<std::size_t>(2 * i)];
    for (int i = 0; i < 16; ++i) detectorItems << GroupNames[static_cast<std::size_t>(2 * i + 1)];
    CLBGD = MakeCheckList(GroupDetector, "CLBGD", detectorItems);
    QFont bold = CLBGD->font();
    bold.setBold(true);
    CLBGD->setFont(bold);
    CLBGD->setFlow(QListView::TopToBottom);
    CLBGD->setWrapping(true);
    CLBGD->setResizeMode(QListView::Adjust);
    CLBGD->setSelectionMode(QAbstractItemView::NoSelection);
    FitDetectorList(CLBGD);
    auto* gd = new QVBoxLayout(GroupDetector);
    gd->addWidget(CLBGD);
    connect(CLBGD, &QListWidget::itemChanged, this, [this] {
        if (!detectorUpdating_) Guarded([this] { CLBGDClickCheck(); });
    });
    TimerGD = new QTimer(this);
    TimerGD->setObjectName("TimerGD");
    TimerGD->setTimerType(Qt::PreciseTimer);
    TimerGD->setInterval(kDetectorTickMs);
    connect(TimerGD, &QTimer::timeout, this, [this] { Guarded([this] { TimerGDTimer(); }); });
    bottom->addWidget(GroupDetector, 1);

    connect(MakeButton(this, Button, 9, "Reset All"), &QPushButton::clicked, this, [this] { Button9Click(); });
    auto* right = new QVBoxLayout();
    right->addStretch();
    right->addWidget(Button[9]);
    bottom->addLayout(right);
    main->addLayout(bottom, 1);

    memos_ = {Memo1, Memo2, Memo3, Memo4};
    selectors_ = {CB1, CB2, CB3, CB4};
    counterLabels_ = {LCNT1, LCNT2, LCNT3, LCNT4, LCNT5};
    textWindows_ = {Memo1, Memo2, Memo3, Memo4, RichEdit1, RichEdit2, RichEdit3};
}

QWidget* TForm1::CreateStatisticsPage() {
    auto* page = new QWidget();
    page->setObjectName("TabSheet1");
    SGA = MakeGrid(page, "SGA", 3, 17);
    SGB = MakeGrid(page, "SGB", 3, 17);
    auto* grids = new QHBoxLayout();
    grids->addWidget(SGA);
    grids->addWidget(SGB);
    auto* layout = new QVBoxLayout(page);
    layout->addLayout(grids);
    auto* row = new QHBoxLayout();
    row->addStretch();
    row->addWidget(MakeButton(page, Button, 14, "Clear"));
    connect(Button[14], &QPushButton::clicked, this, [this] { Button14Click(); });
    layout->addLayout(row);
    return page;
}

QWidget* TForm1::CreateHexPage() {
    auto* page = new QWidget();
    page->setObjectName("TabSheet2");
    auto* layout = new QHBoxLayout(page);
    static const char* const memoNames[] = {"Memo1", "Memo2", "Memo3", "Memo4"};
    static const char* const cbNames[] = {"CB1", "CB2", "CB3", "CB4"};
    static const char* const cntNames[] = {"LCNT1", "LCNT2", "LCNT3", "LCNT4"};
    static const int stored[] = {2, 8, 16, 28}; // 1A, 4A, 8A, 14A
    TLineView** memos[] = {&Memo1, &Memo2, &Memo3, &Memo4};
    QComboBox** cbs[] = {&CB1, &CB2, &CB3, &CB4};
    QLabel** cnts[] = {&LCNT1, &LCNT2, &LCNT3, &LCNT4};
    for (int k = 0; k < 4; ++k) {
        auto* col = new QVBoxLayout();
        auto* cb = new QComboBox(page);
        cb->setObjectName(cbNames[k]);
        cb->addItems(SelectorItems(kSelectorItems));
        cb->setCurrentIndex(stored[k]);
        orvane::LimitDropDown(cb, kDropDownRows);
        *cbs[k] = cb;
        *memos[k] = MakeTextWindow(page, memoNames[k]);
        *cnts[k] = MakeCounter(page, cntNames[k]);
        auto* foot = new QHBoxLayout();
        foot->addWidget(*cnts[k]);
        foot->addStretch();
        foot->addWidget(MakeButton(page, Button, k + 1, "Clear"));
        col->addWidget(cb);
        col->addWidget(*memos[k], 1);
        col->addLayout(foot);
        layout->addLayout(col);
    }
    connect(Button[1], &QPushButton::clicked, this, [this] { Button1Click(); });
    connect(Button[2], &QPushButton::clicked, this, [this] { Button2Click(); });
    connect(Button[3], &QPushButton::clicked, this, [this] { Button3Click(); });
    connect(Button[4], &QPushButton::clicked, this, [this] { Button4Click(); });
    return page;
}

QWidget* TForm1::CreateFullPage() {
    auto* page = new QWidget();
    page->setObjectName("TabSheet3");
    RichEdit2 = MakeTextWindow(page, "RichEdit2");
    CLBSHOW = MakeCheckList(page, "CLBSHOW", SelectorItems(kSelectorItems));
    CLBSHOW->setMaximumWidth(CLBSHOW->fontMetrics().horizontalAdvance("Unknown") * 3);
    auto* search = new TSearchEdit(page);
    search->OnEnterKey = [this] { Edit1KeyPress(); };
    search->OnEnter = [this] { Edit1Enter(); };
    Edit1 = search;
    Edit1->setObjectName("Edit1");
    Edit1->setMaxLength(255);
    LCNT5 = MakeCounter(page, "LCNT5");

    auto* side = new QVBoxLayout();
    side->addWidget(CLBSHOW, 1);
    auto* allNone = new QHBoxLayout();
    allNone->addWidget(MakeButton(page, Button, 7, "All"));
    allNone->addWidget(MakeButton(page, Button, 8, "None"));
    side->addLayout(allNone);

    auto* foot = new QHBoxLayout();
    foot->addWidget(LCNT5);
    foot->addStretch();
    foot->addWidget(Edit1);
    foot->addWidget(MakeButton(page, Button, 16, "Find next"));
    foot->addWidget(MakeButton(page, Button, 6, "Clear"));
    foot->addWidget(MakeButton(page, Button, 13, "Save..."));
    connect(Button[6], &QPushButton::clicked, this, [this] { Button6Click(); });
    connect(Button[13], &QPushButton::clicked, this, [this] { Button13Click(); });
    connect(Button[7], &QPushButton::clicked, this, [this] { Guarded([this] { Button7Click(); }); });
    connect(Button[8], &QPushButton::clicked, this, [this] { Guarded([this] { Button8Click(); }); });
    connect(Button[16], &QPushButton::clicked, this, [this] { Guarded([this] { Button16Click(); }); });

    auto* left = new QVBoxLayout();
    left->addWidget(RichEdit2, 1);
    left->addLayout(foot);
    auto* layout = new QHBoxLayout(page);
    layout->addLayout(left, 1);
    layout->addLayout(side);
    return page;
}

QWidget* TForm1::CreateAidPage() {
    auto* page = new QWidget();
    page->setObjectName("TabSheet4");
    SGAID = MakeGrid(page, "SGAID", 4, 17);
    RichEdit3 = MakeTextWindow(page, "RichEdit3");
    RichEdit3->setFont(DrawnFont("Fixedsys", 9, false));
    auto* foot = new QHBoxLayout();
    foot->addStretch();
    foot->addWidget(MakeButton(page, Button, 11, "Clear"));
    foot->addWidget(MakeButton(page, Button, 12, "Save..."));
    connect(Button[11], &QPushButton::clicked, this, [this] { Button11Click(); });
    connect(Button[12], &QPushButton::clicked, this, [this] { Button12Click(); });
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(SGAID, 1);
    layout->addWidget(RichEdit3, 1);
    layout->addLayout(foot);
    return page;
}

QWidget* TForm1::CreateSetupPage() {
    auto* page = new QWidget();
    page->setObjectName("TabSheet5");

    // Group colours.
    auto* colours = new QGroupBox("Group colors", page);
    ListBox1 = new QListWidget(colours);
    ListBox1->setObjectName("ListBox1");
    ListBox1->addItems(SelectorItems(kGroupNameCount));
    ColorBox1 = new TColorBox(colours, true, true);
    ColorBox1->setObjectName("ColorBox1");
    ColorBox1->setCurrentIndex(-1);
    auto* cl = new QVBoxLayout(colours);
    cl->addWidget(ListBox1, 1);
    cl->addWidget(ColorBox1);
    connect(ListBox1, &QListWidget::currentRowChanged, this, [this] { ListBox1Click(); });
    ColorBox1->OnChange = [this] { ColorBox1Change(); };

    // Background.
    auto* bgLabel = new QLabel("Backgroud Color", page);
    CBBG = new TColorBox(page, false, false);
    CBBG->setObjectName("CBBG");
    CBBG->setCurrentIndex(0);
    CBBG->OnChange = [this] { CBBGChange(); };

    // Dump font.
    auto* font = new QGroupBox("Font", page);
    ComboBox1 = new QComboBox(font);
    ComboBox1->setObjectName("ComboBox1");
    orvane::LimitDropDown(ComboBox1, kDropDownRows);
    SpinEdit1 = new TSpinEdit(font, kFontSizeMin, kFontSizeMax, 9, 0);
    SpinEdit1->setObjectName("SpinEdit1");
    CheckBox1 = new QCheckBox("Bold", font);
    CheckBox1->setObjectName("CheckBox1");
    CheckBox1->setChecked(true);
    STTS = new QLabel("Text sample 0123 ABCD", font);
    STTS->setObjectName("STTS");
    STTS->setMinimumHeight(36);
    auto* fl = new QGridLayout(font);
    fl->addWidget(ComboBox1, 0, 0, 1, 2);
    fl->addWidget(SpinEdit1, 1, 0);
    fl->addWidget(CheckBox1, 1, 1);
    fl->addWidget(STTS, 2, 0, 1, 2);
    fl->addWidget(MakeButton(font, Button, 15, "Apply"), 3, 1);
    connect(ComboBox1, &QComboBox::currentTextChanged, this, [this] { FontPreview(); });
    // A font the user picks is stored, even the family shown in place of one.
    connect(ComboBox1, &QComboBox::currentIndexChanged, this, [this] {
        if (!showingDumpFont_) fontStandIn_ = -1;
    });
    connect(ComboBox1, &QComboBox::activated, this, [this] { fontStandIn_ = -1; });
    connect(SpinEdit1, &QSpinBox::valueChanged, this, [this] { FontPreview(); });
    connect(CheckBox1, &QCheckBox::toggled, this, [this] { FontPreview(); });
    connect(Button[15], &QPushButton::clicked, this, [this] { Button15Click(); });

    // Line limit.
    auto* lines = new QGroupBox("Lines", page);
    RBLIMIT = new QRadioButton("Limit to the window only", lines);
    RBLIMIT->setObjectName("RBLIMIT");
    RBNOLIMIT = new QRadioButton("Allow scrolling (may consume up to 100 kB of RAM per minute)", lines);
    RBNOLIMIT->setObjectName("RBNOLIMIT");
    RBLIMIT->setChecked(true);
    SELINES = new TSpinEdit(lines, kLinesMin, kLinesMax, 80000, 5);
    SELINES->setObjectName("SELINES");
    auto* ll = new QGridLayout(lines);
    ll->addWidget(RBLIMIT, 0, 0, 1, 3);
    ll->addWidget(RBNOLIMIT, 1, 0, 1, 3);
    ll->addWidget(new QLabel("Clear after reaching", lines), 2, 0);
    ll->addWidget(SELINES, 2, 1);
    ll->addWidget(new QLabel("of lines in the window.", lines), 2, 2);
    connect(RBLIMIT, &QRadioButton::clicked, this, [this] { RBLIMITClick(); });
    connect(RBNOLIMIT, &QRadioButton::clicked, this, [this] { RBLIMITClick(); });
    connect(SELINES, &QSpinBox::editingFinished, this, [this] { SELINESExit(); });

    // Binary masks.
    SGMASK = MakeGrid(page, "SGMASK", 4, 4);
    for (int r = 1; r < 4; ++r)
        for (int c = 1; c < 4; ++c) SGMASK->item(r, c)->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable);
    SGMASK->setItemDelegate(new TMaskDelegate(SGMASK, [this](int length, const QKeyEvent* e) { return SGMASKKeyPress(length, e); }));
    // A key typed on a cell that is not being edited would open the editor.
    SGMASK->installEventFilter(new TKeyFilter(SGMASK, [this](const QKeyEvent* e) {
        const QTableWidgetItem* item = SGMASK->currentItem();
        return item && (item->flags() & Qt::ItemIsEditable) &&
               SGMASKKeyPress(static_cast<int>(item->text().size()), e);
    }));
    connect(SGMASK, &QTableWidget::itemChanged, this, [this](QTableWidgetItem* item) {
        if (item->row() >= 1 && item->column() >= 1) Guarded([this] { UpdateMasks(); });
    });

    LinkLabel1 = new orvane::controls::TLinkLabel(page);
    LinkLabel1->setObjectName("LinkLabel1");
    LinkLabel1->setText(kWebAddress);
    LinkLabel1->SetLink(kWebAddress);
    LinkLabel1->SetLinkLook(Qt::blue);
    LinkLabel1->OnOpenFailed = [this](QObject*) {
        ShowMessage(QString::fromStdString(orvane::NoBrowserMessage(kWebAddress)));
    };

    auto* grid = new QGridLayout(page);
    grid->addWidget(colours, 0, 0, 3, 1);
    auto* bg = new QHBoxLayout();
    bg->addWidget(bgLabel);
    bg->addWidget(CBBG, 1);
    grid->addLayout(bg, 0, 1);
    grid->addWidget(font, 1, 1);
    grid->addWidget(lines, 2, 1);
    grid->addWidget(SGMASK, 0, 2, 2, 1);
    grid->addWidget(LinkLabel1, 2, 2, Qt::AlignBottom | Qt::AlignRight);
    return page;
}

void TForm1::FitToFont() {
    // The windows hold the widest lines the analyser writes, measured in the
    // fonts they are drawn with here, not in the other platform's pixels.
    TRDSGroupRec g{};
    g.Hour = 9;
    g.Minute = 5;
    g.Second = 33;
    g.BlockA = 0xD3C2;
    g.BlockB = 0x0410;
    g.BlockC = 0xE0CD;
    g.BlockD = 0x4E44;
    const QFontMetricsF dump(formats_[0]->font);
    const qreal header = dump.horizontalAdvance(QString::fromLatin1(HeaderLine(g)));
    std::vector<std::pair<TLineView*, int>> panes;
    for (TLineView* memo : memos_) panes.emplace_back(memo, memo->WidthForLine(header));
    QString sequence;
    for (int i = 0; i < TGroupSequence::kLineEntries; ++i) sequence += QString::fromLatin1(SequenceEntry(20));
    panes.emplace_back(RichEdit1, RichEdit1->WidthForLine(dump.horizontalAdvance(sequence)));
    panes.emplace_back(RichEdit2, RichEdit2->WidthForLine(dump.horizontalAdvance(QString::fromLatin1(FullContent(g)))));
    g.BlockB = 0x3018; // 3A announcing 12A
    g.BlockD = 0xCD46;
    const qreal aid = QFontMetricsF(aidFormat_->font).horizontalAdvance(QString::fromLatin1(AIDContentLine(g)));
    panes.emplace_back(RichEdit3, RichEdit3->WidthForLine(aid));
    // A layout learns of new minimums only when its request is served, and
    // a hidden tab page's only once it is shown; the window's minimum size
    // is wanted at once. Inner widgets first.
    const QList<QWidget*> inner = findChildren<QWidget*>();
    const auto setWidths = [this, &panes, &inner](qreal share) {
        for (const auto& [pane, width] : panes) pane->setMinimumWidth(static_cast<int>(width * share));
        for (auto w = inner.crbegin(); w != inner.crend(); ++w) {
            if (QLayout* l = (*w)->layout()) {
                l->invalidate();
                l->activate();
            }
            (*w)->updateGeometry();
        }
        layout()->invalidate();
        layout()->activate();
    };
    setWidths(1);

    const QString widestShare = QString::fromLatin1(ProportionText(999, 1000));
    for (QTableWidget* grid : {SGA, SGB}) FitGridColumns(grid, {{"15B"}, {widestShare}, {"99.99"}});
    FitGridColumns(SGAID, {{"FFFF"}, {widestShare}, {"99.99"}, {"15B"}});
    const QStringList cells{QString(kMaskCellLength, '?'), QString(kMaskCellLength, '0'),
                            QString(kMaskCellLength, '1'), QString(kMaskCellLength, '-')};
    FitGridColumns(SGMASK, {{}, cells, cells, cells});
    SGMASK->setMinimumHeight(SGMASK->rowCount() * SGMASK->verticalHeader()->defaultSectionSize() +
                             2 * SGMASK->frameWidth() +
                             SGMASK->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, SGMASK));

    // A window wider than the screen would hide its far side with no way to
    // reach it: the text windows give up width and scroll sideways instead.
    const QRect area = orvane::AvailableArea(this);
    const QSize frame = frameGeometry().size() - size();
    if (area.isValid()) {
        qreal share = 1;
        for (int round = 0; round < 8; ++round) {
            const int excess = minimumSizeHint().width() + frame.width() - area.width();
            if (excess <= 0) break;
            share *= std::max<qreal>(0.1, 1 - (excess + 8.0) / minimumSizeHint().width());
            setWidths(share);
        }
    }
    QSize fitted = size().expandedTo(sizeHint());
    if (area.isValid()) fitted = fitted.boundedTo(area.size() - frame).expandedTo(minimumSizeHint());
    resize(fitted);
}

void TForm1::WriteGridCaptions() {
    for (QTableWidget* g : {SGA, SGB}) {
        SetCell(g, 0, 0, "Group type");
        SetCell(g, 1, 0, "Proportion");
        SetCell(g, 2, 0, "Rate per sec.");
    }
    for (int r = 1; r <= 16; ++r) {
        SetCell(SGA, 0, r, GroupNames[static_cast<std::size_t>(2 * (r - 1))]);
        SetCell(SGB, 0, r, GroupNames[static_cast<std::size_t>(2 * (r - 1) + 1)]);
    }
    SetCell(SGAID, 0, 0, "ODA AID");
    SetCell(SGAID, 1, 0, "Proportion");
    SetCell(SGAID, 2, 0, "Rate per sec.");
    SetCell(SGAID, 3, 0, "App. group type");
    for (int c = 1; c <= 3; ++c) SetCell(SGMASK, c, 0, QString("Block %1").arg(c + 1));
    for (int r = 1; r <= 3; ++r) SetCell(SGMASK, 0, r, QString("Mask %1").arg(r));
}

void TForm1::closeEvent(QCloseEvent* event) {
    // The window and its data live until the library is unloaded.
    event->ignore();
    hide();
}

// Commands -------------------------------------------------------------------------

void TForm1::ProcessCommand(const char* command, const char* parameter) {
    const std::string cmd = UpperCase(command ? command : "");
    const char* file = parameter ? parameter : "";
    // The title bar is known only once the window is shown; it too must fit.
    if (cmd == "SHOWHIDE") {
        setVisible(!isVisible());
        if (isVisible()) orvane::KeepOnScreen(this);
    } else if (cmd == "SHOW") {
        if (!isVisible()) show();
        orvane::KeepOnScreen(this);
        raise();
        activateWindow();
    } else if (cmd == "SAVEWORKSPACE") {
        SaveWorkspace(file);
    } else if (cmd == "OPENWORKSPACE") {
        OpenWorkspace(file);
    } else if (cmd == "RESETDATA") {
        ResetAll();
    } else if (cmd == "CONFIGURE") {
        PageControl1->setCurrentIndex(4);
        if (!isVisible()) show();
        orvane::KeepOnScreen(this);
        raise();
        activateWindow();
    }
}

void TForm1::SaveWorkspace(const char* file) {
    const char* s = sectionName_.c_str();
    const QPoint frame = orvane::FramePositionToStore(this);
    SaveInteger(file, s, "Top", frame.y());
    SaveInteger(file, s, "Left", frame.x());
    SaveInteger(file, s, "Visible", isVisible() ? 1 : 0);
    static const char* const contentKeys[] = {"GroupContent1", "GroupContent2", "GroupContent3", "GroupContent4"};
    for (int k = 0; k < 4; ++k) SaveInteger(file, s, contentKeys[k], selectors_[static_cast<std::size_t>(k)]->currentIndex());
    SaveInteger(file, s, "FontSize", DumpFontSize);
    SaveInteger(file, s, "FontStyle", DumpFontBold ? 1 : 0);
    CopyToBuffer(gValueBuffer, sizeof gValueBuffer, DumpFontName);
    SavePChar(file, s, "FontName", gValueBuffer);
    for (int m = 1; m <= 3; ++m)
        for (int b = 2; b <= 4; ++b) {
            CopyToBuffer(gKeyBuffer, sizeof gKeyBuffer, MaskKey(m, b));
            CopyToBuffer(gValueBuffer, sizeof gValueBuffer, CellText(SGMASK, b - 1, m).toStdString());
            SavePChar(file, s, gKeyBuffer, gValueBuffer);
        }
    for (int n = 0; n < kGroupNameCount; ++n) {
        CopyToBuffer(gKeyBuffer, sizeof gKeyBuffer, NumberedKey("Color", n));
        SaveInteger(file, s, gKeyBuffer, static_cast<int32_t>(GroupColors[static_cast<std::size_t>(n)]));
    }
    for (int n = 0; n < kSelectorItems; ++n) {
        CopyToBuffer(gKeyBuffer, sizeof gKeyBuffer, NumberedKey("ShowGroup", n));
        SaveInteger(file, s, gKeyBuffer, CLBSHOW->item(n)->checkState() == Qt::Checked ? 1 : 0);
    }
    SaveInteger(file, s, "BackgroudColor", CBBG->currentIndex());
    SaveInteger(file, s, "MaxLines", SELINES->value());
    SaveInteger(file, s, "Limit", RBLIMIT->isChecked() ? 1 : 0);
    SaveInteger(file, s, "Page", PageControl1->currentIndex());
}

void TForm1::OpenWorkspace(const char* file) {
    const char* s = sectionName_.c_str();
    const int top = LoadInteger(file, s, "Top", kFirstTop);
    const int left = LoadInteger(file, s, "Left", kFirstLeft);
    orvane::PlaceFrameAt(this, QPoint(left, top));
    if (LoadInteger(file, s, "Visible", 1) == 1) show();
    static const char* const contentKeys[] = {"GroupContent1", "GroupContent2", "GroupContent3", "GroupContent4"};
    for (int k = 0; k < 4; ++k) {
        QComboBox* cb = selectors_[static_cast<std::size_t>(k)];
        cb->setCurrentIndex(Clamp(LoadInteger(file, s, contentKeys[k], cb->currentIndex()), 0, kSelectorItems - 1));
    }
    CopyToBuffer(gValueBuffer, sizeof gValueBuffer, LoadPChar(file, s, "FontName", "Terminal"));
    DumpFontName = gValueBuffer;
    DumpFontSize = Clamp(LoadInteger(file, s, "FontSize", 9), kFontSizeMin, kFontSizeMax);
    DumpFontBold = LoadInteger(file, s, "FontStyle", 1) == 1;
    CheckBox1->setChecked(DumpFontBold);
    SpinEdit1->setValue(DumpFontSize);
    ShowDumpFont();
    for (int m = 1; m <= 3; ++m)
        for (int b = 2; b <= 4; ++b) {
            CopyToBuffer(gKeyBuffer, sizeof gKeyBuffer, MaskKey(m, b));
            const QString cell = QString::fromUtf8(LoadPChar(file, s, gKeyBuffer, kMaskAny));
            SetCell(SGMASK, b - 1, m, LeftChars(cell, kMaskCellLength));
        }
    for (int n = 0; n < kGroupNameCount; ++n) {
        CopyToBuffer(gKeyBuffer, sizeof gKeyBuffer, NumberedKey("Color", n));
        const auto def = static_cast<int32_t>(DefaultGroupColors[static_cast<std::size_t>(n)]);
        GroupColors[static_cast<std::size_t>(n)] = ColorOrDefault(LoadInteger(file, s, gKeyBuffer, def), n);
    }
    for (int n = 0; n < kSelectorItems; ++n) {
        CopyToBuffer(gKeyBuffer, sizeof gKeyBuffer, NumberedKey("ShowGroup", n));
        CLBSHOW->item(n)->setCheckState(LoadInteger(file, s, gKeyBuffer, 0) == 1 ? Qt::Checked : Qt::Unchecked);
    }
    CBBG->setCurrentIndex(Clamp(LoadInteger(file, s, "BackgroudColor", 0), 0, CBBG->count() - 1));
    SELINES->setValue(Clamp(LoadInteger(file, s, "MaxLines", 80000), kLinesMin, kLinesMax));
    if (LoadInteger(file, s, "Limit", 1) == 1)
        RBLIMIT->setChecked(true);
    else
        RBNOLIMIT->setChecked(true);
    PageControl1->setCurrentIndex(Clamp(LoadInteger(file, s, "Page", PageControl1->currentIndex()), 0, kPageCount - 1));
    RBLIMITClick();
    FontPreview();
    CBBGChange();
    UpdateFormats();
    FitToFont();
    orvane::KeepOnScreen(this);
}

void TForm1::Publish(const char* key, const std::string& value) {
    CopyToBuffer(gValueBuffer, sizeof gValueBuffer, value);
    AddValue(key, gValueBuffer, HostRef);
}

void TForm1::Publish(const std::string& key, const std::string& value) {
    CopyToBuffer(gKeyBuffer, sizeof gKeyBuffer, key);
    CopyToBuffer(gValueBuffer, sizeof gValueBuffer, value);
    AddValue(gKeyBuffer, gValueBuffer, HostRef);
}

// Groups ---------------------------------------------------------------------------

void TForm1::ProcessGroup(const TRDSGroupRec& group) {
    const int index = orvane::GroupTypeIndex(group.BlockB);
    const TFormatRef& format = formats_[static_cast<std::size_t>(index)];
    const QString header = QString::fromLatin1(HeaderLine(group));
    for (std::size_t k = 0; k < 4; ++k) {
        if (selectors_[k]->currentIndex() != index && !MaskMatch(group, static_cast<int>(k) + 1)) continue;
        AppendLine(memos_[k], TTextWindow::Memo, header, format);
        counterLabels_[k]->setText(QString::number(++lineCounts_[k]));
    }

    LimitLines(RichEdit1, TTextWindow::Sequence);
    const TGroupSequence::TStep step = sequence_.Add(index);
    RichEdit1->InsertText(QString::fromLatin1(step.entry), format);
    if (step.newBest) Publish("GroupSequence", sequence_.BestValue());
    if (step.lineComplete) RichEdit1->BreakLine();

    if (ShowTicked(index) || MaskMatch(group, 5)) {
        AppendLine(RichEdit2, TTextWindow::FullContent, QString::fromLatin1(FullContent(group)), format);
        LCNT5->setText(QString::number(++lineCounts_[4]));
    }

    DetectGroup(index);
    GrpStat(index);
    if (index == 6) { // 3A
        AIDStat(group);
        AIDContent(group);
    }
}

void TForm1::LimitLines(TLineView* window, TTextWindow kind) {
    const TLineLimit r = kelmira::LimitLines(window->LineCount(), kind, RBLIMIT->isChecked(), SELINES->value());
    if (r.clear)
        window->Clear();
    else
        window->DropFirstLines(r.dropFirst);
}

void TForm1::AppendLine(TLineView* window, TTextWindow kind, const QString& text, const TFormatRef& format) {
    LimitLines(window, kind);
    window->AppendLine(text, format);
}

void TForm1::UpdateFormats() {
    for (std::size_t i = 0; i < formats_.size(); ++i)
        formats_[i] = MakeLineFormat(ToQColor(GroupColors[i]), DrawnFont(DumpFontName, DumpFontSize, DumpFontBold),
                                     QString::fromStdString(DumpFontName));
    // The ODA AID lines keep their own font and take the 3A colour.
    aidFormat_ = MakeLineFormat(ToQColor(GroupColors[6]), RichEdit3->font(), "Fixedsys");
}

void TForm1::ResetAll() {
    sequence_.Reset();
    Button14Click();
    Button11Click();
    detector_.Reset(); // the next detector tick unticks every item
    for (TLineView* w : textWindows_) w->Clear();
    lineCounts_.fill(0);
    for (QLabel* l : counterLabels_) l->setText("0");
}

// Buttons --------------------------------------------------------------------------

void TForm1::ClearMemo(int k) {
    const auto i = static_cast<std::size_t>(k);
    memos_[i]->Clear();
    lineCounts_[i] = 0;
    counterLabels_[i]->setText("0");
}

void TForm1::Button5Click() {
    RichEdit1->Clear();
    sequence_.Restart();
}

void TForm1::Button6Click() {
    RichEdit2->Clear();
    lineCounts_[4] = 0;
    LCNT5->setText("0");
}

void TForm1::Button11Click() {
    stats_.ClearAids();
    for (int r = 1; r <= 16; ++r)
        for (int c = 0; c < 4; ++c) SetCell(SGAID, c, r, QString());
    RichEdit3->Clear();
}

void TForm1::Button14Click() {
    stats_.ClearGroups();
    for (QTableWidget* g : {SGA, SGB})
        for (int r = 1; r <= 16; ++r) {
            SetCell(g, 1, r, QString());
            SetCell(g, 2, r, QString());
        }
}

void TForm1::SaveWindow(TLineView* window) {
    saveSource_ = window;
    if (!SaveDialog1) {
        SaveDialog1 = new QFileDialog(this);
        SaveDialog1->setObjectName("SaveDialog1");
        SaveDialog1->setAcceptMode(QFileDialog::AcceptSave);
        SaveDialog1->setFileMode(QFileDialog::AnyFile);
        SaveDialog1->setNameFilters(QString(kSaveFilter).split(";;"));
        // The suffix is added before the dialog asks about overwriting, so it
        // asks about the file that will be written.
        auto suffixFor = [this](const QString& selected) {
            SaveDialog1->setDefaultSuffix(QString::fromStdString(
                orvane::FilterExtension(kSaveFilter, SaveDialog1->nameFilters().indexOf(selected))));
        };
        suffixFor(SaveDialog1->selectedNameFilter());
        connect(SaveDialog1, &QFileDialog::filterSelected, this, suffixFor);
        connect(SaveDialog1, &QFileDialog::fileSelected, this, [this](const QString& name) {
            // A name typed without an extension is saved in the chosen filter's format.
            const int filter = static_cast<int>(SaveDialog1->nameFilters().indexOf(SaveDialog1->selectedNameFilter()));
            const std::string file = orvane::WithFilterExtension(name.toStdString(), kSaveFilter, filter);
            if (saveSource_) WriteWindow(saveSource_, QString::fromStdString(file));
        });
    }
    // Where the last save went, as the host's save dialogs do; at first the
    // documents folder, made when a fresh account has none yet.
    QString folder = saveFolder_;
    if (folder.isEmpty() || !QDir(folder).exists()) {
        folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
        if (folder.isEmpty() || !QDir().mkpath(folder)) folder = QDir::homePath();
    }
    SaveDialog1->setDirectory(folder);
    // Window-modal and not blocking: the file name comes back by signal.
    SaveDialog1->open();
}

void TForm1::WriteWindow(TLineView* window, const QString& fileName) {
    const TTextDocument doc = window->Document();
    const std::string path = fileName.toStdString();
    const std::string bytes = IsRtfFileName(path) ? RichText(doc) : PlainText(doc);
    // A failed save leaves the old file, if any, whole, and says so: the
    // dialog has gone, and nothing else would tell that no file was written.
    QSaveFile out(fileName);
    if (out.open(QIODevice::WriteOnly)) {
        out.write(bytes.data(), static_cast<qint64>(bytes.size()));
        if (out.commit()) {
            saveFolder_ = QFileInfo(fileName).absolutePath();
            return;
        }
    }
    ShowMessage(QString("Can't write to the file %1.\nChoose another folder or name.").arg(fileName));
}

// Setup page -----------------------------------------------------------------------

void TForm1::ListBox1Click() {
    const int i = ListBox1->currentRow();
    if (i >= 0 && i < kGroupNameCount) ColorBox1->SetSelected(GroupColors[static_cast<std::size_t>(i)]);
}

void TForm1::ColorBox1Change() {
    const int i = ListBox1->currentRow();
    if (i < 0 || i >= kGroupNameCount) return;
    GroupColors[static_cast<std::size_t>(i)] = ColorBox1->Selected();
    UpdateFormats();
}

void TForm1::CBBGChange() {
    const QColor c = ToQColor(CBBG->Selected());
    for (TLineView* w : textWindows_) {
        QPalette p = w->palette();
        p.setColor(QPalette::Base, c);
        w->setPalette(p);
    }
}

void TForm1::FontPreview() {
    // With no font chosen in the list the sample shows the dump font.
    const QString chosen = ComboBox1->currentText();
    QFont f = DrawnFont(chosen.isEmpty() ? DumpFontName : chosen.toStdString(), SpinEdit1->value(),
                        CheckBox1->isChecked());
    STTS->setFont(f);
}

void TForm1::Button15Click() {
    // The list may show the family drawn for a font no system has; the
    // stored name stays until the user picks another font.
    const QString chosen = ComboBox1->currentText();
    if (!chosen.isEmpty() && ComboBox1->currentIndex() != fontStandIn_) DumpFontName = chosen.toStdString();
    DumpFontSize = SpinEdit1->value();
    DumpFontBold = CheckBox1->isChecked();
    UpdateFormats();
    FitToFont();
    orvane::KeepOnScreen(this);
}

void TForm1::ShowDumpFont() {
    const QString name = QString::fromStdString(DumpFontName);
    int i = ComboBox1->findText(name, Qt::MatchExactly | Qt::MatchCaseSensitive);
    int standIn = -1;
    if (i < 0) {
        const QString drawn = QFontInfo(DrawnFont(DumpFontName, DumpFontSize, DumpFontBold)).family();
        i = standIn = ComboBox1->findText(drawn, Qt::MatchFixedString);
    }
    showingDumpFont_ = true;
    ComboBox1->setCurrentIndex(i);
    showingDumpFont_ = false;
    fontStandIn_ = standIn;
}

void TForm1::RBLIMITClick() {
    // Limited to the window: no vertical scroll bar, else always one. A
    // sideways one only where a line is wider than its window, which a
    // large dump font on a small screen makes.
    const Qt::ScrollBarPolicy policy = RBLIMIT->isChecked() ? Qt::ScrollBarAlwaysOff : Qt::ScrollBarAlwaysOn;
    for (TLineView* w : textWindows_) {
        w->setVerticalScrollBarPolicy(policy);
        w->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    }
}

void TForm1::SELINESExit() {
    if (SELINES->cleanText().trimmed().isEmpty()) SELINES->setValue(kLinesMin);
}

// Full content, masks and search ------------------------------------------------

void TForm1::AIDContent(const TRDSGroupRec& group) {
    AppendLine(RichEdit3, TTextWindow::AidContent, QString::fromLatin1(AIDContentLine(group)), aidFormat_);
}

bool TForm1::ShowTicked(int item) const { return CLBSHOW->item(item)->checkState() == Qt::Checked; }

bool TForm1::MaskMatch(const TRDSGroupRec& group, int view) const {
    std::array<bool, kMaskCount> tested{};
    if (view >= 1 && view <= 4) {
        const int item = selectors_[static_cast<std::size_t>(view - 1)]->currentIndex();
        if (item >= 33 && item <= 35) tested[static_cast<std::size_t>(item - 33)] = true;
    } else if (view == 5) {
        for (int m = 0; m < kMaskCount; ++m) tested[static_cast<std::size_t>(m)] = ShowTicked(33 + m);
    }
    return kelmira::MaskMatch(group, maskTexts_, tested);
}

void TForm1::UpdateMasks() {
    for (int m = 1; m <= kMaskCount; ++m) {
        std::array<std::string, 3> cells;
        for (int c = 1; c <= 3; ++c) cells[static_cast<std::size_t>(c - 1)] = MaskCell(CellText(SGMASK, c, m));
        maskTexts_[static_cast<std::size_t>(m - 1)] = MaskText(cells);
    }
}

void TForm1::Button7Click() {
    for (int n = 0; n < CLBSHOW->count(); ++n) CLBSHOW->item(n)->setCheckState(Qt::Checked);
}

void TForm1::Button8Click() {
    for (int n = 0; n < CLBSHOW->count(); ++n) CLBSHOW->item(n)->setCheckState(Qt::Unchecked);
}

bool TForm1::SGMASKKeyPress(int cellLength, const QKeyEvent* event) const {
    const QString text = event->text();
    if (text.isEmpty()) return false;
    const char16_t key = text.at(0).unicode();
    // Enter, Escape, Delete and shortcuts are no typed characters.
    if (key != 8 && (key < 32 || key == 127)) return false;
    return !MaskKeyAllowed(cellLength, key);
}

void TForm1::SGMASKExit() {
    for (int m = 1; m <= kMaskCount; ++m)
        for (int c = 1; c <= 3; ++c) {
            const QString cell = CellText(SGMASK, c, m);
            if (cell.size() < kMaskCellLength) SetCell(SGMASK, c, m, cell + QString(kMaskCellLength - cell.size(), '?'));
        }
}

void TForm1::Button16Click() {
    const QString needle = Edit1->text();
    if (needle.isEmpty()) return;
    Edit1->selectAll();
    const QString text = RichEdit2->toPlainText();
    const int start = RichEdit2->SelLength() > 0 ? RichEdit2->SelStart() + RichEdit2->SelLength() : 0;
    auto at = text.indexOf(needle, start, Qt::CaseInsensitive);
    if (at < 0 && start > 0) at = text.indexOf(needle, 0, Qt::CaseInsensitive); // once more from the top
    if (at >= 0) {
        RichEdit2->setFocus();
        RichEdit2->SetSelection(static_cast<int>(at), static_cast<int>(needle.size()));
        RichEdit2->ShowOffset(static_cast<int>(at));
    } else {
        ShowMessage("Not found.");
    }
    Button[16]->setFocus();
}

void TForm1::Edit1KeyPress() {
    Button16Click();
    Edit1->setFocus();
}

void TForm1::Edit1Enter() { Edit1->selectAll(); }

// Statistics ---------------------------------------------------------------------

void TForm1::GrpStat(int typeIndex) {
    if (stats_.GrpStat(typeIndex, PageControl1->currentIndex() == kStatisticsPage)) RefreshGroupStatistics();
}

void TForm1::RefreshGroupStatistics() {
    const int total = stats_.Total();
    for (int r = 1; r <= 16; ++r)
        for (int version = 0; version < 2; ++version) {
            const int index = 2 * (r - 1) + version;
            const int counter = stats_.Counter(index);
            QTableWidget* grid = version == 0 ? SGA : SGB;
            const std::string proportion = ProportionText(counter, total);
            // An unchanged text leaves the cell alone: no repaint.
            SetCell(grid, 1, r, QString::fromLatin1(proportion));
            Publish(proportionKeys_[static_cast<std::size_t>(index)], proportion);
            SetCell(grid, 2, r, QString::fromLatin1(RateText(counter, total)));
        }
}

void TForm1::AIDStat(const TRDSGroupRec& group) {
    if (!TGroupStatistics::AidQualifies(group)) return;
    const int empty = stats_.FirstEmptyRow();
    if (empty >= 0) RemoveAID(empty);
    const auto aid = static_cast<uint16_t>(group.BlockD);
    const int r = AddAID(aid);
    const int total = stats_.Total();
    for (int n = 1; n <= stats_.RowCount(); ++n) {
        const int counter = stats_.Row(n - 1).counter;
        const std::string proportion = ProportionText(counter, total);
        SetCell(SGAID, 1, n, QString::fromLatin1(proportion));
        Publish(aidKeys_[static_cast<std::size_t>(n - 1)].proportion, proportion);
        SetCell(SGAID, 2, n, QString::fromLatin1(RateText(counter, total)));
    }
    if (r < 0) return;
    const int app = group.BlockB & 31;
    stats_.SetAppGroup(r, app);
    SetCell(SGAID, 3, r + 1, GroupName(app));
    Publish(aidKeys_[static_cast<std::size_t>(r)].appGroup, GroupName(app));
    Publish(aidKeys_[static_cast<std::size_t>(r)].aid, BlockHex(aid));
}

int TForm1::AddAID(uint16_t aid) {
    const int before = stats_.RowCount();
    const int r = stats_.AddAID(aid);
    if (stats_.RowCount() > before) SetCell(SGAID, 0, stats_.RowCount(), QString::fromLatin1(BlockHex(aid)));
    return r;
}

void TForm1::RemoveAID(int row) {
    if (!stats_.RemoveAID(row)) return;
    for (int g = row + 1; g < 16; ++g)
        for (int c = 0; c < 4; ++c) SetCell(SGAID, c, g, CellText(SGAID, c, g + 1));
    for (int c = 0; c < 4; ++c) SetCell(SGAID, c, 16, QString());
    // The rows' keys follow the table, so a reader never sees a row's AID
    // beside another row's counts; the row that fell free is emptied.
    for (int n = 0; n < stats_.RowCount(); ++n) {
        const TGroupStatistics::TAidRow& r = stats_.Row(n);
        Publish(aidKeys_[static_cast<std::size_t>(n)].aid, BlockHex(r.aid));
        Publish(aidKeys_[static_cast<std::size_t>(n)].appGroup, GroupName(r.appGroup));
    }
    const TAidKeys& vacated = aidKeys_[static_cast<std::size_t>(stats_.RowCount())];
    for (const std::string* key : {&vacated.proportion, &vacated.appGroup, &vacated.aid}) Publish(*key, std::string());
}

// Group detector -----------------------------------------------------------------

void TForm1::SetDetectorItem(int item, bool ticked) {
    QListWidgetItem* it = CLBGD->item(item);
    const Qt::CheckState state = ticked ? Qt::Checked : Qt::Unchecked;
    if (!it || it->checkState() == state) return;
    detectorUpdating_ = true;
    it->setCheckState(state);
    detectorUpdating_ = false;
}

void TForm1::DetectGroup(int typeIndex) {
    const int item = detector_.DetectGroup(typeIndex);
    if (item >= 0) SetDetectorItem(item, true);
}

void TForm1::TimerGDTimer() {
    const uint32_t untick = detector_.Tick();
    for (int i = 0; i < TGroupDetector::kItems; ++i)
        if (untick & (1u << i)) SetDetectorItem(i, false);
}

void TForm1::CLBGDClickCheck() {
    for (int i = 0; i < TGroupDetector::kItems; ++i) SetDetectorItem(i, detector_.Active(i));
}

} // namespace kelmira
