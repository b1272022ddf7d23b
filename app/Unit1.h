#pragma once
// The main window: owns the decoder state, the plug-in host and the windows'
// life cycle.
#include "AppEnv.h"
#include "GroupDecoder.h"
#include "Options.h"
#include "PluginHost.h"

#include <QMainWindow>

#include <memory>
#include <string>

class QAction;
class QComboBox;
class QLabel;
class QMenu;
class QPushButton;

namespace orvane {

struct AppForms;

class TForm1 : public QMainWindow, private IGroupDecoderSink {
    Q_OBJECT
public:
    static constexpr int kSourceSerial = 0, kSourceSoundCard = 1, kSourceDevice = 2, kSourceNone = 3;

    TForm1(AppEnv& env, AppForms& forms);
    ~TForm1() override;

    // The second half of the start-up, run when the options dialog is created.
    void CompleteStartup();

    // The status line: a message for five seconds, then control hints again.
    void Show(const std::string& message);
    bool AutoHint() const { return autoHint_; }
    QString StatusText() const;

    void SendWindowRect();
    void SendWindowMove();

    // Reset of the decoded data, complete.
    void Clear1Click();

    GroupDecoder& Decoder() { return decoder_; }
    PluginHost& Plugins() { return plugins_; }
    const IOptions& Options() const { return *options_; }

    int SourceNumber() const { return srcNum_; }
    bool Playing() const { return playing_; }
    bool Recording() const { return recording_; }
    const std::string& ProgramFolder() const { return programFolder_; }
    const std::string& DataFolder() const { return dataFolder_; }
    const std::string& DocumentsFolder() const { return documentsFolder_; }
    const std::string& WorkspaceFile() const { return workspaceFile_; }
    bool RectangleSent() const { return rectSent_; }

    QComboBox* CBFREQ = nullptr;
    QLabel* LPI = nullptr;
    QLabel* LPS = nullptr;
    QLabel* LBER = nullptr;
    QLabel* LGR = nullptr;
    QLabel* LEND = nullptr;
    QPushButton* GradButton1 = nullptr;

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

protected:
    bool event(QEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;
    void closeEvent(QCloseEvent* e) override;
    void moveEvent(QMoveEvent* e) override;
    void changeEvent(QEvent* e) override;

private:
    void FormCreate();
    void FormClose();
    void BuildMenu();
    void BuildDisplay();
    void TimerStatusTimer();
    void TimerFirstStartTimer();
    void AppMinimize();
    void AppRestore();
    QRect ScreenRect() const;

    // IGroupDecoderSink
    void SendRDSGroup(const TRDSGroupRec& group) override;
    void NoSync() override;

    // Steps owned by parts of the program that are not here yet.
    void LoadSettings() {}
    void SaveSettings() {}
    void OpenWorkspace() {}
    void SaveWorkspace() {}
    void ConnectSource() {}
    void DisconnectSource();
    void StopRecording() {}
    void StopPlayback() {}
    void WriteAutoReport() {}
    void PlayFile(const std::string& /*file*/) {}

    AppEnv& env_;
    AppForms& forms_;
    DefaultOptions defaultOptions_;
    const IOptions* options_ = &defaultOptions_;
    GroupDecoder decoder_;
    PluginHost plugins_;

    std::unique_ptr<ITimer> timerFirstStart_;
    std::unique_ptr<ITimer> timerStatus_;
    bool autoHint_ = true;

    int srcNum_ = kSourceNone;
    std::string programFolder_, dataFolder_, documentsFolder_, workspaceFile_;
    int rememberedLeft_ = 0, rememberedTop_ = 0;
    bool rectSent_ = false;
    bool playing_ = false, recording_ = false, playbackEnded_ = false;
    bool closed_ = false;

    QMenu* pluginsMenu_ = nullptr;
    QMenu* viewMenu_ = nullptr;
};

} // namespace orvane
