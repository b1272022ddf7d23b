#include "Unit1.h"
#include "GradBand.h"
#include "GradButton.h"
#include "SeekTrackBar.h"

#include "FileInformation.h"
#include "FileName.h"
#include "OrvaneApp.h"
#include "about.h"
#include "dd.h"
#include "freq.h"
#include "opt.h"
#include "si.h"
#include "src.h"
#include "veltutil.h"
#include "Workspace.h"
#include "WindowFit.h"

#include <QAction>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>
#include <QComboBox>
#include <QCoreApplication>
#include <QIcon>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPushButton>
#include <QSignalBlocker>
#include <QFile>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QWindow>

#include <orvane/selvat.h>
#include "ValueTable.h"

// Resources of a static library are registered by hand.
static void InitSeekBarResources() { Q_INIT_RESOURCE(seekbar); }

#include <algorithm>
#include <cmath>

#include <cstdio>
#include <filesystem>

namespace orvane {

bool IsOptionArgument(const std::string& arg) {
    if (!arg.empty() && arg[0] == '-') return true;
    const QString a = QString::fromStdString(arg);
    return a.startsWith(QLatin1String("/WS:"), Qt::CaseInsensitive) ||
           a.startsWith(QLatin1String("/C:SOC:"), Qt::CaseInsensitive);
}

std::string CommandLineFile(const std::vector<std::string>& args) {
    if (args.size() != 1 || args[0].empty() || IsOptionArgument(args[0])) return {};
    return args[0];
}

TForm1::TForm1(AppEnv& env, AppForms& forms)
    : env_(env), forms_(forms), decoder_(*env.clock, *options_, *this),
      plugins_(env.pluginLoader ? env.pluginLoader() : nullptr),
      player_(*this, *env.clock, *env.timers), recorder_(*this, *env.clock),
      // "EXIT" arrives inside a socket's read event or a poll tick; the
      // window closes once that has returned.
      groupLines_(*env.clock, [this] { Clear1Click(); },
                  [this] { QMetaObject::invokeMethod(this, &QWidget::close, Qt::QueuedConnection); }),
      stream_(*this, player_, *env.clock, env.sleep),
      deviceLink_(*this, env.deviceLibrary, *env.clock, *env.timers, env.sleep),
      sources_(*this, *this, env.sleep, &deviceLink_),
      reports_(*this, *env.clock) {
    player_.SetStream(&stream_);
    ClearValueTable(valueTable_);
    setObjectName("Form1");
    setWindowTitle("Orvane");
    setWindowIcon(QIcon(QStringLiteral(":/orvane/orvane.png")));
    setWindowFlags(Qt::Window | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint);
    timerFirstStart_ = env_.timers->Create(500, true);
    timerFirstStart_->OnTimer = [this] { TimerFirstStartTimer(); };
    timerStatus_ = env_.timers->Create(5000, false);
    timerStatus_->OnTimer = [this] { TimerStatusTimer(); };
    ITimerFactory& threaded = env_.threadedTimers ? *env_.threadedTimers : *env_.timers;
    timerRDSDecoder_ = threaded.Create(87, false);
    timerRDSDecoder_->OnTimer = [this] { TimerRDSDecoderTimer(); };
    timerTimeout_ = env_.timers->Create(30000, false);
    timerTimeout_->OnTimer = [this] { TimerTimeoutTimer(); };
    timerCommand_ = env_.timers->Create(200, true);
    timerCommand_->OnTimer = [this] { TimerCommandTimer(); };
    timerNoSync_ = env_.timers->Create(3000, false);
    timerNoSync_->OnTimer = [this] { TimerNoSyncTimer(); };
    psChars_.fill("-");
    std::fill(std::begin(quality_), std::end(quality_), -1);
    FormCreate();
}

TForm1::~TForm1() = default;

void TForm1::FormCreate() {
    // Decoder constants are fixed in GroupDecoder; only the resync text is state.
    decoder_.ClearLastResync();
    setAcceptDrops(true);

    srcNum_ = kSourceNone;

    programFolder_ = ProgramFolderOf(env_.programPath);
    dataFolder_ = GetDataFolder(false, true, env_.programPath);
    documentsFolder_ = GetDocumentsFolder(env_.programPath);
    ISettingsHost& host = *this;
    settings_ = std::make_unique<WorkspaceManager>(host, dataFolder_, documentsFolder_, programFolder_, env_.args);
    dialogState_ = Workspace::Defaults(documentsFolder_, programFolder_);
    // Serial ports named "COMn" may be linked there.
    ScSetUserDataFolder(dataFolder_);
    reports_.SetReportFolder(dialogState_.reportDir);
    workspaceOpenDir_ = workspaceSaveDir_ = dataFolder_;

    BuildDisplay();
    BuildMenu();

    plugins_.FindPlugins(programFolder_ + "plugins/", reinterpret_cast<intptr_t>(static_cast<QWidget*>(this)),
                         &valueTable_, [this](const std::string& m) { Show(m); });
    const auto& list = plugins_.Plugins();
    for (size_t i = 0; i < list.size(); ++i) {
        // A plug-in whose Initialize failed gets no commands, so items
        // that would send it some would do nothing.
        if (!list[i].hasCommand || !list[i].initialised) continue;
        const int index = static_cast<int>(i);
        // Plain text: Qt would read "&" in a display name as a mnemonic.
        QString caption = QString::fromStdString(list[i].displayName).replace("&", "&&");
        pluginsMenu_->addAction(caption, this, [this, index] { miPluginsClick(index); });
        viewMenu_->addAction(caption, this, [this, index] { miShowHideClick(index); });
    }
    pluginsMenu_->setEnabled(!pluginsMenu_->isEmpty());

    for (int i = 0; i <= 205; ++i) {
        char text[8];
        std::snprintf(text, sizeof text, "%d.%d", (875 + i) / 10, (875 + i) % 10);
        CBFREQ->addItem(QString::fromLatin1(text));
    }
}

void TForm1::BuildDisplay() {
    using controls::TGradBand;
    using controls::TGradButton;
    auto* central = new QWidget(this);
    central->setFixedSize(426, 128);

    auto band = [&](const char* name, int top, int height, controls::TFillDirection direction) {
        auto* b = new TGradBand(central);
        b->setObjectName(name);
        b->setGeometry(8, top, 288, height);
        b->SetBeginColor(4333326);
        b->SetEndColor(clPurple);
        b->SetNumberOfColors(127);
        b->SetCaption(" ");
        QFont f = b->Font();
        f.setPointSize(8);
        b->SetFont(f);
        b->SetFillDirection(direction);
        return b;
    };
    GradBand1 = band("GradBand1", 8, 25, controls::fdRightToLeft);
    GradBand2 = band("GradBand2", 33, 32, controls::fdLeftToRight);
    // The flat display: one plain panel in the display's dark colour where
    // the bands are, so the opaque labels on it read as one display.
    auto* flat = new QWidget(central);
    flat->setObjectName("FlatLCD");
    flat->setGeometry(GradBand1->geometry().united(GradBand2->geometry()));
    flat->setAutoFillBackground(true);
    QPalette dark = flat->palette();
    dark.setColor(QPalette::Window, ToQColor(4333326));
    flat->setPalette(dark);
    flat->hide();

    auto label = [&](const char* name, const char* text, const char* hint, QRect at) {
        auto* l = new QLabel(QString::fromLatin1(text), central);
        l->setObjectName(name);
        l->setToolTip(QString::fromLatin1(hint));
        l->setStatusTip(QString::fromLatin1(hint));
        l->setGeometry(at);
        // White on the display; the flat display fills behind it in the
        // bands' dark colour.
        QPalette lcd = l->palette();
        lcd.setColor(QPalette::WindowText, Qt::white);
        lcd.setColor(QPalette::Window, ToQColor(4333326));
        l->setPalette(lcd);
        return l;
    };
    LPS = label("LPS", "--------", "Program Service name", {12, 8, 180, 25});
    LPI = label("LPI", "----", "Program Identification", {200, 8, 92, 25});
    LBER = label("LBER", "no sync", "Block error rate", {12, 34, 130, 15});
    LGR = label("LGR", "0", "Number of received groups", {12, 49, 130, 15});
    LPLAY = label("LPLAY", "PLAY", "Playing", {200, 34, 60, 15});
    LEND = label("LEND", "END", "The playback has ended", {200, 34, 60, 15});
    LPAUSE = label("LPAUSE", "Pause", "Playback paused", {200, 49, 60, 15});
    // The recording's name shares its row with "Pause", which stays on top.
    LREC = label("LREC", "REC", "Recording", {262, 34, 34, 15});
    LRFN = label("LRFN", "filename", "", {146, 49, 110, 15});
    LPAUSE->raise();
    LEND->hide();
    LPLAY->hide();
    LPAUSE->hide();
    LREC->hide();
    LRFN->hide();
    QFont big = LPI->font();
    big.setPointSize(14);
    big.setBold(true);
    LPI->setFont(big);
    LPS->setFont(big);

    CBFREQ = new QComboBox(central);
    CBFREQ->setObjectName("CBFREQ");
    CBFREQ->setStatusTip("Frequency in MHz");
    CBFREQ->setGeometry(8, 72, 90, 25);
    // As the frequency dialog's list: 16 of the 206 frequencies at a time.
    LimitDropDown(CBFREQ, 16);

    TBSpeed = new controls::TSeekTrackBar(central, env_.timers);
    TBSpeed->setObjectName("TBSpeed");
    TBSpeed->SetMin(-3);
    TBSpeed->SetMax(2);
    TBSpeed->SetPosition(0);
    TBSpeed->SetPageSize(1);
    TBSpeed->setStatusTip("Playback speed");
    TBSpeed->setGeometry(106, 72, 190, 25);
    connect(TBSpeed, &controls::TSeekTrackBar::OnChange, this, [this] {
        player_.TBSpeedChange(TBSpeed->Position(), TBSpeed->hasFocus());
    });
    BuildSeekBar(central);

    // The key block: 57 x 25 keys in two columns.
    auto button = [&](const char* name, const char* caption, const char* hint, int column, int row,
                      int frame, bool bold, auto&& onClick) {
        auto* b = new TGradButton(central);
        b->setObjectName(name);
        b->SetCaption(QString::fromLatin1(caption));
        b->setStatusTip(QString::fromLatin1(hint));
        b->setGeometry(304 + column * 61, 8 + row * 29, 57, 25);
        b->SetBeginColor(13160660);
        b->SetEndColor(clWhite);
        b->SetTextStyle(controls::tsInset);
        b->SetBtnFrameSize(frame);
        QFont f = b->font();
        f.setPointSize(8);
        f.setBold(bold);
        b->setFont(f);
        connect(b, &TGradButton::OnClick, this, onClick);
        return b;
    };
    BBPLAY = button("BBPLAY", "PLAY...", "Play a file", 0, 0, 2, true, [this] { PlayFile1Click(); });
    BBPSTOP = button("BBPSTOP", "STOP", "Stop playback", 1, 0, 2, true, [this] { player_.BBPSTOPClick(); });
    BBREC = button("BBREC", "REC", "Start recording", 0, 1, 2, true, [this] { BBRECClick(); });
    BBSTOP = button("BBSTOP", "STOP", "Stop recording", 1, 1, 2, true, [this] { BBSTOPClick(); });
    BBRECFN = button("BBRECFN", "...", "Change the recording file name", 0, 2, 1, true, [this] { BBRECFNClick(); });
    GradButton1 = button("GradButton1", "Reset", "Reset the decoded data", 1, 2, 2, true, [this] { Clear1Click(); });
    BBTUNE = button("BBTUNE", "Tune", "Tune to the selected frequency", 0, 3, 1, false,
                    [this] { deviceLink_.BBTUNEClick(CBFREQ->currentIndex()); });
    GradButton2 = button("GradButton2", "", "", 1, 3, 1, true, [] {});
    GradButton2->SetBeginColor(clSilver);
    GradButton2->setEnabled(false);
    setCentralWidget(central);

    auto* bar = new QStatusBar(this);
    bar->setObjectName("StatusBar1");
    bar->setSizeGripEnabled(false);
    bar->installEventFilter(this);
    connect(bar, &QStatusBar::messageChanged, this, &TForm1::StatusMessageChanged);
    setStatusBar(bar);
    layout()->setSizeConstraint(QLayout::SetFixedSize);
}

void TForm1::ApplyFlatLCD(bool flat) {
    if (!flat) return;
    GradBand1->hide();
    GradBand2->hide();
    if (auto* panel = findChild<QWidget*>("FlatLCD")) panel->show();
    // Opaque labels need no repaint of what lies beneath them.
    for (const char* name : {"LPS", "Label1", "LPI", "Label3", "LBER", "Label2", "LGR", "LRFN", "LREC", "LPLAY",
                             "LPAUSE", "LEND"})
        if (auto* label = findChild<QLabel*>(name)) label->setAutoFillBackground(true);
    ATB->SetTransparent(false);
}

// The seeking bar as its form entry lays it out: the pictures are read
// first, so the sizes written after them give way to the pictures' own.
void TForm1::BuildSeekBar(QWidget* parent) {
    using controls::TGpPicture;
    InitSeekBarResources();
    ATB = new controls::TSeekTrackBar(parent, env_.timers);
    ATB->setObjectName("ATB");
    ATB->BeginLoading();
    ATB->setGeometry(8, 100, 288, 22);
    auto read = [](TGpPicture* picture, const char* name) {
        QFile file(QStringLiteral(":/seekbar/%1.png").arg(QLatin1String(name)));
        if (file.open(QIODevice::ReadOnly)) picture->ReadData(&file);
    };
    controls::TTrackBarThumb* thumb = ATB->Thumb();
    read(thumb->Picture(), "Thumb");
    read(thumb->PictureHot(), "ThumbHot");
    read(thumb->PictureDown(), "ThumbDown");
    thumb->SetSize(10);
    thumb->SetWidth(20);
    thumb->SetBorderColor(9262895);
    controls::TTrackBarButtons* buttons = ATB->Buttons();
    read(buttons->MinPicture(), "Min");
    read(buttons->MinPictureHot(), "MinHot");
    read(buttons->MinPictureDown(), "MinDown");
    read(buttons->MaxPicture(), "Max");
    read(buttons->MaxPictureHot(), "MaxHot");
    read(buttons->MaxPictureDown(), "MaxDown");
    buttons->SetSize(24);
    controls::TTrackBarSlider* slider = ATB->Slider();
    slider->SetOffset(4);
    slider->SetSize(6);
    slider->SetDirection(controls::gdVertical);
    slider->SetColor(8421504);
    slider->SetColorTo(clWhite);
    slider->SetColorCompleted(4333326);
    slider->SetColorCompletedTo(clPurple);
    slider->SetBorderColor(4333326);
    ATB->TickMark()->SetStyle(controls::tsNone);
    ATB->TickMark()->SetColor(clWhite);
    ATB->SetMax(200);
    ATB->SetTrackHint(true);
    ATB->setStatusTip("Seeking bar");
    ATB->Loaded();
    ATB->hide();

    connect(ATB, &controls::TSeekTrackBar::OnMouseDown, this, [this] { ATBMouseDown(); });
    connect(ATB, &controls::TSeekTrackBar::OnMouseMove, this, [this] { ATBMouseMove(); });
    connect(ATB, &controls::TSeekTrackBar::OnMouseUp, this, [this] { ATBMouseUp(); });
    connect(ATB, &controls::TSeekTrackBar::OnChange, this, [this] { seeking_.ATBChange(); });
    ATB->OnGetTrackHint = [this](controls::TCustomTrackBar*, int position, QString& hint) {
        ATBGetTrackHint(position, hint);
    };
}

int TForm1::SeekBarPosition() const { return ATB->Position(); }
void TForm1::SetSeekBarPosition(int position) { ATB->SetPosition(position); }
bool TForm1::SeekBarVisible() const { return !ATB->isHidden(); }
void TForm1::SetSeekBarVisible(bool visible) { ATB->setVisible(visible); }
int TForm1::SpeedPosition() const { return TBSpeed->Position(); }
void TForm1::SetSpeedPosition(int position) { TBSpeed->SetPosition(position); }

void TForm1::BuildMenu() {
    QMenuBar* bar = menuBar();
    auto item = [this](QMenu* menu, const char* name, const char* caption, const QKeySequence& key,
                       void (TForm1::*handler)(), bool enabled) {
        QAction* a = menu->addAction(QString::fromLatin1(caption));
        a->setObjectName(name);
        if (!key.isEmpty()) a->setShortcut(key);
        connect(a, &QAction::triggered, this, handler);
        a->setEnabled(enabled);
        return a;
    };
    // Items stay disabled until the part of the program behind them exists.
    QMenu* file = bar->addMenu("&File");
    item(file, "PlayFile1", "Play File...", QKeySequence("Ctrl+P"), &TForm1::PlayFile1Click, true);
    item(file, "FileInformation1", "File Information...", QKeySequence("Ctrl+I"),
         &TForm1::FileInformation1Click, true);
    item(file, "PlayLocation1", "Play Stream...", {}, &TForm1::PlayLocation1Click, true);
    item(file, "CreateReport1", "Create Report...", QKeySequence("Ctrl+R"), &TForm1::CreateReport1Click,
         true);
    file->addSeparator();
    item(file, "OpenWorkspace1", "Open Workspace...", {}, &TForm1::OpenWorkspace1Click, true);
    item(file, "SaveWorkspace1", "Save Workspace", {}, &TForm1::SaveWorkspace1Click, true);
    item(file, "SaveWorkspaceAs1", "Save Workspace As...", {}, &TForm1::SaveWorkspaceAs1Click, true);
    file->addSeparator();
    item(file, "Exit1", "Exit", {}, &TForm1::Exit1Click, true);

    viewMenu_ = bar->addMenu("&View");
    item(viewMenu_, "Data1", "Decoder Data...", {}, &TForm1::Data1Click, true);
    item(viewMenu_, "Clear1", "Reset Data", QKeySequence("Ctrl+N"), &TForm1::Clear1Click, true);
    item(viewMenu_, "MSI", "Status Information...", {}, &TForm1::MSIClick, true);
    viewMenu_->addSeparator();

    QMenu* configure = bar->addMenu("&Configure");
    item(configure, "SelectRDSInput1", "Select RDS Source...", {}, &TForm1::SelectRDSInput1Click, true);
    item(configure, "Options1", "Options...", {}, &TForm1::Options1Click, true);
    pluginsMenu_ = configure->addMenu("Plugins");
    pluginsMenu_->setObjectName("Plugins1");

    QMenu* help = bar->addMenu("&Help");
    item(help, "OrvaneHelp1", "Orvane Help...", {}, &TForm1::OrvaneHelp1Click, true);
    item(help, "About1", "About...", {}, &TForm1::About1Click, true);
}

void TForm1::AttachOptionsDialog(TDOPT& dialog) {
    dopt_ = &dialog;
    SetOptions(&dialog);
}

void TForm1::CompleteStartup() {
    LoadConfig();
    OpenWorkspace();
    UpdateCaption();
    ConnectSource();
    const QRect r = ScreenRect();
    rememberedLeft_ = r.left();
    rememberedTop_ = r.top();
    Clear1Click();
    const std::string file = CommandLineFile(env_.args);
    if (!file.empty()) PlayFile(file);
}

void TForm1::TimerFirstStartTimer() {
    timerFirstStart_->SetEnabled(false);
    if (srcNum_ == kSourceNone && !player_.Playing() && !std::filesystem::exists(dataFolder_ + "orvane.ini"))
        SelectRDSInput1Click();
}

void TForm1::FormClose() {
    if (closed_) return;
    closed_ = true;
    if (recorder_.Recording()) recorder_.StopRecordingFile();
    if (player_.Playing()) player_.StopPlayingFile();
    reports_.ChkReport();
    if (options_->SaveWorkspaceOnExit()) SaveWorkspace1Click();
    else SaveConfig();
    plugins_.SendCommandToAll("EXIT", "");
    DisconnectSource();
    plugins_.FreeDLL();
}

void TForm1::closeEvent(QCloseEvent* e) {
    try {
        FormClose();
    } catch (const std::exception& ex) {
        Show(ex.what());
    }
    e->accept();
    emit Closed();
}

SlicerSettings TForm1::SoundCardSettings() const {
    return {source_.edge, source_.rdsEnc, source_.invert, source_.threshold1, source_.threshold2};
}

void TForm1::TakeSourceSettings(const SourceSettings& s) {
    source_ = s;
    if (!slicer_.ApplySettings(SoundCardSettings(), source_.audioInDevice)) Show("Sound card error!");
}

void TForm1::DisconnectSource(int source) {
    // The source manager closes the serial receiver, the sound card or the
    // device link, stops a recording and resets the decoded data.
    sources_.DisconnectFromSource(source);
}

// Reset of the decoded data ----------------------------------------------------

void TForm1::Clear1Click() {
    ClearKeepSync();
    BasicClear();
}

void TForm1::ClearKeepSync() {
    reports_.ChkReport();
    reports_.DataReset(env_.clock->Now());
    player_.ClearEnded();
    LEND->hide();
    currentPS_ = "--------";
    confirmedPS_.clear();
    psRepeat_ = 0;
    ClearValueTable(valueTable_);
    std::fill(std::begin(quality_), std::end(quality_), -1);
    if (!player_.Playing()) shownGroupCount_ = 0;
    psChars_.fill("-");
    LPS->setText(QString::fromStdString(currentPS_));
    LGR->setText("0");
    ClearRecBuffer();
    piWatch_.Reset();
    plugins_.SendCommandToAll("RESETDATA", "");
}

void TForm1::BasicClear() {
    piText_ = "----";
    decoder_.ResetRDSSync();
    LPI->setText(QString::fromStdString(piText_));
    ring_.Empty();
    if (srcNum_ == kSourceDevice && !player_.Playing()) dropCounter_ = 3;
    SetApplicationTitle("Orvane");
    ClearSoftPISearch();
    UpdateBER("no sync");
}

std::string TForm1::ShownPI() const { return LPI->text().toStdString(); }

void TForm1::ShowSoftPI(const std::string& pi) {
    LPI->setText(QString::fromStdString(pi));
    SetApplicationTitle("Orvane - " + pi);
    plugins_.SendCommandToAll("SUPERPI", pi);
}

void TForm1::SetApplicationTitle(const std::string& title) {
    appTitle_ = title;
    // The application title is what a task bar shows for the minimised
    // program: the window's icon text. Qt's application display name would be
    // appended to the caption of every window and dialog instead.
    setWindowIconText(QString::fromStdString(title));
}

// Group fan-out -------------------------------------------------------------------

bool TForm1::Paused() const { return player_.PauseShown(); }

void TForm1::SendRDSGroup(const TRDSGroupRec& group) {
    const TRDSGroupRec g = group;
    if (player_.Playing()) dropCounter_ = 0;
    if (dropCounter_ > 0) {
        --dropCounter_;
        return;
    }
    if (Paused()) return;
    timerTimeout_->SetEnabled(false);
    timerTimeout_->SetInterval(1000 * std::clamp(options_->SignalTimeoutSeconds(), 3, 3600));
    timerTimeout_->SetEnabled(true);

    piWatch_.Check(g.BlockA, srcNum_ == kSourceDevice && !player_.Playing());
    // PIResetChecker
    if (!options_->ResetOnPIChange() && !options_->DetectPIChange()) {
        piWatch_.changed = false;
    } else if (piWatch_.changed) {
        piWatch_.changed = false;
        if (options_->ResetOnPIChange()) ClearKeepSync();
        if (options_->DetectPIChange() && recorder_.Recording()) {
            BBSTOPClick();
            if (options_->OnPIChangeItem() == 1) piWatch_.newRecordingPending = true;
        }
    }
    if (options_->ResetOnPIChange() && piWatch_.count > 0 && piWatch_.stable >= 0 && !player_.Playing()) return;

    ++groupsPerSecond_;
    plugins_.SendGroupToAll(g);
    recorder_.AddToRecBuffer(g);
    recorder_.SaveRDSGroup(g);
    BasicDecoder(g);
    LCDRefresh(g);
    if (piWatch_.newRecordingPending) {
        piWatch_.newRecordingPending = false;
        if (!recorder_.Recording()) BBRECClick();
    }
}

void TForm1::TimerTimeoutTimer() {
    if (Paused() || player_.Playing() || !LEND->isHidden() || LPI->text() == "----") return;
    if (options_->ResetOnSignalTimeout()) Clear1Click();
    if (options_->StopRecordingOnSignalTimeout()) BBSTOPClick();
}

void TForm1::TimerNoSyncTimer() {
    if (!player_.Playing() && LEND->isHidden()) UpdateBER("no sync");
}

void TForm1::NoSync() { UpdateBER("no sync"); }

void TForm1::TimerCommandTimer() {
    deviceLink_.KeepAlive();
    plugins_.RelayCommand(valueTable_);
}

// Basic decoder and display ----------------------------------------------------------

namespace {

std::string Utf8(uint32_t cp) {
    std::string out;
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
    return out;
}

std::string PSCharacter(int code) {
    if (code >= 128) return Utf8(CharConv(code, 1));
    return std::string(1, static_cast<char>(code));
}

} // namespace

void TForm1::BasicDecoder(const TRDSGroupRec& g) {
    if (g.BlockA >= 0) {
        char hex[8];
        std::snprintf(hex, sizeof hex, "%04X", static_cast<unsigned>(g.BlockA & 0xFFFF));
        piText_ = hex;
        if (LPI->palette().color(QPalette::WindowText) != Qt::white) {
            QPalette p = LPI->palette();
            p.setColor(QPalette::WindowText, Qt::white);
            LPI->setPalette(p);
        }
        const QString pi = QString::fromStdString(piText_);
        if (LPI->text() != pi) {
            LPI->setText(pi);
            SetApplicationTitle("Orvane - " + piText_);
        }
        // The soft PI search may already have shown it; the table must still learn it.
        if (ReadValue(valueTable_, "PI") != piText_) AddValue(valueTable_, "PI", piText_);
    }
    if (!BlockValid(g.BlockB) || !BlockValid(g.BlockD)) return;
    const int type = GroupTypeIndex(g.BlockB);
    if (type != 0 && type != 1) return;
    const int segment = g.BlockB & 3;
    const int first = (g.BlockD >> 8) & 0xFF, second = g.BlockD & 0xFF;
    if (first < 32 || second < 32) return;
    psChars_[static_cast<size_t>(2 * segment)] = PSCharacter(first);
    psChars_[static_cast<size_t>(2 * segment + 1)] = PSCharacter(second);
    currentPS_.clear();
    for (const auto& c : psChars_) currentPS_ += c;
    const QString ps = QString::fromStdString(currentPS_);
    if (LPS->text() != ps) LPS->setText(ps);
    if (currentPS_ != previousPS_) {
        previousPS_ = currentPS_;
        psRepeat_ = 0;
        if (confirmedPS_.empty()) AddValue(valueTable_, "PS", currentPS_);
    } else if (++psRepeat_ == 20) {
        confirmedPS_ = currentPS_;
        AddValue(valueTable_, "PS", currentPS_);
    }
}

std::string TForm1::PSN() const { return confirmedPS_.empty() ? currentPS_ : confirmedPS_; }

void TForm1::LCDRefresh(const TRDSGroupRec& g) {
    int valid = 0;
    for (int k = 0; k < 4; ++k) valid += Block(g, k) >= 0;
    std::copy(std::begin(quality_) + 1, std::end(quality_), std::begin(quality_));
    quality_[15] = valid;
    ++shownGroupCount_;
    ++refreshCounter_;

    static constexpr int kFactor[4] = {1, 2, 4, 8};
    const int item = options_->SoundCardBufferItem();
    const int threshold = 1000 * ((item >= 0 && item <= 3) ? kFactor[item] : 1);
    if (ring_.Pending() > threshold && refreshCounter_ < 5) return;

    refreshCounter_ = 0;
    int sum = 0, n = 0;
    for (int q : quality_) {
        if (q < 0) continue;
        sum += q;
        ++n;
    }
    if (n > 0) {
        float error = 99.0f - (static_cast<float>(sum) / (4.0f * static_cast<float>(n))) * 104.0f;
        error = std::clamp(error, 0.0f, 100.0f);
        UpdateBER(std::to_string(static_cast<int>(std::nearbyint(error))) + " %");
        if (valid > 0 && piWatch_.count == 0)
            AddValue(valueTable_, "BER", LBER->text().toStdString());
    }
    if (player_.Playing() && player_.TotalGroups() > 0) {
        LGR->setText(QString("%1 / %2").arg(shownGroupCount_).arg(player_.TotalGroups()));
        UpdateATB();
    } else
        LGR->setText(QString::number(shownGroupCount_));
}

void TForm1::UpdateBER(const std::string& text) {
    const QString t = QString::fromStdString(text);
    if (LBER->text() != t) LBER->setText(t);
    // Stored on every call, so the key exists again right after every reset.
    AddValue(valueTable_, "BERC", text);
}

// Decoder tick -------------------------------------------------------------------------

int TForm1::DecoderReserve() const {
    int reserve = 400;
    if (srcNum_ == kSourceSoundCard) {
        switch (options_->SoundCardBufferItem()) {
        case 1: reserve = 600; break;
        case 2: reserve = 1000; break;
        case 3: reserve = 2000; break;
        default: reserve = 400; break;
        }
        if (options_->Always441()) reserve /= 2;
    }
    return reserve;
}

void TForm1::TimerRDSDecoderTimer() {
    if (player_.Playing() || player_.Ended()) {
        ring_.Empty();
        return;
    }
    const int reserve = DecoderReserve();
    timerRDSDecoder_->SetInterval(ring_.Pending() > reserve ? 70 : 88);
    const bool softPI = options_->SuperPIDetector();
    int done = 0;
    while (ring_.Pending() > 0) {
        const uint8_t bit = ring_.ReadFromDecoderBuffer();
        if (softPI) SoftPISearchBit(bit);
        decoder_.ProcessRDSBit(bit);
        ++done;
        if (ring_.Pending() < 2 * reserve && decoder_.GroupPosition() == 104) break;
        if (done >= 312) break;
    }
}

// Status line -----------------------------------------------------------------

void TForm1::Show(const std::string& message) {
    if (!message.empty()) {
        timerStatus_->SetEnabled(false);
        timerStatus_->SetEnabled(true);
        autoHint_ = false;
        statusBar()->showMessage(QString::fromStdString(message));
    } else {
        timerStatus_->SetEnabled(false);
        statusBar()->clearMessage();
        autoHint_ = true;
    }
}

namespace {

// The width the status bar has for its message: it draws it with a margin of
// 6 pixels on either side.
int StatusRoom(const QStatusBar& bar) { return bar.width() - 12; }

} // namespace

void TForm1::ShowNaming(const std::string& message, const std::string& file) {
    QStatusBar* bar = statusBar();
    const QString whole = QString::fromStdString(message);
    const QString shown = ElidedWithin(whole, QString::fromStdString(file), bar->fontMetrics(), StatusRoom(*bar));
    Show(shown.toStdString());
    // The whole path is still there to read under the mouse.
    if (shown != whole) bar->setToolTip(whole);
}

QString TForm1::StatusText() const { return statusBar()->currentMessage(); }

void TForm1::StatusMessageChanged(const QString& message) {
    QStatusBar* bar = statusBar();
    bar->setToolTip(bar->fontMetrics().horizontalAdvance(message) > StatusRoom(*bar) ? message : QString());
}

void TForm1::TimerStatusTimer() { autoHint_ = true; }

bool TForm1::event(QEvent* e) {
    // Control hints reach the status line only while automatic hints are on.
    if (e->type() == QEvent::StatusTip && !autoHint_) return true;
    const bool handled = QMainWindow::event(e);
    // The title bar is known only once the window is shown; it too must fit.
    if (e->type() == QEvent::Show && !e->spontaneous()) KeepOnScreen(this);
    return handled;
}

bool TForm1::eventFilter(QObject* watched, QEvent* e) {
    if (watched == statusBar() && e->type() == QEvent::MouseButtonPress) {
        auto* me = static_cast<QMouseEvent*>(e);
        if (me->button() == Qt::LeftButton && windowHandle()) {
            windowHandle()->startSystemMove();
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, e);
}

// Window position commands ------------------------------------------------------

QRect TForm1::ScreenRect() const { return frameGeometry(); }

void TForm1::SendWindowRect() {
    rectSent_ = true;
    const QRect r = ScreenRect();
    // Right and bottom are exclusive, as plug-ins expect of a screen rectangle.
    plugins_.SendCommandToAll("LEFT", std::to_string(r.left()));
    plugins_.SendCommandToAll("TOP", std::to_string(r.top()));
    plugins_.SendCommandToAll("RIGHT", std::to_string(r.left() + r.width()));
    plugins_.SendCommandToAll("BOTTOM", std::to_string(r.top() + r.height()));
}

void TForm1::SendWindowMove() {
    const QRect r = ScreenRect();
    if (rectSent_ && r.left() != rememberedLeft_)
        plugins_.SendCommandToAll("MOVEX", std::to_string(r.left() - rememberedLeft_));
    if (rectSent_ && r.top() != rememberedTop_)
        plugins_.SendCommandToAll("MOVEY", std::to_string(r.top() - rememberedTop_));
    rememberedLeft_ = r.left();
    rememberedTop_ = r.top();
}

void TForm1::moveEvent(QMoveEvent* e) {
    QMainWindow::moveEvent(e);
    SendWindowMove();
}

void TForm1::changeEvent(QEvent* e) {
    QMainWindow::changeEvent(e);
    if (e->type() != QEvent::WindowStateChange) return;
    const auto old = static_cast<QWindowStateChangeEvent*>(e)->oldState();
    if (isMinimized() && !(old & Qt::WindowMinimized)) AppMinimize();
    else if (!isMinimized() && (old & Qt::WindowMinimized)) AppRestore();
}

void TForm1::AppMinimize() { plugins_.SendCommandToAll("MINIMIZE", ""); }
void TForm1::AppRestore() { plugins_.SendCommandToAll("RESTORE", ""); }

// Menu commands -------------------------------------------------------------------

void TForm1::PlayFile1Click() {
    int filter = dialogState_.playDialogFilterIndex - 1;
    const std::string file = AskOpenFile("Orvane file (*.orv);;Mervix or any ASCII file (*);;Kivo file (*.smp);;"
                                         "Tarn RDS Logger (*.log *.rds *.rawrds)",
                                         dialogState_.playDialogDir, filter);
    if (file.empty()) return;
    dialogState_.playDialogDir = FolderOf(file);
    dialogState_.playDialogFilterIndex = filter + 1;
    PlayFile(file);
}

// Playback ---------------------------------------------------------------------------

void TForm1::SetGroupCount(int count) { shownGroupCount_ = count; }

void TForm1::WMDropFiles(const std::vector<std::string>& files) {
    for (const std::string& f : files) PlayFile(f);
}

void TForm1::dragEnterEvent(QDragEnterEvent* e) {
    const QList<QUrl> urls = e->mimeData()->urls();
    if (std::any_of(urls.begin(), urls.end(), [](const QUrl& u) { return u.isLocalFile(); }))
        e->acceptProposedAction();
}

void TForm1::dropEvent(QDropEvent* e) {
    try {
        std::vector<std::string> files;
        for (const QUrl& u : e->mimeData()->urls())
            if (u.isLocalFile()) files.push_back(u.toLocalFile().toStdString());
        WMDropFiles(files);
        e->acceptProposedAction();
    } catch (const std::exception& ex) {
        Show(ex.what());
    }
}

// Recording ---------------------------------------------------------------------------

std::string TForm1::SelectedFrequency() const {
    return CBFREQ->currentIndex() >= 0 ? CBFREQ->currentText().toStdString() : std::string();
}

void TForm1::ResetGroupCount() {
    shownGroupCount_ = 0;
    LGR->setText("0");
}

std::string TForm1::AskRecordingFileName(const std::string& folder, int& filterIndex) {
    const std::string file = AskSaveFile("Orvane file (*.orv);;Kivo file (*.smp)", folder, filterIndex);
    if (!file.empty()) dialogState_.recDialogDir = FolderOf(file);
    return file;
}

void TForm1::RecordingChanged() {
    LREC->setVisible(recorder_.Recording());
    // A long name is shortened in its middle; the hint holds it whole.
    const QString name = QString::fromStdString(recorder_.ShownFileName());
    LRFN->setText(LRFN->fontMetrics().elidedText(name, Qt::ElideMiddle, LRFN->width()));
    LRFN->setToolTip(name);
    LRFN->setVisible(recorder_.FileNameShown());
    LRFN->repaint();
}

void TForm1::SetGroupCountText(const std::string& text) {
    LGR->setText(QString::fromStdString(text));
    LGR->repaint();
}

void TForm1::SetBERText(const std::string& text) { LBER->setText(QString::fromStdString(text)); }

void TForm1::PlaybackChanged() {
    LPLAY->setVisible(player_.Playing());
    LEND->setVisible(player_.EndShown());
    LPAUSE->setVisible(player_.PauseShown());
    BBPSTOP->SetCaption(QString::fromStdString(player_.StopCaption()));
    // The hint's text after "|" is what the status line shows.
    const std::string& hint = player_.StopHint();
    BBPSTOP->setStatusTip(QString::fromStdString(hint.substr(hint.find('|') + 1)));
    if (TBSpeed->Position() != player_.SpeedPosition()) {
        const QSignalBlocker block(TBSpeed);
        TBSpeed->SetPosition(player_.SpeedPosition());
    }
    UpdateATB();
}
void TForm1::FileInformation1Click() {
    env_.modal->Message(this, FileInformationText(player_.LastFileName(), player_.HeaderLine()));
}
void TForm1::PlayLocation1Click() { stream_.PlayLocation1Click(); }

bool TForm1::InputQuery(const std::string& caption, const std::string& prompt, std::string& value) {
    return env_.modal->InputQuery(this, caption, prompt, value);
}

void TForm1::Message(const std::string& text) { env_.modal->Message(this, text); }

void TForm1::RestartNoSync() {
    timerNoSync_->SetEnabled(false);
    timerNoSync_->SetEnabled(srcNum_ == kSourceDevice);
}

int TForm1::FrequencyEntries() const { return CBFREQ->count(); }

void TForm1::SelectFrequency(int entry) { CBFREQ->setCurrentIndex(entry); }
void TForm1::CreateReport1Click() { reports_.CreateReport1Click(); }
void TForm1::OpenWorkspace1Click() {
    const int oldSource = srcNum_;
    int filter = 0;
    const std::string file = AskOpenFile("Orvane Workspace (*.owk)", workspaceOpenDir_, filter);
    if (file.empty()) return;
    workspaceOpenDir_ = FolderOf(file);
    if (!settings_->UseWorkspaceFile(file)) return;
    // The command-line source gives way to the workspace the user picked.
    settings_->ClearSourceOverride();
    OpenWorkspace();
    if (srcNum_ != oldSource) {
        // Loading has replaced the number: close the source that was running.
        DisconnectSource(oldSource);
        ConnectSource();
    }
}

void TForm1::SaveWorkspace1Click() {
    SaveConfig();
    SaveWorkspace();
    plugins_.SendCommandToAll("SAVEWORKSPACE", WorkspaceFile());
}

void TForm1::SaveWorkspaceAs1Click() {
    const std::string file = AskSaveFile("Orvane Workspace (*.owk)", workspaceSaveDir_);
    if (!file.empty()) {
        workspaceSaveDir_ = FolderOf(file);
        if (settings_->UseWorkspaceFile(file)) SaveWorkspace1Click();
    }
    UpdateCaption();
}
void TForm1::Exit1Click() { close(); }
void TForm1::Data1Click() {
    if (forms_.fdd) env_.modal->Run(*forms_.fdd);
}
void TForm1::MSIClick() {
    if (forms_.fsi) {
        forms_.fsi->show();
        forms_.fsi->raise();
    }
}
void TForm1::SelectRDSInput1Click() {
    if (!forms_.dsrc) return;
    forms_.dsrc->FillFrom(source_);
    if (env_.modal->Run(*forms_.dsrc) != QDialog::Accepted) return;
    DisconnectSource();
    TakeSourceSettings(forms_.dsrc->Taken());
    // An explicit choice is saved again, whatever the command line said.
    settings_->ClearSourceOverride();
    ConnectSource();
}
void TForm1::Options1Click() {
    if (!forms_.dopt) return;
    env_.modal->Run(*forms_.dopt);
    ApplyOptions();
}
void TForm1::About1Click() {
    if (forms_.about) env_.modal->Run(*forms_.about);
}

void TForm1::OrvaneHelp1Click() {
    // Said in a message: the status line is too short for the path.
    const std::string manual = programFolder_ + "orvane.pdf";
    if (!std::filesystem::exists(manual))
        Message("The manual " + manual + " is missing. \rInstall Orvane again to get it back.");
    else
        env_.shell->Open(manual, programFolder_, this, [this, manual] {
            Message("Can't start a PDF viewer for " + manual + ". \rOpen the manual with a PDF viewer of your choice.");
        });
}

void TForm1::miPluginsClick(int index) { plugins_.CommandTo(index, "CONFIGURE", ""); }
void TForm1::miShowHideClick(int index) { plugins_.CommandTo(index, "SHOW", ""); }

// Reports and the decoder data --------------------------------------------------------

bool TForm1::PlaybackEndShown() const { return !LEND->isHidden(); }

std::string TForm1::FrequencyText() const { return CBFREQ->currentText().toStdString(); }

void TForm1::ConfirmFrequency() {
    if (forms_.dfreq) env_.modal->Run(*forms_.dfreq);
}

std::string TForm1::ConfirmedFrequency() const {
    return forms_.dfreq ? forms_.dfreq->FrequencyText() : std::string("not specified");
}

std::string TForm1::AskReportFile(const std::string& initialFile) {
    return AskSaveFile("Plain text (*.txt)", initialFile);
}

std::string TForm1::DialogStart(const std::string& start) const {
    if (start.empty() || start + "/" == documentsFolder_) {
        // A fresh account may have no documents folder yet; a dialog told to
        // start in a missing folder opens somewhere else.
        MakeDocumentsFolderFor(documentsFolder_, documentsFolder_);
        return documentsFolder_;
    }
    MakeDocumentsFolderFor(start, documentsFolder_);
    return start;
}

std::string TForm1::AskSaveFile(const std::string& filter, const std::string& start, int& filterIndex) {
    const std::string file = env_.modal->SaveFile(this, filter, DialogStart(start), filterIndex);
    return WithFilterExtension(file, filter, filterIndex);
}

std::string TForm1::AskSaveFile(const std::string& filter, const std::string& start) {
    int filterIndex = 0;
    return AskSaveFile(filter, start, filterIndex);
}

std::string TForm1::AskOpenFile(const std::string& filter, const std::string& folder, int& filterIndex) {
    return env_.modal->OpenFile(this, filter, DialogStart(folder), filterIndex);
}

void TForm1::SaveValuesToIni(const std::string& fileName) {
    try {
        orvane::SaveValuesToIni(valueTable_, fileName);
    } catch (const std::exception&) {
        Show(ReportWriter::kCannotWrite);
    }
}

} // namespace orvane

namespace orvane {

// Settings file and workspace -------------------------------------------------------

void TForm1::LoadConfig() {
    const ConfigSettings s = settings_->LoadConfig();
    ApplyFlatLCD(s.flatLCD);
    // The capture buffer size joins here with the sound-card capture.
}

void TForm1::SaveConfig() { settings_->SaveConfig(); }

void TForm1::LoadWorkspace() {
    // The window's size is known once its layout has run; the clamp and the
    // rectangle sent to the plug-ins need it before the window is shown.
    if (layout()) layout()->activate();
    settings_->LoadWorkspace();
    SendWindowRect();
    const ConfigSettings config = ConfigControls();
    ApplyPriorityAndOnTop(config.highPriority, config.onTop);
    recorder_.AllocateRecBuffer(PreBufferEntries(config.bufferLength));
    ApplyOptions();
}

void TForm1::SaveWorkspace() { settings_->SaveWorkspace(); }

void TForm1::OpenWorkspace() {
    LoadWorkspace();
    plugins_.SendCommandToAll("OPENWORKSPACE", WorkspaceFile());
    UpdateCaption();
}

void TForm1::UpdateCaption() { setWindowTitle(QString::fromStdString(settings_->Caption())); }

void TForm1::ApplyOptions() {
    if (!dopt_) return;
    recorder_.SetTemplate(dopt_->EDEFFN->text().toStdString());
    const int interval = dopt_->SignalTimeoutSeconds() * 1000;
    if (timerTimeout_->Interval() != interval) timerTimeout_->SetInterval(interval);
    timerTimeout_->SetEnabled(dopt_->ResetOnSignalTimeout() || dopt_->StopRecordingOnSignalTimeout());
}

ConfigSettings TForm1::ConfigControls() const { return dopt_ ? dopt_->Config() : ConfigSettings{}; }

void TForm1::SetConfigControls(const ConfigSettings& s) {
    if (dopt_) dopt_->SetConfig(s);
}

WorkspaceState TForm1::WorkspaceControls() const {
    WorkspaceState s = dialogState_;
    const QPoint frame = FramePositionToStore(this);
    s.left = frame.x();
    s.top = frame.y();
    s.source = source_;
    s.playbackSpeed = TBSpeed->Position();
    s.tuneTo = CBFREQ->currentIndex();
    s.recDialogFilterIndex = recorder_.DialogFilterIndex();
    s.reportDir = reports_.ReportFolder();
    s.streamHost = stream_.streamHost;
    s.streamPort = stream_.streamPort;
    if (dopt_) s.options = dopt_->WorkspaceOptions();
    return s;
}

void TForm1::SetWorkspaceControls(const WorkspaceState& s) {
    PlaceFrameAt(this, QPoint(s.left, s.top));
    startVisible_ = s.visible;
    TakeSourceSettings(s.source);
    TBSpeed->SetPosition(s.playbackSpeed);
    CBFREQ->setCurrentIndex(s.tuneTo);
    dialogState_ = s;
    recorder_.SetDialogFilterIndex(s.recDialogFilterIndex);
    reports_.SetReportFolder(s.reportDir);
    stream_.streamHost = s.streamHost;
    stream_.streamPort = s.streamPort;
    if (dopt_) dopt_->SetWorkspaceOptions(s.options);
}

std::vector<std::string> TForm1::AudioDevices() const {
    return forms_.dsrc ? forms_.dsrc->InputDevices() : std::vector<std::string>{};
}

void TForm1::WindowAndScreenArea(QSize& frame, QRect& area) const {
    frame = frameGeometry().size();
    area = AvailableArea(this);
}

void TForm1::ApplyPriorityAndOnTop(bool highPriority, bool onTop) {
    if (highPriority && env_.raisePriority) env_.raisePriority();
    if (onTop && !(windowFlags() & Qt::WindowStaysOnTopHint)) {
        const bool shown = isVisible();
        setWindowFlag(Qt::WindowStaysOnTopHint, true);
        // Changing the flags hides a window.
        if (shown) show();
    }
}

} // namespace orvane
