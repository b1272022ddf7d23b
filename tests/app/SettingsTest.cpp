// The settings file and workspaces through the program's own start-up and
// closing, with the options and source dialogs' controls.
#include "AppFakes.h"
#include "CheckListBox.h"
#include "IniFile.h"
#include "OrvaneApp.h"
#include "RadioGroup.h"
#include "SpinEdit.h"
#include "TestFiles.h"
#include "Unit1.h"
#include "opt.h"
#include "src.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QScreen>
#include <QStatusBar>
#include <QTest>
#include "SeekTrackBar.h"
#include <QTabWidget>
#include <gtest/gtest.h>

#include <sys/stat.h>

using namespace orvane;
using namespace orvane::test;

namespace {

class SettingsTest : public ::testing::Test {
protected:
    void SetUp() override {
        // Each test starts in a fresh home, also when the binary runs them all.
        QDir(QString::fromStdString(Data())).removeRecursively();
        QDir(qgetenv("XDG_CONFIG_HOME")).removeRecursively();
        QDir().mkpath(QString::fromStdString(Data()));
        RecordingPlugins::Seen().clear();
    }
    void TearDown() override {
        ::chmod((Data() + "orvane.ini").c_str(), 0644);
        app.reset();
    }

    static std::string Data() { return std::string(qgetenv("XDG_DATA_HOME")) + "/orvane/"; }
    static std::string Docs() { return std::string(qgetenv("XDG_DOCUMENTS_DIR")) + "/"; }

    TForm1& Start(std::vector<std::string> args = {}) {
        AppEnv env = program.Env(std::move(args));
        env.raisePriority = [this] { ++priorityRaised; };
        app = std::make_unique<OrvaneApp>(env);
        app->CreateWindows();
        return *app->Forms().form1;
    }
    // Closes the program the ordinary way and lets it go.
    void Close() {
        app->Forms().form1->close();
        app.reset();
    }
    TDOPT& Opt() { return *app->Forms().dopt; }
    TDSRC& Src() { return *app->Forms().dsrc; }
    static std::vector<std::string> Commands(const std::string& prefix) {
        return RecordingPlugins::CommandsWith(prefix);
    }

    FakeProgram program;
    std::unique_ptr<OrvaneApp> app;
    int priorityRaised = 0;
};

} // namespace

TEST_F(SettingsTest, AFreshHomeGivesEveryDefault) {
    TForm1& main = Start();
    TDOPT& o = Opt();
    EXPECT_FALSE(o.CBHIPRI->isChecked() || o.CBONTOP->isChecked() || o.CBSPI->isChecked() || o.CBFLCD->isChecked());
    EXPECT_TRUE(o.CB441->isChecked());
    EXPECT_EQ(o.SEBUFLEN->value(), 10);
    EXPECT_EQ(o.CBBUFLEN->currentText(), "32 kB (default)");
    EXPECT_TRUE(o.CBAUSA->isChecked() && o.CBREPI->isChecked() && o.CBSTPI->isChecked() && o.CBTC->isChecked() &&
                o.CBSS->isChecked() && o.CBADDT->isChecked() && o.CBTMEN->isChecked());
    EXPECT_FALSE(o.CBRETO->isChecked() || o.CBBBAC->isChecked() || o.CBSTTO->isChecked() || o.CBCF->isChecked() ||
                 o.CBSRA->isChecked() || o.CLBFT->Checked(0) || o.CLBFT->Checked(1));
    EXPECT_EQ(o.RGRECEV->ItemIndex(), 0);
    EXPECT_EQ(o.SETMOUT->value(), 30);
    EXPECT_EQ(o.EDEFFN->text().toStdString(), Docs() + "%pi - %date %time.orv");
    EXPECT_EQ(o.EREPFN->text().toStdString(), Docs() + "%date %time %pi %ps.txt");
    EXPECT_EQ(o.EOTP->text(), "orvane.otp");
    EXPECT_TRUE(o.ENAME->text().isEmpty() && o.ELOC->text().isEmpty() && o.ENOTES->text().isEmpty());
    for (int i = 0; i < 33; ++i) EXPECT_TRUE(o.CLBGREC->Checked(i)) << i;

    EXPECT_EQ(main.SourceNumber(), TForm1::kSourceNone);
    const SourceSettings& s = main.Source();
    EXPECT_FLOAT_EQ(s.threshold1, 1.65f);
    EXPECT_FLOAT_EQ(s.threshold2, 0.70f);
    EXPECT_EQ(s.host, "localhost");
    EXPECT_EQ(s.port, "23");
    EXPECT_EQ(main.pos(), QPoint(20, 20));
    EXPECT_TRUE(main.StartVisible());
    EXPECT_EQ(main.TBSpeed->Position(), 0);
    EXPECT_EQ(main.CBFREQ->currentIndex(), -1);
    EXPECT_EQ(main.windowTitle(), "Orvane - default.owk");
    EXPECT_EQ(main.RecBufferEntries(), 115);
    EXPECT_EQ(main.RecordingTemplate(), Docs() + "%pi - %date %time.orv");
    EXPECT_FALSE(main.TimeoutTimer().Enabled());
    EXPECT_EQ(priorityRaised, 0);
    EXPECT_FALSE(main.windowFlags() & Qt::WindowStaysOnTopHint);
    // The options are the dialog's controls now.
    EXPECT_EQ(&main.Options(), static_cast<const IOptions*>(&o));
}

TEST_F(SettingsTest, ClosingWritesBothFilesInOrderAndTheNextStartRestoresThem) {
    TForm1& main = Start();
    Opt().CBFLCD->setChecked(true);
    Opt().SEBUFLEN->setValue(50);
    Opt().CBRETO->setChecked(true);
    Opt().SETMOUT->setValue(45);
    Opt().ENAME->setText("Ana");
    Opt().CLBGREC->SetChecked(5, false);
    main.TBSpeed->SetPosition(-2);
    main.CBFREQ->setCurrentIndex(100);
    main.move(140, 90);
    main.Source().comPort1 = 9;
    Close();

    EXPECT_EQ(TIniFile(Data() + "orvane.ini").ReadSection("General"),
              (std::vector<std::string>{"WorkspaceFile", "HighPriority", "OnTop", "SuperPI", "FlatLCD", "Force441kHz",
                                        "BufferLength", "SoundCardBuffer"}));
    const TIniFile workspace(Data() + "default.owk");
    const auto keys = workspace.ReadSection("General");
    ASSERT_EQ(keys.size(), 48u);
    EXPECT_EQ(keys.front(), "Top");
    EXPECT_EQ(keys.back(), "Notes");
    EXPECT_EQ(workspace.ReadSection("Record").size(), 33u);
    EXPECT_EQ(workspace.ReadString("Record", "GroupIndex5", ""), "0");

    TForm1& again = Start();
    EXPECT_TRUE(Opt().CBFLCD->isChecked());
    EXPECT_EQ(Opt().SEBUFLEN->value(), 50);
    EXPECT_EQ(again.RecBufferEntries(), 572);
    EXPECT_TRUE(Opt().CBRETO->isChecked());
    EXPECT_EQ(Opt().SETMOUT->value(), 45);
    EXPECT_EQ(Opt().ENAME->text(), "Ana");
    EXPECT_FALSE(Opt().CLBGREC->Checked(5));
    EXPECT_EQ(again.TBSpeed->Position(), -2);
    EXPECT_EQ(again.CBFREQ->currentIndex(), 100);
    EXPECT_EQ(again.pos(), QPoint(140, 90));
    EXPECT_EQ(again.Source().comPort1, 9);
    // Flat labels are opaque.
    EXPECT_TRUE(again.LPI->autoFillBackground() && again.LPS->autoFillBackground() &&
                again.LBER->autoFillBackground() && again.LGR->autoFillBackground());
    // The time-out timer follows its options.
    EXPECT_TRUE(again.TimeoutTimer().Enabled());
    EXPECT_EQ(again.TimeoutTimer().Interval(), 45000);
    // With a settings file the first start leaves the source dialog shut.
    program.modal.shown.clear();
    program.time.Advance(1000);
    EXPECT_TRUE(program.modal.shown.empty());
}

TEST_F(SettingsTest, AHandEditedWorkspaceRestoresEveryControl) {
    WriteFileBytes(Data() + "orvane.ini", "[General]\nHighPriority=1\nOnTop=1\nSuperPI=1\nForce441kHz=0\n"
                                          "BufferLength=60\nSoundCardBuffer=3\n");
    std::string ws = "[General]\nTop=33\nLeft=44\nVisible=0\nSrcNum=2\nEdge=1\nRDSEnc=0\nInvert=1\nAudioInDevice=0\n"
                     "Threshold1=120\nThreshold2=30\nHost=analyser.lan\nPort=7373\nCOMPort1=3\nCOMPort2=256\n"
                     "ConnectionType=1\nDeviceType=1\nPlaybackSpeed=2\nTuneTo=5\nPlayDialogFilterIndex=3\n"
                     "RecDialogFilterIndex=2\nPlayDialogDir=/p/\nRecDialogDir=/r/\nReportDir=/rep/\n"
                     "StreamHost=s.lan\nStreamPort=9000\nAutoSave=0\nPIReset=0\nTimeoutReset=0\nBadAsCorrect=1\n"
                     "PIStop=0\nStartNew=1\nShowTotal=0\nSocketSync=0\nFileTypeOrv=1\nFileTypeSmp=1\n"
                     "TimeoutStop=1\nAddDateTime=0\nTimeMachine=0\nConfirmFrequency=1\nAutosaveReports=1\n"
                     "SignalTimeout=7\nDefaultFilename=/rec/%pi.orv\nReportFilename=/rep/%pi.txt\n"
                     "ReportTemplate=/t/my.otp\nTemplateDialogDir=/t/\nName=Ana\nLocation=Porto\nNotes=mast\n"
                     "[Record]\n";
    for (int n = 0; n <= 32; ++n) ws += "GroupIndex" + std::to_string(n) + "=" + (n % 2 ? "1" : "0") + "\n";
    WriteFileBytes(Data() + "default.owk", ws);
    TForm1& main = Start();

    TDOPT& o = Opt();
    EXPECT_TRUE(o.CBHIPRI->isChecked() && o.CBONTOP->isChecked() && o.CBSPI->isChecked());
    EXPECT_FALSE(o.CB441->isChecked());
    EXPECT_EQ(o.SEBUFLEN->value(), 60);
    EXPECT_EQ(o.CBBUFLEN->currentIndex(), 3);
    EXPECT_FALSE(o.CBAUSA->isChecked() || o.CBREPI->isChecked() || o.CBRETO->isChecked() || o.CBSTPI->isChecked() ||
                 o.CBTC->isChecked() || o.CBSS->isChecked() || o.CBADDT->isChecked() || o.CBTMEN->isChecked());
    EXPECT_TRUE(o.CBBBAC->isChecked() && o.CBSTTO->isChecked() && o.CBCF->isChecked() && o.CBSRA->isChecked() &&
                o.CLBFT->Checked(0) && o.CLBFT->Checked(1));
    EXPECT_EQ(o.RGRECEV->ItemIndex(), 1);
    EXPECT_EQ(o.SETMOUT->value(), 7);
    EXPECT_EQ(o.EDEFFN->text(), "/rec/%pi.orv");
    EXPECT_EQ(o.EREPFN->text(), "/rep/%pi.txt");
    EXPECT_EQ(o.EOTP->text(), "/t/my.otp");
    EXPECT_EQ(o.ENAME->text(), "Ana");
    EXPECT_EQ(o.ELOC->text(), "Porto");
    EXPECT_EQ(o.ENOTES->text(), "mast");
    for (int i = 0; i < 33; ++i) EXPECT_EQ(o.CLBGREC->Checked(i), i % 2 == 1) << i;

    const SourceSettings& s = main.Source();
    EXPECT_EQ(main.SourceNumber(), TForm1::kSourceDevice);
    EXPECT_TRUE(s.edge && s.invert);
    EXPECT_FALSE(s.rdsEnc);
    EXPECT_FLOAT_EQ(s.threshold1, 1.20f);
    EXPECT_FLOAT_EQ(s.threshold2, 0.30f);
    EXPECT_EQ(s.host, "analyser.lan");
    EXPECT_EQ(s.port, "7373");
    EXPECT_EQ(s.comPort1, 3);
    EXPECT_EQ(s.comPort2, 256);
    EXPECT_EQ(s.connectionType, 1);
    EXPECT_EQ(s.deviceType, 1);
    EXPECT_EQ(main.pos(), QPoint(44, 33));
    EXPECT_FALSE(main.StartVisible());
    EXPECT_EQ(main.TBSpeed->Position(), 2);
    EXPECT_EQ(main.CBFREQ->currentText(), "88.0");
    EXPECT_EQ(main.RecBufferEntries(), 686);
    EXPECT_EQ(main.RecordingTemplate(), "/rec/%pi.orv");
    EXPECT_EQ(priorityRaised, 1);
    EXPECT_TRUE(main.windowFlags() & Qt::WindowStaysOnTopHint);

    // The source dialog shows the same settings.
    Src().FillFrom(main.Source());
    EXPECT_EQ(Src().PageControl1->currentIndex(), 2);
    EXPECT_EQ(Src().SETH1->value(), 120);
    EXPECT_EQ(Src().SETH2->value(), 30);
    EXPECT_EQ(Src().RGEDGE->ItemIndex(), 1);
    EXPECT_EQ(Src().RGCONTYPE->ItemIndex(), 1);
    EXPECT_EQ(Src().RGDEVTYPE->ItemIndex(), 1);
    EXPECT_EQ(Src().EHOST->text(), "analyser.lan");
    EXPECT_EQ(Src().EPORT->text(), "7373");
    EXPECT_EQ(Src().SECOM2->value(), 256);

    // Without "Save workspace on Exit" closing writes the settings file only.
    const std::string before = ReadFileBytes(Data() + "default.owk");
    Close();
    EXPECT_EQ(ReadFileBytes(Data() + "default.owk"), before);
    EXPECT_EQ(TIniFile(Data() + "orvane.ini").ReadString("General", "SuperPI", ""), "1");
}

TEST_F(SettingsTest, AHostileWorkspaceNeverLeavesAControlOutOfRange) {
    WriteFileBytes(Data() + "orvane.ini", "[General]\nBufferLength=-3\nSoundCardBuffer=99\n");
    WriteFileBytes(Data() + "default.owk",
                   "[General]\nTop=-2147483648\nLeft=2147483647\nSrcNum=17\nThreshold1=-1\nThreshold2=9999\n"
                   "COMPort1=0\nCOMPort2=100000\nConnectionType=-4\nDeviceType=3\nPlaybackSpeed=-99\nTuneTo=999\n"
                   "SignalTimeout=0\nStartNew=5\nAudioInDevice=12\nPort=99999999\n");
    TForm1& main = Start();
    EXPECT_EQ(Opt().SEBUFLEN->value(), 1);
    EXPECT_EQ(main.RecBufferEntries(), 12);
    EXPECT_EQ(Opt().CBBUFLEN->currentIndex(), 3);
    EXPECT_EQ(Opt().SETMOUT->value(), 3);
    EXPECT_EQ(Opt().RGRECEV->ItemIndex(), 1);
    EXPECT_EQ(main.SourceNumber(), 3);
    EXPECT_EQ(main.TBSpeed->Position(), -3);
    EXPECT_EQ(main.CBFREQ->currentIndex(), 205);
    const SourceSettings& s = main.Source();
    EXPECT_EQ(s.comPort1, 1);
    EXPECT_EQ(s.comPort2, 256);
    EXPECT_EQ(s.connectionType, 0);
    EXPECT_EQ(s.deviceType, 1);
    EXPECT_FLOAT_EQ(s.threshold1, 1.0f);
    EXPECT_FLOAT_EQ(s.threshold2, 1.0f);
    EXPECT_EQ(s.port, "99999");
    EXPECT_EQ(TcpPortNumber(s.port), 23);
    EXPECT_GE(main.pos().x(), 0);
    EXPECT_EQ(main.pos().y(), 0);
    Src().FillFrom(s);
    EXPECT_EQ(Src().PageControl1->currentIndex(), 3);
}

TEST_F(SettingsTest, AWindowIsNeverPlacedOffTheScreen) {
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    WriteFileBytes(Data() + "default.owk", "[General]\nTop=-100\nLeft=5000\n");
    TForm1& main = Start();
    EXPECT_EQ(main.pos().y(), 0);
    EXPECT_EQ(main.pos().x(), screen.width() - main.frameGeometry().width());
    EXPECT_EQ(Commands("LEFT"), std::vector<std::string>{"LEFT " + std::to_string(main.pos().x())});
}

TEST_F(SettingsTest, TheWorkspaceSwitchPicksTheWorkspaceAtStart) {
    WriteFileBytes(Data() + "studio.owk", "[General]\nTop=77\n");
    TForm1& main = Start({"-WS:studio.owk"});
    EXPECT_EQ(main.WorkspaceFile(), Data() + "studio.owk");
    EXPECT_EQ(main.windowTitle(), "Orvane - studio.owk");
    EXPECT_EQ(main.pos().y(), 77);
    EXPECT_EQ(Commands("OPENWORKSPACE"), std::vector<std::string>{"OPENWORKSPACE " + Data() + "studio.owk"});
    Close();
    EXPECT_EQ(TIniFile(Data() + "orvane.ini").ReadString("General", "WorkspaceFile", ""), Data() + "studio.owk");
}

TEST_F(SettingsTest, TheSourceSwitchSetsATcpDeviceLinkThatIsNeverSaved) {
    WriteFileBytes(Data() + "default.owk", "[General]\nSrcNum=0\nHost=stored.lan\nPort=99\nConnectionType=0\n");
    WriteFileBytes(Data() + "other.owk", "[General]\nSrcNum=1\n");
    TForm1& main = Start({"-C:SOC:analyser:4000"});
    EXPECT_EQ(main.SourceNumber(), TForm1::kSourceDevice);
    EXPECT_EQ(main.Source().connectionType, 1);
    EXPECT_EQ(main.Source().host, "ANALYSER");
    EXPECT_EQ(main.Source().port, "4000");
    EXPECT_EQ(TcpPortNumber(main.Source().port), 4000);
    // Nothing is connected yet, and the command line plays no file.
    EXPECT_FALSE(main.Playing());

    main.SaveWorkspace1Click();
    const TIniFile saved(Data() + "default.owk");
    EXPECT_EQ(saved.ReadString("General", "SrcNum", ""), "0");
    EXPECT_EQ(saved.ReadString("General", "Host", ""), "stored.lan");
    EXPECT_EQ(saved.ReadString("General", "ConnectionType", ""), "0");

    // Another workspace is not overridden, and its own source is saved again.
    program.modal.fileToOpen = Data() + "other.owk";
    main.OpenWorkspace1Click();
    EXPECT_EQ(main.SourceNumber(), TForm1::kSourceSoundCard);
    EXPECT_EQ(main.windowTitle(), "Orvane - other.owk");
    main.SaveWorkspace1Click();
    EXPECT_EQ(TIniFile(Data() + "other.owk").ReadString("General", "SrcNum", ""), "1");
}

TEST_F(SettingsTest, PickingASourceInTheDialogEndsTheOverride) {
    WriteFileBytes(Data() + "default.owk", "[General]\nSrcNum=3\n");
    TForm1& main = Start({"/C:SOC:h:1"});
    ASSERT_TRUE(main.Settings().SourceOverride());
    program.modal.onRun = [this](QDialog&) {
        Src().PageControl1->setCurrentIndex(0);
        Src().SECOM1->setValue(5);
        return int(QDialog::Accepted);
    };
    main.SelectRDSInput1Click();
    EXPECT_FALSE(main.Settings().SourceOverride());
    EXPECT_EQ(main.SourceNumber(), TForm1::kSourceSerial);
    main.SaveWorkspace1Click();
    const TIniFile saved(Data() + "default.owk");
    EXPECT_EQ(saved.ReadString("General", "SrcNum", ""), "0");
    EXPECT_EQ(saved.ReadString("General", "COMPort1", ""), "5");
    EXPECT_EQ(saved.ReadString("General", "Host", ""), "H");

    // The slicer takes the sound-card settings on OK, also before an input
    // device is chosen.
    program.modal.onRun = [this](QDialog&) {
        Src().PageControl1->setCurrentIndex(1);
        Src().RGEDGE->SetItemIndex(2);
        Src().CBINV->setChecked(true);
        Src().SETH1->setValue(150);
        Src().SETH2->setValue(30);
        return int(QDialog::Accepted);
    };
    main.SelectRDSInput1Click();
    EXPECT_TRUE(main.Slicer().settings.mono);
    EXPECT_TRUE(main.Slicer().settings.invert);
    EXPECT_FLOAT_EQ(main.Slicer().settings.t1, 1.50f);
    EXPECT_FLOAT_EQ(main.Slicer().settings.t2, 0.30f);
    program.modal.onRun = [this](QDialog&) {
        Src().PageControl1->setCurrentIndex(0);
        return int(QDialog::Accepted);
    };
    main.SelectRDSInput1Click();

    // Cancelling changes nothing.
    program.modal.onRun = [this](QDialog&) {
        Src().PageControl1->setCurrentIndex(1);
        return int(QDialog::Rejected);
    };
    main.SelectRDSInput1Click();
    EXPECT_EQ(main.SourceNumber(), TForm1::kSourceSerial);
}

TEST_F(SettingsTest, OpeningAWorkspaceClosesTheSourceThatWasRunning) {
    WriteFileBytes(Data() + "default.owk", "[General]\nSrcNum=0\n");
    WriteFileBytes(Data() + "device.owk", "[General]\nSrcNum=2\n");
    TForm1& main = Start();
    // The serial receiver runs the decoder tick while it is connected.
    main.EnableDecoderTick(true);
    program.modal.fileToOpen = Data() + "device.owk";
    main.OpenWorkspace1Click();
    EXPECT_EQ(main.SourceNumber(), TForm1::kSourceDevice);
    // The serial receiver was disconnected, not the device link it became.
    EXPECT_FALSE(main.DecoderTimer().Enabled());
}

TEST_F(SettingsTest, OpeningAWorkspaceSwitchesTheSourceAndTellsThePlugins) {
    WriteFileBytes(Data() + "serial.owk", "[General]\nSrcNum=0\nTop=50\n");
    TForm1& main = Start();
    RecordingPlugins::Seen().clear();
    program.modal.fileToOpen = Data() + "serial.owk";
    main.OpenWorkspace1Click();
    EXPECT_EQ(main.SourceNumber(), TForm1::kSourceSerial);
    EXPECT_EQ(main.WorkspaceFile(), Data() + "serial.owk");
    EXPECT_EQ(main.windowTitle(), "Orvane - serial.owk");
    // Rectangle and workspace to the plug-ins, then the old source's
    // disconnection resets the decoded data.
    std::vector<std::string> commands;
    for (const auto& s : RecordingPlugins::Seen()) commands.push_back(s.command);
    EXPECT_EQ(commands, (std::vector<std::string>{"LEFT", "TOP", "RIGHT", "BOTTOM", "OPENWORKSPACE", "RESETDATA"}));

    // Cancelling the dialog keeps everything.
    RecordingPlugins::Seen().clear();
    program.modal.fileToOpen.clear();
    main.OpenWorkspace1Click();
    EXPECT_TRUE(RecordingPlugins::Seen().empty());
    EXPECT_EQ(main.WorkspaceFile(), Data() + "serial.owk");
}

TEST_F(SettingsTest, SaveWorkspaceAsWritesTheNewFileAndRemembersIt) {
    TForm1& main = Start();
    RecordingPlugins::Seen().clear();
    program.modal.fileToSave = Data() + "copy.owk";
    main.SaveWorkspaceAs1Click();
    EXPECT_EQ(main.windowTitle(), "Orvane - copy.owk");
    EXPECT_TRUE(TIniFile(Data() + "copy.owk").SectionExists("Record"));
    EXPECT_EQ(TIniFile(Data() + "orvane.ini").ReadString("General", "WorkspaceFile", ""), Data() + "copy.owk");
    EXPECT_EQ(Commands("SAVEWORKSPACE"), std::vector<std::string>{"SAVEWORKSPACE " + Data() + "copy.owk"});
}

TEST_F(SettingsTest, TheTimeoutTimerRunsOnlyWhenAnOptionUsesIt) {
    TForm1& main = Start();
    EXPECT_FALSE(main.TimeoutTimer().Enabled());
    for (const auto& [reset, stop, enabled] :
         std::vector<std::tuple<bool, bool, bool>>{{true, false, true}, {false, true, true}, {false, false, false}}) {
        program.modal.onRun = [&](QDialog&) {
            Opt().CBRETO->setChecked(reset);
            Opt().CBSTTO->setChecked(stop);
            Opt().SETMOUT->setValue(12);
            return int(QDialog::Accepted);
        };
        main.Options1Click();
        EXPECT_EQ(main.TimeoutTimer().Enabled(), enabled) << reset << stop;
        EXPECT_EQ(main.TimeoutTimer().Interval(), 12000);
    }
}

TEST_F(SettingsTest, AWriteProtectedSettingsFileShowsTheMessageAndLosesNothing) {
    const std::string old = "[General]\nWorkspaceFile=" + Data() + "default.owk\nSuperPI=1\n";
    WriteFileBytes(Data() + "orvane.ini", old);
    ASSERT_EQ(::chmod((Data() + "orvane.ini").c_str(), 0444), 0);
    TForm1& main = Start();
    EXPECT_TRUE(Opt().CBSPI->isChecked());
    Opt().CBSPI->setChecked(false);
    main.close();
    EXPECT_EQ(main.StatusText(), "Can't write to the file, please remove write protection!");
    EXPECT_EQ(ReadFileBytes(Data() + "orvane.ini"), old);
    // The workspace beside it was still written.
    EXPECT_TRUE(TIniFile(Data() + "default.owk").SectionExists("General"));
}

// A workspace that became other data is named on the status line, whole
// however long its path, its name shortened in the middle where it must be.
TEST_F(SettingsTest, AWorkspaceThatIsNoLongerOneIsNamedWithinTheStatusLine) {
    const QString tail = "\" is no longer a workspace file and is left as it is.";
    const std::string deep = Data() + std::string(12, 'd') + "/" + std::string(120, 'e') + "/";
    QDir().mkpath(QString::fromStdString(deep));
    TForm1& main = Start();
    main.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&main));
    QStatusBar* bar = main.statusBar();
    const int room = bar->width() - 12; // the bar's margins
    for (const std::string& name : {Data() + "w.owk", deep + "station workspace.owk"}) {
        SCOPED_TRACE(name);
        const QString file = QString::fromStdString(name);
        WriteFileBytes(name, "C201 0140 E0CD 4F52\r\n");
        main.Settings().SetWorkspaceFile(name);
        main.SaveWorkspace1Click();
        EXPECT_EQ(ReadFileBytes(name), "C201 0140 E0CD 4F52\r\n");
        const QString whole = "\"" + file + tail;
        ASSERT_GT(bar->fontMetrics().horizontalAdvance(whole), room) << "the whole message fits: the bar is too wide to show the fault";
        // The message's start and end whole, and of the name its head and its tail.
        const QString shown = main.StatusText();
        EXPECT_LE(bar->fontMetrics().horizontalAdvance(shown), room) << shown.toStdString();
        ASSERT_TRUE(shown.startsWith("\"") && shown.endsWith(tail)) << shown.toStdString();
        const QStringList halves = shown.mid(1, shown.size() - 1 - tail.size()).split(QChar(0x2026));
        ASSERT_EQ(halves.size(), 2) << shown.toStdString();
        EXPECT_TRUE(file.startsWith(halves[0]) && halves[0].size() >= 3) << shown.toStdString();
        EXPECT_TRUE(file.endsWith(halves[1]) && halves[1].size() >= 3) << shown.toStdString();
        // The whole path is still there to read under the mouse.
        EXPECT_EQ(bar->toolTip(), whole);
    }
}
