#pragma once
// The group analyser's window and the module state it carries.
#include "AnalyserLogic.h"
#include "LineView.h"

#include <orvane/rdsgroup.h>
#include <orvane/valuetable.h>

#include <QComboBox>
#include <QPointer>
#include <QSpinBox>
#include <QWidget>

#include <array>
#include <functional>
#include <string>

class QCheckBox;
class QColorDialog;
class QFileDialog;
class QGroupBox;
class QKeyEvent;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;
class QTableWidget;
class QTabWidget;
class QTimer;

namespace orvane::controls {
class TLinkLabel;
}

namespace kelmira {

// A drop-down list of named colours. With a custom item ("Custom...", the
// first item) any colour can be shown; choosing that item asks for a colour
// in a window-modal dialog (object name "ColorDialog1") that does not block.
class TColorBox : public QComboBox {
public:
    TColorBox(QWidget* parent, bool extendedColors, bool customColor);

    TColorRef Selected() const;
    // Selects the item of that colour, else the custom item set to it (or,
    // without one, nothing).
    void SetSelected(TColorRef color);
    TColorRef ColorAt(int index) const;

    // A colour chosen by the user, the custom colour included.
    std::function<void()> OnChange;

private:
    void AddColor(const QString& name, TColorRef color);
    void SetItemColor(int index, TColorRef color);
    void Activated(int index);

    bool custom_ = false;
    int lastIndex_ = -1;
    QPointer<QColorDialog> dialog_;
};

// A spin edit that takes at most a given number of typed digits, or none.
class TSpinEdit : public QSpinBox {
public:
    TSpinEdit(QWidget* parent, int minimum, int maximum, int value, int maxTypedDigits);

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    int maxTypedDigits_;
};

class TForm1 : public QWidget {
    Q_OBJECT
public:
    // owner: the host's main window, or null.
    explicit TForm1(QWidget* owner);
    ~TForm1() override;

    // Given by the host; handed back unchanged with every published value.
    TValueTable* HostRef = nullptr;

    void ProcessCommand(const char* command, const char* parameter);
    void ProcessGroup(const TRDSGroupRec& group);
    void ResetAll();

    // The detector's 100 ms tick; TimerGD calls it, and so can a test.
    Q_INVOKABLE void TimerGDTimer();

    // Shows a message without blocking; a window-modal box unless replaced.
    std::function<void(const QString&)> ShowMessage;

    const std::string& SectionName() const { return sectionName_; }

    // Components.
    QTabWidget* PageControl1 = nullptr;
    QTableWidget* SGA = nullptr;
    QTableWidget* SGB = nullptr;
    QTableWidget* SGAID = nullptr;
    QTableWidget* SGMASK = nullptr;
    TLineView* Memo1 = nullptr;
    TLineView* Memo2 = nullptr;
    TLineView* Memo3 = nullptr;
    TLineView* Memo4 = nullptr;
    TLineView* RichEdit1 = nullptr;
    TLineView* RichEdit2 = nullptr;
    TLineView* RichEdit3 = nullptr;
    QComboBox* CB1 = nullptr;
    QComboBox* CB2 = nullptr;
    QComboBox* CB3 = nullptr;
    QComboBox* CB4 = nullptr;
    QLabel* LCNT1 = nullptr;
    QLabel* LCNT2 = nullptr;
    QLabel* LCNT3 = nullptr;
    QLabel* LCNT4 = nullptr;
    QLabel* LCNT5 = nullptr;
    std::array<QPushButton*, 17> Button{}; // Button[1] .. Button[16]
    QListWidget* CLBSHOW = nullptr;
    QListWidget* CLBGD = nullptr;
    QListWidget* ListBox1 = nullptr;
    QLineEdit* Edit1 = nullptr;
    TColorBox* ColorBox1 = nullptr;
    TColorBox* CBBG = nullptr;
    QComboBox* ComboBox1 = nullptr;
    TSpinEdit* SpinEdit1 = nullptr;
    TSpinEdit* SELINES = nullptr;
    QCheckBox* CheckBox1 = nullptr;
    QLabel* STTS = nullptr;
    QRadioButton* RBLIMIT = nullptr;
    QRadioButton* RBNOLIMIT = nullptr;
    QGroupBox* GroupDetector = nullptr;
    QTimer* TimerGD = nullptr;
    orvane::controls::TLinkLabel* LinkLabel1 = nullptr;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void CreateComponents();
    QWidget* CreateStatisticsPage();
    QWidget* CreateHexPage();
    QWidget* CreateFullPage();
    QWidget* CreateAidPage();
    QWidget* CreateSetupPage();
    void WriteGridCaptions();
    // Sizes the text windows for their widest lines in the dump font; where
    // the screen has no room for that, they scroll sideways instead.
    void FitToFont();
    // Selects the dump font in the font list: its name, or the family drawn
    // for it when no font has that name.
    void ShowDumpFont();

    void SaveWorkspace(const char* file);
    void OpenWorkspace(const char* file);
    void Publish(const char* key, const std::string& value);
    void Publish(const std::string& key, const std::string& value);

    // The text windows.
    void LimitLines(TLineView* window, TTextWindow kind);
    void AppendLine(TLineView* window, TTextWindow kind, const QString& text, const TFormatRef& format);
    void UpdateFormats();
    void SaveWindow(TLineView* window);
    void WriteWindow(TLineView* window, const QString& fileName);
    void ClearMemo(int k);

    // Handlers.
    void Button1Click() { ClearMemo(0); }
    void Button2Click() { ClearMemo(1); }
    void Button3Click() { ClearMemo(2); }
    void Button4Click() { ClearMemo(3); }
    void Button5Click();
    void Button6Click();
    void Button9Click() { ResetAll(); }
    void Button10Click() { SaveWindow(RichEdit1); }
    void Button11Click();
    void Button12Click() { SaveWindow(RichEdit3); }
    void Button13Click() { SaveWindow(RichEdit2); }
    void Button14Click();
    void Button7Click();
    void Button8Click();
    bool SGMASKKeyPress(int cellLength, const QKeyEvent* event) const;
    void SGMASKExit();
    void Button16Click();
    void Edit1KeyPress();
    void Edit1Enter();
    void CLBGDClickCheck();
    void ListBox1Click();
    void ColorBox1Change();
    void CBBGChange();
    void FontPreview();
    void Button15Click();
    void RBLIMITClick();
    void SELINESExit();

    // Content lines and masks.
    void AIDContent(const TRDSGroupRec& group);
    bool MaskMatch(const TRDSGroupRec& group, int view) const;
    void UpdateMasks();
    bool ShowTicked(int item) const;

    // Statistics and detector.
    void GrpStat(int typeIndex);
    void RefreshGroupStatistics();
    void AIDStat(const TRDSGroupRec& group);
    int AddAID(uint16_t aid);
    void RemoveAID(int row);
    void DetectGroup(int typeIndex);
    void SetDetectorItem(int item, bool ticked);

    std::array<TLineView*, 4> memos_{};
    std::array<QComboBox*, 4> selectors_{};
    std::array<QLabel*, 5> counterLabels_{};
    std::array<TLineView*, 7> textWindows_{};
    QPointer<QFileDialog> SaveDialog1;
    QPointer<TLineView> saveSource_;
    QString saveFolder_; // where the last save went; empty before the first

    // Module state.
    std::string sectionName_;
    std::array<TColorRef, kGroupNameCount> GroupColors{};
    std::string DumpFontName;
    // The font list's item that shows the family drawn for DumpFontName
    // rather than the name itself; -1 once the user picks a font.
    int fontStandIn_ = -1;
    bool showingDumpFont_ = false;
    int DumpFontSize = 9;
    bool DumpFontBold = true;
    // The formats lines are added with, one per group type; rebuilt when a
    // colour or the dump font changes, so a group costs no font lookup.
    std::array<TFormatRef, kGroupNameCount> formats_;
    TFormatRef aidFormat_; // the 3A colour in the ODA AID window's font

    std::array<int, 5> lineCounts_{}; // Memo1 .. Memo4, RichEdit2
    TGroupSequence sequence_;

    // The mask patterns, 48 characters each, kept in step with SGMASK.
    std::array<std::string, kMaskCount> maskTexts_;

    TGroupStatistics stats_;
    TGroupDetector detector_;
    bool detectorUpdating_ = false; // our own ticks are no user clicks
    QMetaObject::Connection focusWatch_;
    // Value-table keys, made once.
    std::array<std::string, TGroupStatistics::kTypes> proportionKeys_;
    struct TAidKeys {
        std::string proportion, appGroup, aid;
    };
    std::array<TAidKeys, TGroupStatistics::kAidRows> aidKeys_;
};

} // namespace kelmira
