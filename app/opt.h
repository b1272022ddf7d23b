#pragma once
// The options dialog: its controls are where most options live; the logic
// reads them through IOptions and the settings load straight into them.
#include "FileTypes.h"
#include "Options.h"
#include "SettingsFile.h"
#include "Workspace.h"

#include <QDialog>

#include <memory>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTabWidget;
class QWidget;

namespace orvane {
namespace controls { class TColorBitBtn; }

class TForm1;
class TCheckListBox;
class TRadioGroup;
class TSpinEdit;

class TDOPT : public QDialog, public IOptions {
    Q_OBJECT
public:
    explicit TDOPT(TForm1& main);
    ~TDOPT() override;

    // IOptions
    bool ResetOnPIChange() const override;
    bool ResetOnSignalTimeout() const override;
    int SignalTimeoutSeconds() const override;
    bool SaveWorkspaceOnExit() const override;
    bool ConsiderBadBlocksAsCorrect() const override;
    bool SuperPIDetector() const override;
    int SoundCardBufferItem() const override;
    bool Always441() const override;
    bool SeekingEnabled() const override;
    bool SyncWithStreamRate() const override;
    bool DetectPIChange() const override;
    int OnPIChangeItem() const override;
    bool StopRecordingOnSignalTimeout() const override;
    bool AddDateTime() const override;
    int RecBufferSeconds() const override;
    bool TimeMachineEnabled() const override;
    bool RecordGroupType(int index) const override;
    std::string DefaultFileName() const override;
    std::string RecorderName() const override;
    std::string RecorderLocation() const override;
    std::string RecorderNotes() const override;
    std::string ReportFileName() const override;
    std::string ReportTemplate() const override;
    bool SaveReportsAutomatically() const override;
    bool AlwaysConfirmFrequency() const override;

    // The controls the settings file and the workspace keep.
    ConfigSettings Config() const;
    void SetConfig(const ConfigSettings& settings);
    OptionSettings WorkspaceOptions() const;
    void SetWorkspaceOptions(const OptionSettings& options);

    // Handlers
    void FormShow();
    void EDEFFNExit();
    void EREPFNExit();
    void SETMOUTExit(TSpinEdit* edit);
    void CBSTPIClick();
    void TabSheet2Show(); // "Playback": the registration state
    void TabSheet3Show();
    void Button1Click();  // "Associate"
    void Button2Click();  // "Find..."
    void Button3Click();  // "Edit..."
    void Button4Click();  // "Select All"
    void Button5Click();  // "Select None"
    // The template file that "Edit..." opens.
    std::string TemplateFile() const;

    QTabWidget* PageControl1 = nullptr;
    QWidget *TabSheet1 = nullptr, *TabSheet2 = nullptr, *TabSheet3 = nullptr, *TabSheet4 = nullptr;
    // General
    QCheckBox *CBREPI = nullptr, *CBRETO = nullptr, *CBHIPRI = nullptr, *CBONTOP = nullptr, *CBAUSA = nullptr,
              *CBBBAC = nullptr, *CBFLCD = nullptr, *CBSPI = nullptr, *CB441 = nullptr;
    TSpinEdit* SETMOUT = nullptr;
    QComboBox* CBBUFLEN = nullptr;
    // Playback
    QCheckBox *CBTC = nullptr, *CBSS = nullptr;
    TCheckListBox* CLBFT = nullptr;
    QPushButton* Button1 = nullptr;
    // Recording
    QLineEdit* EDEFFN = nullptr;
    QCheckBox *CBSTPI = nullptr, *CBSTTO = nullptr, *CBTMEN = nullptr, *CBADDT = nullptr;
    TRadioGroup* RGRECEV = nullptr;
    TSpinEdit* SEBUFLEN = nullptr;
    QLineEdit *ENAME = nullptr, *ELOC = nullptr, *ENOTES = nullptr;
    TCheckListBox* CLBGREC = nullptr;
    QPushButton *Button4 = nullptr, *Button5 = nullptr;
    // Reports
    QLineEdit* EREPFN = nullptr;
    QCheckBox *CBSRA = nullptr, *CBCF = nullptr;
    QLineEdit* EOTP = nullptr;
    QPushButton *Button2 = nullptr, *Button3 = nullptr;
    controls::TColorBitBtn* ColorBitBtn1 = nullptr; // "Close"

protected:
    void keyPressEvent(QKeyEvent* e) override;
    void showEvent(QShowEvent* e) override;

private:
    void BuildGeneral();
    void BuildPlayback();
    void BuildRecording();
    void BuildReports();

    TForm1& main_;
    std::unique_ptr<IFileTypes> ownFileTypes_;
    IFileTypes* fileTypes_ = nullptr;
    std::string templateDialogDir_;
};

} // namespace orvane
