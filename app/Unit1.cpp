#include "Unit1.h"

#include "OrvaneApp.h"
#include "about.h"
#include "dd.h"
#include "opt.h"
#include "si.h"
#include "src.h"
#include "veltutil.h"

#include <QAction>
#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QGridLayout>
#include <QLabel>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPushButton>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QWindow>

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
      plugins_(env.pluginLoader ? env.pluginLoader() : nullptr) {
    setObjectName("Form1");
    setWindowTitle("Orvane");
    setWindowFlags(Qt::Window | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint);
    timerFirstStart_ = env_.timers->Create(500, true);
    timerFirstStart_->OnTimer = [this] { TimerFirstStartTimer(); };
    timerStatus_ = env_.timers->Create(5000, false);
    timerStatus_->OnTimer = [this] { TimerStatusTimer(); };
    FormCreate();
}

TForm1::~TForm1() = default;

void TForm1::FormCreate() {
    // Decoder constants are fixed in GroupDecoder; only the resync text is state.
    decoder_.ClearLastResync();
    setAcceptDrops(true);

    srcNum_ = kSourceNone;
    playing_ = recording_ = false;

    programFolder_ = ProgramFolderOf(env_.programPath);
    dataFolder_ = GetDataFolder(false, true, env_.programPath);
    documentsFolder_ = GetDocumentsFolder(env_.programPath);
    workspaceFile_ = dataFolder_ + "default.owk";

    BuildDisplay();
    BuildMenu();

    plugins_.FindPlugins(programFolder_ + "plugins/");
    const auto& list = plugins_.Plugins();
    for (size_t i = 0; i < list.size(); ++i) {
        if (!list[i].hasCommand) continue;
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
    auto* central = new QWidget(this);
    auto* grid = new QGridLayout(central);
    auto label = [&](const char* name, const char* text, const char* hint, int row, int col) {
        auto* l = new QLabel(QString::fromLatin1(text), central);
        l->setObjectName(name);
        l->setToolTip(QString::fromLatin1(hint));
        l->setStatusTip(QString::fromLatin1(hint));
        grid->addWidget(l, row, col);
        return l;
    };
    LPI = label("LPI", "----", "Program Identification", 0, 0);
    LPS = label("LPS", "--------", "Program Service name", 0, 1);
    LBER = label("LBER", "no sync", "Block error rate", 1, 0);
    LGR = label("LGR", "0", "Number of received groups", 1, 1);
    LEND = label("LEND", "END", "The playback has ended", 2, 0);
    LEND->hide();
    QFont big = LPI->font();
    big.setPointSize(big.pointSize() * 2);
    big.setBold(true);
    LPI->setFont(big);
    LPS->setFont(big);

    CBFREQ = new QComboBox(central);
    CBFREQ->setObjectName("CBFREQ");
    CBFREQ->setStatusTip("Frequency in MHz");
    grid->addWidget(CBFREQ, 2, 1);

    GradButton1 = new QPushButton("Reset", central);
    GradButton1->setObjectName("GradButton1");
    GradButton1->setStatusTip("Reset the decoded data");
    connect(GradButton1, &QPushButton::clicked, this, [this] { Clear1Click(); });
    grid->addWidget(GradButton1, 3, 1);
    setCentralWidget(central);

    auto* bar = new QStatusBar(this);
    bar->setObjectName("StatusBar1");
    bar->setSizeGripEnabled(false);
    bar->installEventFilter(this);
    setStatusBar(bar);

    setFixedSize(460, 240);
}

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
    item(file, "PlayFile1", "Play File...", QKeySequence("Ctrl+P"), &TForm1::PlayFile1Click, false);
    item(file, "FileInformation1", "File Information...", QKeySequence("Ctrl+I"),
         &TForm1::FileInformation1Click, false);
    item(file, "PlayLocation1", "Play Stream...", {}, &TForm1::PlayLocation1Click, false);
    item(file, "CreateReport1", "Create Report...", QKeySequence("Ctrl+R"), &TForm1::CreateReport1Click,
         false);
    file->addSeparator();
    item(file, "OpenWorkspace1", "Open Workspace...", {}, &TForm1::OpenWorkspace1Click, false);
    item(file, "SaveWorkspace1", "Save Workspace", {}, &TForm1::SaveWorkspace1Click, false);
    item(file, "SaveWorkspaceAs1", "Save Workspace As...", {}, &TForm1::SaveWorkspaceAs1Click, false);
    file->addSeparator();
    item(file, "Exit1", "Exit", {}, &TForm1::Exit1Click, true);

    viewMenu_ = bar->addMenu("&View");
    item(viewMenu_, "Data1", "Decoder Data...", {}, &TForm1::Data1Click, false);
    item(viewMenu_, "Clear1", "Reset Data", QKeySequence("Ctrl+N"), &TForm1::Clear1Click, true);
    item(viewMenu_, "MSI", "Status Information...", {}, &TForm1::MSIClick, false);
    viewMenu_->addSeparator();

    QMenu* configure = bar->addMenu("&Configure");
    item(configure, "SelectRDSInput1", "Select RDS Source...", {}, &TForm1::SelectRDSInput1Click, false);
    item(configure, "Options1", "Options...", {}, &TForm1::Options1Click, false);
    pluginsMenu_ = configure->addMenu("Plugins");
    pluginsMenu_->setObjectName("Plugins1");

    QMenu* help = bar->addMenu("&Help");
    item(help, "OrvaneHelp1", "Orvane Help...", {}, &TForm1::OrvaneHelp1Click, true);
    item(help, "About1", "About...", {}, &TForm1::About1Click, false);
}

void TForm1::CompleteStartup() {
    LoadSettings();
    OpenWorkspace();
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
    if (srcNum_ == kSourceNone && !playing_ && !std::filesystem::exists(dataFolder_ + "orvane.ini"))
        SelectRDSInput1Click();
}

void TForm1::FormClose() {
    if (closed_) return;
    closed_ = true;
    if (recording_) StopRecording();
    if (playing_) StopPlayback();
    WriteAutoReport();
    if (options_->SaveWorkspaceOnExit()) SaveWorkspace();
    else SaveSettings();
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
}

void TForm1::DisconnectSource() {
    // Disconnecting always resets the decoded data.
    Clear1Click();
}

void TForm1::Clear1Click() {
    WriteAutoReport();
    decoder_.ResetRDSSync();
    plugins_.SendCommandToAll("RESETDATA", "");
}

void TForm1::SendRDSGroup(const TRDSGroupRec& /*group*/) {
    // The fan-out to plug-ins, recorder and basic decoder takes it from here.
}

void TForm1::NoSync() {
    if (LBER) LBER->setText("no sync");
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

QString TForm1::StatusText() const { return statusBar()->currentMessage(); }

void TForm1::TimerStatusTimer() { autoHint_ = true; }

bool TForm1::event(QEvent* e) {
    // Control hints reach the status line only while automatic hints are on.
    if (e->type() == QEvent::StatusTip && !autoHint_) return true;
    return QMainWindow::event(e);
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

void TForm1::PlayFile1Click() {}
void TForm1::FileInformation1Click() {}
void TForm1::PlayLocation1Click() {}
void TForm1::CreateReport1Click() {}
void TForm1::OpenWorkspace1Click() {}
void TForm1::SaveWorkspace1Click() { SaveWorkspace(); }
void TForm1::SaveWorkspaceAs1Click() {}
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
    if (forms_.dsrc) env_.modal->Run(*forms_.dsrc);
}
void TForm1::Options1Click() {
    if (forms_.dopt) env_.modal->Run(*forms_.dopt);
}
void TForm1::About1Click() {
    if (forms_.about) env_.modal->Run(*forms_.about);
}

void TForm1::OrvaneHelp1Click() {
    const std::string manual = programFolder_ + "orvane.pdf";
    if (!std::filesystem::exists(manual) || !env_.shell->Open(manual, programFolder_))
        Show("Cannot open the manual " + manual);
}

void TForm1::miPluginsClick(int index) { plugins_.CommandTo(index, "CONFIGURE", ""); }
void TForm1::miShowHideClick(int index) { plugins_.CommandTo(index, "SHOW", ""); }

} // namespace orvane
