#pragma once
// The main window: owns the decoder state, the plug-in host and the windows'
// life cycle.
#include "AppEnv.h"
#include "BitSlicer.h"
#include "DecoderRing.h"
#include "DeviceLink.h"
#include "FilePlayer.h"
#include "GroupDecoder.h"
#include "GroupLineParser.h"
#include "Options.h"
#include "PIWatch.h"
#include "PlaybackSeeking.h"
#include "PluginHost.h"
#include "Recorder.h"
#include "SuperPIDecoder.h"
#include "SocketStream.h"
#include "WorkspaceManager.h"
#include "ReportWriter.h"
#include "SourceManager.h"

#include <orvane/valuetable.h>

#include <QMainWindow>

#include <array>
#include <memory>
#include <string>

class QAction;
class QComboBox;
class QLabel;
class QMenu;

namespace orvane {

namespace controls {
class TGradBand;
class TGradButton;
class TSeekTrackBar;
} // namespace controls

struct AppForms;

class TDOPT;

class TForm1 : public QMainWindow,
               private IGroupDecoderSink,
               private IPlaybackHost,
               private ISettingsHost,
               private IRecorderHost,
               private ISourceHost,
               private ISourceSettings,
               private IReportHost,
               private ISeekingHost,
               private ISoftPIHost,
               private ISocketStreamHost,
               private IDeviceLinkHost {
    Q_OBJECT
public:
    static constexpr int kSourceSerial = 0, kSourceSoundCard = 1, kSourceDevice = 2, kSourceNone = 3;

    TForm1(AppEnv& env, AppForms& forms);
    ~TForm1() override;

    // The second half of the start-up, run when the options dialog is created.
    void CompleteStartup();
    // From its creation on, the options are the options dialog's controls.
    void AttachOptionsDialog(TDOPT& dialog);
    AppEnv& Env() { return env_; }

    // The status line: a message for five seconds, then control hints again.
    void Show(const std::string& message) override;
    void ShowNaming(const std::string& message, const std::string& file) override;
    bool AutoHint() const { return autoHint_; }
    QString StatusText() const;

    void SendWindowRect();
    void SendWindowMove();

    // Reset of the decoded data: complete, keeping synchronisation, and the
    // decoder's own part.
    void Clear1Click();
    void ClearKeepSync();
    void BasicClear();

    // Every group from every source passes here.
    void SendRDSGroup(const TRDSGroupRec& group) override;
    void UpdateBER(const std::string& text);
    // The confirmed PS, else the current one.
    std::string PSN() const override;

    // The decoder tick: drains the ring into the synchroniser.
    void TimerRDSDecoderTimer();
    void TimerTimeoutTimer();
    void TimerNoSyncTimer();
    void TimerCommandTimer();
    // Pending bits a tick keeps back so groups come out evenly.
    int DecoderReserve() const;

    DecoderRing& Ring() { return ring_; }
    TValueTable& ValueTable() override { return valueTable_; }
    const PIWatch& PIState() const { return piWatch_; }
    int32_t GroupsThisSecond() const { return groupsPerSecond_; }
    void ResetGroupsThisSecond() { groupsPerSecond_ = 0; }
    int32_t ShownGroupCount() const override { return shownGroupCount_; }
    const std::string& ApplicationTitle() const { return appTitle_; }
    ITimer& DecoderTimer() { return *timerRDSDecoder_; }
    // The decoder tick runs while a live bit source is connected.
    void EnableDecoderTick(bool on) override { timerRDSDecoder_->SetEnabled(on); }
    ITimer& TimeoutTimer() { return *timerTimeout_; }
    void SetOptions(const IOptions* options) {
        options_ = options ? options : &defaultOptions_;
        decoder_.SetOptions(*options_);
    }

    GroupDecoder& Decoder() { return decoder_; }
    SuperPIDecoder& SoftPI() { return superPI_; }
    PluginHost& Plugins() { return plugins_; }
    const IOptions& Options() const override { return *options_; }
    BitSlicer& Slicer() { return slicer_; }

    int SourceNumber() const override { return srcNum_; }
    bool SourceConnected() const override { return sources_.Connected(); }
    int SerialComPort() const override { return source_.comPort1; }
    DeviceSettings DeviceLinkSettings() const override {
        return {source_.connectionType, source_.comPort2, source_.host, source_.port, source_.deviceType};
    }
    SourceManager& Sources() { return sources_; }
    // Set by the source connection.
    void SetSourceNumber(int source) { srcNum_ = source; }
    bool Playing() const override { return player_.Playing(); }
    FilePlayer& Player() { return player_; }
    Recorder& RecorderUnit() { return recorder_; }
    PlaybackSeeking& Seeking() { return seeking_; }
    SocketStream& Stream() { return stream_; }
    DeviceLink& Device() { return deviceLink_; }
    // Characters of device replies since the status window last looked.
    int32_t ReceivedCharacters() const { return receivedChars_; }
    void ResetReceivedCharacters() { receivedChars_ = 0; }
    // Group lines from the device link and socket streams, with their
    // "RESET" and "EXIT" control lines.
    GroupLineParser& GroupLines() { return groupLines_; }
    bool Recording() const override { return recorder_.Recording(); }
    const std::string& ProgramFolder() const override { return programFolder_; }
    const std::string& DataFolder() const { return dataFolder_; }
    const std::string& DocumentsFolder() const override { return documentsFolder_; }
    const std::string& WorkspaceFile() const { return settings_->WorkspaceFile(); }
    WorkspaceManager& Settings() { return *settings_; }
    // The source and its connection settings, kept in the workspace.
    SourceSettings& Source() { return source_; }
    // "Visible" of the workspace loaded at start-up.
    bool StartVisible() const { return startVisible_; }
    // Entries of the recording pre-buffer the workspace asked for.
    int RecBufferEntries() const { return recorder_.RecBufferSize(); }
    const std::string& RecordingTemplate() const { return recorder_.Template(); }

    // Settings and workspace.
    void LoadConfig();
    void SaveConfig();
    void LoadWorkspace();
    void SaveWorkspace();
    void OpenWorkspace();
    void UpdateCaption();
    void ApplyOptions();
    ReportWriter& Reports() { return reports_; }
    // The opener of documents and links.
    IShell& Shell() { return *env_.shell; }
    // Writes the value table to an ini file; a failure shows on the status line.
    void SaveValuesToIni(const std::string& fileName);
    // Every save dialog of the program, asking before it overwrites; empty
    // when cancelled. `start` is a folder, or a folder and a proposed name;
    // empty: the documents folder, which is made when a dialog starts there
    // and it is missing. A name typed without an extension gets the chosen
    // filter's. `filterIndex` (0-based): shown first, then chosen.
    std::string AskSaveFile(const std::string& filter, const std::string& start, int& filterIndex);
    std::string AskSaveFile(const std::string& filter, const std::string& start);
    // Every open dialog, starting in folders as the save dialogs do.
    std::string AskOpenFile(const std::string& filter, const std::string& folder, int& filterIndex);
    // The workspace keys of the play and recording dialogs, as they stand.
    const WorkspaceState& DialogState() const { return dialogState_; }
    bool RectangleSent() const { return rectSent_; }

    QComboBox* CBFREQ = nullptr;
    QLabel* LPI = nullptr;
    QLabel* LPS = nullptr;
    QLabel* LBER = nullptr;
    QLabel* LGR = nullptr;
    QLabel* LEND = nullptr;
    QLabel* LPLAY = nullptr;
    QLabel* LPAUSE = nullptr;
    controls::TSeekTrackBar* TBSpeed = nullptr;
    // The seeking bar: shown while a counted file plays.
    controls::TSeekTrackBar* ATB = nullptr;
    // The display strips behind the labels, hidden by "Flat LCD".
    controls::TGradBand* GradBand1 = nullptr;
    controls::TGradBand* GradBand2 = nullptr;
    controls::TGradButton* BBPLAY = nullptr;
    controls::TGradButton* BBPSTOP = nullptr;
    controls::TGradButton* BBREC = nullptr;
    controls::TGradButton* BBSTOP = nullptr;
    controls::TGradButton* BBRECFN = nullptr;
    controls::TGradButton* BBTUNE = nullptr;
    controls::TGradButton* GradButton1 = nullptr;
    // Blank and disabled: it fills the last place of the key block.
    controls::TGradButton* GradButton2 = nullptr;

    // "Flat LCD", applied when the settings load: the bands go and the
    // display's labels become opaque.
    void ApplyFlatLCD(bool flat);
    QLabel* LREC = nullptr;
    QLabel* LRFN = nullptr;

    // The recording buttons.
    void BBRECClick() { recorder_.BBRECClick(); }
    void BBSTOPClick() { recorder_.BBSTOPClick(); }
    void BBRECFNClick() { recorder_.BBRECFNClick(); }
    // Files dropped on the window, in order: each one is played, so the last
    // keeps playing.
    void WMDropFiles(const std::vector<std::string>& files);

public slots:
    void PlayFile1Click();
    void FileInformation1Click();
    void PlayLocation1Click();
    void CreateReport1Click();
    void OpenWorkspace1Click();
    void SaveWorkspace1Click();
    void SaveWorkspaceAs1Click();
    void Exit1Click();
    void Data1Click();
    void MSIClick();
    void SelectRDSInput1Click();
    void Options1Click();
    void OrvaneHelp1Click();
    void About1Click();
    void miPluginsClick(int index);
    void miShowHideClick(int index);

signals:
    // The close has run; the window may never have been shown.
    void Closed();

protected:
    bool event(QEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;
    void closeEvent(QCloseEvent* e) override;
    void moveEvent(QMoveEvent* e) override;
    void changeEvent(QEvent* e) override;
    void dragEnterEvent(QDragEnterEvent* e) override;
    void dropEvent(QDropEvent* e) override;

private:
    void FormCreate();
    void FormClose();
    void BuildMenu();
    void BuildDisplay();
    void TimerStatusTimer();
    // A message too long for the status line shows whole in its tool tip.
    void StatusMessageChanged(const QString& message);
    std::string DialogStart(const std::string& start) const;
    void TimerFirstStartTimer();
    void AppMinimize();
    void AppRestore();
    QRect ScreenRect() const;

    // IGroupDecoderSink
    void NoSync() override;
    void BasicDecoder(const TRDSGroupRec& group);
    void LCDRefresh(const TRDSGroupRec& group);
    void SetApplicationTitle(const std::string& title);
    bool Paused() const;
    void SoftPISearchBit(uint8_t bit) { superPI_.Decode(bit); }
    void ClearSoftPISearch() { superPI_.Clear(); }
    void ClearRecBuffer() override { recorder_.ClearRecBuffer(); }
    // ISoftPIHost
    bool DecoderInSync() const override { return decoder_.InSync(); }
    bool PIDecoded() const override { return piText_ != "----"; }
    std::string ShownPI() const override;
    void ShowSoftPI(const std::string& pi) override;

    // ISettingsHost
    ConfigSettings ConfigControls() const override;
    void SetConfigControls(const ConfigSettings& settings) override;
    WorkspaceState WorkspaceControls() const override;
    void SetWorkspaceControls(const WorkspaceState& state) override;
    std::vector<std::string> AudioDevices() const override;
    void WindowAndScreenArea(QSize& frame, QRect& area) const override;
    void ApplyPriorityAndOnTop(bool highPriority, bool onTop);

    // Steps owned by parts of the program that are not here yet.
    void ConnectSource() { sources_.ConnectToSource(); }
    void DisconnectSource() { DisconnectSource(srcNum_); }
    void DisconnectSource(int source);
    // New source settings; the running slicer and its capture work with
    // them at once.
    void TakeSourceSettings(const SourceSettings& s);
    // ISourceHost
    void AddToDecoderBuffer(uint8_t bit) override { ring_.AddToDecoderBuffer(bit); }
    bool SoundCardIsSource() const override { return srcNum_ == kSourceSoundCard; }
    BitSlicer* SoundCard() override { return &slicer_; }
    // ISourceSettings
    int AudioInDevice() const override { return source_.audioInDevice; }
    SlicerSettings SoundCardSettings() const override;
    void StopRecording() override { BBSTOPClick(); }
    void ShowNoSync() override { UpdateBER("no sync"); }
    void StopPlayback() {}
    void PlayFile(const std::string& file) { player_.PlayFile(file); }

    // IReportHost, beside what the recorder asks too
    bool PlaybackEndShown() const override;
    std::string FrequencyText() const override;
    void ConfirmFrequency() override;
    std::string ConfirmedFrequency() const override;
    std::string AskReportFile(const std::string& initialFile) override;

    // IPlaybackHost
    void ResetDecodedData() override { Clear1Click(); }
    void StopRecordingFile() override { recorder_.StopRecordingFile(); }
    bool ConsiderBadBlocksAsCorrect() const override { return options_->ConsiderBadBlocksAsCorrect(); }

    // IRecorderHost
    std::string PIText() const override { return piText_; }
    std::string SelectedFrequency() const override;
    void SendCommandToAll(const std::string& command, const std::string& parameter) override {
        plugins_.SendCommandToAll(command, parameter);
    }
    void ResetGroupCount() override;
    void GrowGroupCount() override { ++shownGroupCount_; }
    std::string AskRecordingFileName(const std::string& folder, int& filterIndex) override;
    void RecordingChanged() override;
    bool SeekingEnabled() const override { return options_->SeekingEnabled(); }
    void SetGroupCount(int count) override;
    void SetGroupCountText(const std::string& text) override;
    void SetBERText(const std::string& text) override;
    void PlaybackChanged() override;
    void UpdateATB() { seeking_.UpdateATB(); }

    // The seeking bar's events.
    void ATBMouseDown() { seeking_.ATBMouseDown(); }
    void ATBMouseMove() { seeking_.ATBMouseMove(); }
    void ATBMouseUp() { seeking_.ATBMouseUp(); }
    void ATBGetTrackHint(int position, QString& hint) {
        hint = QString::fromStdString(seeking_.ATBGetTrackHint(position));
    }
    void BuildSeekBar(QWidget* parent);

    // ISeekingHost
    int SeekBarPosition() const override;
    void SetSeekBarPosition(int position) override;
    bool SeekBarVisible() const override;
    void SetSeekBarVisible(bool visible) override;
    int SpeedPosition() const override;
    void SetSpeedPosition(int position) override;

    // ISocketStreamHost
    bool SyncWithStreamRate() const override { return options_->SyncWithStreamRate(); }
    bool CommandsInGroup(std::string_view line) override { return groupLines_.CommandsInGroup(line); }
    bool InputQuery(const std::string& caption, const std::string& prompt, std::string& value) override;
    void Message(const std::string& text) override;

    // IDeviceLinkHost
    bool PlaybackHoldsDevice() const override { return player_.Playing() || player_.Ended(); }
    void AddReceivedCharacters(int count) override { receivedChars_ += count; }
    void RestartNoSync() override;
    void EnableNoSync(bool on) override { timerNoSync_->SetEnabled(on); }
    int FrequencyEntries() const override;
    void SelectFrequency(int entry) override;
    bool DeviceSource() const override { return srcNum_ == kSourceDevice; }
    bool StreamPlaying() const override { return player_.Playing() && player_.Kind() == kPlayStream; }
    bool WriteToStream(const std::string& text) override { return stream_.Write(text); }
    void SendTuneToPlugins(const std::string& kHz) override { plugins_.SendCommandToAll("TUNE", kHz); }

    AppEnv& env_;
    AppForms& forms_;
    DefaultOptions defaultOptions_;
    const IOptions* options_ = &defaultOptions_;
    GroupDecoder decoder_;
    PluginHost plugins_;
    FilePlayer player_;
    Recorder recorder_;
    PlaybackSeeking seeking_{player_, *this};
    GroupLineParser groupLines_;
    SocketStream stream_;
    DeviceLink deviceLink_;
    int32_t receivedChars_ = 0;
    SourceManager sources_;
    ReportWriter reports_;
    SuperPIDecoder superPI_{*this};

    DecoderRing ring_;
    TValueTable valueTable_{};
    PIWatch piWatch_;
    int32_t dropCounter_ = 0;
    int32_t groupsPerSecond_ = 0;
    // After the ring it fills, so its capture stops before the ring goes.
    BitSlicer slicer_{*this, *env_.clock, *env_.timers};

    // What the main window shows of the decoded data.
    std::string piText_ = "----";
    std::array<std::string, 8> psChars_; // one UTF-8 character each
    std::string currentPS_ = "--------", previousPS_, confirmedPS_;
    int psRepeat_ = 0;
    int quality_[16];
    int32_t shownGroupCount_ = 0;
    int32_t refreshCounter_ = 0;
    std::string appTitle_ = "Orvane";

    std::unique_ptr<ITimer> timerRDSDecoder_;
    std::unique_ptr<ITimer> timerTimeout_;
    std::unique_ptr<ITimer> timerNoSync_;
    std::unique_ptr<ITimer> timerCommand_;
    std::unique_ptr<ITimer> timerFirstStart_;
    std::unique_ptr<ITimer> timerStatus_;
    bool autoHint_ = true;

    // The source number is part of the source settings.
    SourceSettings source_;
    int& srcNum_ = source_.srcNum;
    std::string programFolder_, dataFolder_, documentsFolder_;
    std::unique_ptr<WorkspaceManager> settings_;
    TDOPT* dopt_ = nullptr;
    // Workspace keys kept for the dialogs and streams that use them.
    WorkspaceState dialogState_;
    bool startVisible_ = true;
    // Where the workspace dialogs open next: the folder of the last pick.
    std::string workspaceOpenDir_, workspaceSaveDir_;
    int rememberedLeft_ = 0, rememberedTop_ = 0;
    bool rectSent_ = false;
    bool closed_ = false;

    QMenu* pluginsMenu_ = nullptr;
    QMenu* viewMenu_ = nullptr;
};

} // namespace orvane
