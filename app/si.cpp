#include "si.h"

#include "FileName.h"
#include "JpegWriter.h"
#include "PainterCanvas.h"
#include "StatusPlot.h"
#include "Unit1.h"
#include "WindowFit.h"

#include <algorithm>

#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QFontMetrics>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QStyle>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace orvane {

TFSI::TFSI(TForm1& main, AppEnv& env)
    : QWidget(&main, Qt::Window), main_(main), env_(env), status_(*this, *this, *env.clock) {
    setObjectName("FSI");
    setWindowTitle("Status Information");
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    VLESI = new QTreeWidget(this);
    VLESI->setObjectName("VLESI");
    VLESI->setColumnCount(2);
    VLESI->setHeaderLabels({"Key", "Value"});
    VLESI->setRootIsDecorated(false);
    VLESI->setSelectionBehavior(QAbstractItemView::SelectRows);
    VLESI->header()->setStretchLastSection(false);
    // At least the stored widths; wider where the font needs it for the
    // longest name and a typical long value.
    const QFontMetrics fm(VLESI->font());
    const int pad = 2 * (VLESI->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, VLESI) + 1) + 8;
    int keyWidth = 200;
    for (const std::string& name : StatusInfo::KeyNames())
        keyWidth = std::max(keyWidth, fm.horizontalAdvance(QString::fromStdString(name)) + pad);
    const int valueWidth = std::max(170, fm.horizontalAdvance("0 dB (It's probably too much)") + pad);
    VLESI->setColumnWidth(0, keyWidth);
    VLESI->setColumnWidth(1, valueWidth);
    layout->addWidget(VLESI, 1);

    // The scope on the left, its channel labels beside it; "Please wait..."
    // and the buttons on the right. Without the scope the panel is only as
    // tall as the buttons, and the list takes the room.
    Panel1 = new QWidget(this);
    Panel1->setObjectName("Panel1");
    Panel1->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    layout->addWidget(Panel1);
    auto* panel = new QHBoxLayout(Panel1);
    panel->setContentsMargins(6, 5, 8, 5);
    auto* channels = new QVBoxLayout;
    LL = new QLabel("L", Panel1);
    LL->setObjectName("LL");
    LR = new QLabel("R", Panel1);
    LR->setObjectName("LR");
    // Each beside the middle of its half of the plot.
    channels->addStretch(1);
    channels->addWidget(LL);
    channels->addStretch(2);
    channels->addWidget(LR);
    channels->addStretch(1);
    panel->addLayout(channels);
    PaintBox1 = new TPaintBox(Panel1);
    PaintBox1->setObjectName("PaintBox1");
    PaintBox1->setFixedSize(301, 200);
    PaintBox1->setAutoFillBackground(true);
    QPalette navy = PaintBox1->palette();
    navy.setColor(QPalette::Window, ToQColor(clNavy));
    PaintBox1->setPalette(navy);
    PaintBox1->OnPaint = [this] { PaintBox1Paint(); };
    panel->addWidget(PaintBox1);
    panel->addStretch(1);
    auto* right = new QVBoxLayout;
    LPW = new QLabel("Please wait...", Panel1);
    LPW->setObjectName("LPW");
    right->addWidget(LPW);
    right->addStretch(1);
    Button1 = new QPushButton("Close", Panel1);
    Button1->setObjectName("Button1");
    Button1->setDefault(true);
    Button2 = new QPushButton("Save...", Panel1);
    Button2->setObjectName("Button2");
    right->addWidget(Button1);
    right->addWidget(Button2);
    panel->addLayout(right);
    connect(Button1, &QPushButton::clicked, this, [this] { Button1Click(); });
    connect(Button2, &QPushButton::clicked, this, [this] { Button2Click(); });

    // Wide enough for both columns and the scope with the buttons, tall
    // enough for the sound card's rows above the scope.
    constexpr int kSoundCardRows = 14;
    const int listWidth = keyWidth + valueWidth + 2 * VLESI->frameWidth() +
                          VLESI->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, VLESI);
    const int rowHeight = std::max(fm.height() + 4, VLESI->sizeHintForRow(0));
    const int listHeight = VLESI->header()->sizeHint().height() + kSoundCardRows * rowHeight + 2 * VLESI->frameWidth();
    VLESI->setMinimumWidth(listWidth);
    resize(std::max(listWidth, Panel1->sizeHint().width()), listHeight + Panel1->sizeHint().height());

    Timer1 = env_.timers->Create(StatusInfo::kInterval, false);
    Timer1->OnTimer = [this] { Timer1Timer(); };
}

TFSI::~TFSI() = default;

void TFSI::showEvent(QShowEvent* e) {
    QWidget::showEvent(e);
    if (e->spontaneous()) return;
    KeepOnScreen(this);
    FormShow();
}

void TFSI::hideEvent(QHideEvent* e) {
    QWidget::hideEvent(e);
    if (!e->spontaneous()) FormHide();
}

void TFSI::keyPressEvent(QKeyEvent* e) {
    if (e->key() == Qt::Key_Escape) {
        Button1Click();
        return;
    }
    QWidget::keyPressEvent(e);
}

void TFSI::FormShow() {
    Timer1->SetEnabled(true);
    status_.Show();
}

void TFSI::FormHide() {
    Timer1->SetEnabled(false);
    status_.Hide();
}

void TFSI::Button1Click() { hide(); }

void TFSI::Timer1Timer() {
    try {
        status_.Tick();
    } catch (const std::exception& e) {
        main_.Show(e.what());
    }
}

void TFSI::PaintBox1Paint() {
    QPainter* painter = PaintBox1->Painter();
    if (!painter) return;
    PainterCanvas canvas(*painter);
    try {
        PaintStatusPlot(canvas, PaintBox1->width(), PaintBox1->height(),
                        main_.SourceNumber() == TForm1::kSourceSoundCard && !main_.Playing(), Scope(),
                        status_.Left(), status_.Right());
    } catch (const std::exception& e) {
        // A pass cut short must not keep this paint event's canvas.
        plot::InitPlotLibrary();
        main_.Show(e.what());
    }
}

void TFSI::Button2Click() {
    const std::string start = saveFolder_.empty() ? main_.DocumentsFolder() : saveFolder_;
    const std::string file = main_.AskSaveFile("JPEG Image (*.jpg)", start + "status.jpg");
    if (file.empty()) return;
    saveFolder_ = FolderOf(file);
    // The window's client area as it is on screen.
    const QImage image = grab().toImage();
    std::string error;
    if (!WriteJpeg(image, file, 95, error)) env_.modal->Message(this, "Cannot save " + file + ": " + error);
}

StatusReadings TFSI::ReadStatus() const {
    StatusReadings r;
    r.groups = main_.GroupsThisSecond();
    r.source = main_.SourceNumber();
    r.playing = main_.Playing();
    r.lastResync = main_.Decoder().LastResync();
    r.bits = main_.Ring().BitsOffered();
    r.ones = main_.Ring().OnesOffered();
    SerialReceiver& serial = main_.Sources().Serial();
    r.lastInputByte = serial.LastByte();
    r.inputGood = serial.LastByteValid();
    r.portOpen = serial.ScComm1().IsOpen();
    r.comPort = main_.SerialComPort();
    const SlicerFigures& f = main_.Slicer().Figures();
    r.buffers = f.buffers;
    r.balance = f.correction;
    r.samples = f.frames;
    r.peakLeft = f.peak1;
    r.peakRight = f.peak2;
    r.bitRate = f.bitRate;
    r.inverted = main_.Slicer().settings.invert;
    r.encoderInput = main_.Slicer().settings.mono;
    r.frameRate = main_.Slicer().WaveIn1().FrameRate();
    r.bufferSize = main_.Slicer().WaveIn1().BufferSize();
    // The device link counts the characters of its replies in place of bits.
    if (r.source == TForm1::kSourceDevice) r.bits = main_.ReceivedCharacters();
    r.deviceKind = main_.Source().deviceType;
    return r;
}

void TFSI::ZeroRateCounters() {
    main_.ResetGroupsThisSecond();
    main_.Ring().ResetCounters();
    SlicerFigures& f = main_.Slicer().Figures();
    f.buffers = f.correction = f.frames = 0;
    main_.ResetReceivedCharacters();
}

void TFSI::ZeroSerialInput() { main_.Sources().Serial().ClearLastByte(); }

void TFSI::ZeroPeaks() {
    SlicerFigures& f = main_.Slicer().Figures();
    f.peak1 = f.peak2 = 0;
}

static_assert(SlicerFigures::kScope == ScopeSamples::kCount);

const ScopeSamples& TFSI::Scope() const {
    const SlicerFigures& f = main_.Slicer().Figures();
    std::copy(f.scope1.begin(), f.scope1.end(), scope_.left.begin());
    std::copy(f.scope2.begin(), f.scope2.end(), scope_.right.begin());
    return scope_;
}

void TFSI::ClearRows() { VLESI->clear(); }

void TFSI::SetRow(const std::string& name, const std::string& value) {
    const QString key = QString::fromStdString(name);
    for (int i = 0; i < VLESI->topLevelItemCount(); ++i) {
        QTreeWidgetItem* item = VLESI->topLevelItem(i);
        if (item->text(0) == key) {
            item->setText(1, QString::fromStdString(value));
            return;
        }
    }
    new QTreeWidgetItem(VLESI, {key, QString::fromStdString(value)});
}

std::string TFSI::RowValue(const std::string& name) const {
    const QString key = QString::fromStdString(name);
    for (int i = 0; i < VLESI->topLevelItemCount(); ++i)
        if (VLESI->topLevelItem(i)->text(0) == key) return VLESI->topLevelItem(i)->text(1).toStdString();
    return {};
}

std::vector<std::string> TFSI::RowNames() const {
    std::vector<std::string> names;
    for (int i = 0; i < VLESI->topLevelItemCount(); ++i) names.push_back(VLESI->topLevelItem(i)->text(0).toStdString());
    return names;
}

void TFSI::SetScopeVisible(bool visible) {
    PaintBox1->setVisible(visible);
    LL->setVisible(visible);
    LR->setVisible(visible);
}

bool TFSI::ScopeVisible() const { return !PaintBox1->isHidden(); }

void TFSI::SetWaitVisible(bool visible) { LPW->setVisible(visible); }

void TFSI::RepaintScope() { PaintBox1->update(); }

} // namespace orvane
