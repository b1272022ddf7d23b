#pragma once
// The source dialog "Select RDS Source": one page per source, the page index
// being the source number.
#include "Workspace.h"

#include <QDialog>

#include <string>
#include <vector>

class QComboBox;
class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTabWidget;
class QWidget;

namespace orvane {
namespace controls { class TColorBitBtn; }

class TForm1;
class TRadioGroup;
class TSpinEdit;

class TDSRC : public QDialog {
    Q_OBJECT
public:
    explicit TDSRC(TForm1& main);

    // The source settings into the controls, and back out of them.
    void FillFrom(const SourceSettings& settings);
    SourceSettings Taken() const;
    // CBINPUT's items; the item index is the input device number.
    std::vector<std::string> InputDevices() const;
    void SetInputDevices(const std::vector<std::string>& devices);

    // Handlers
    void FormShow();
    void RGEDGEClick();
    void Button1Click(); // "Default" thresholds
    void SECOM1Exit(TSpinEdit* edit);
    // "List..." of either COM port: the serial ports found and their numbers.
    void BLIST2Click();
    // "Mixer...": the desktop's recording levels.
    void BMIXClick();
    // The Windows version code: no Windows version applies here.
    static int GetWindowsVersion() { return 9; }

    QTabWidget* PageControl1 = nullptr;
    // "Serial COM Port"
    TSpinEdit* SECOM1 = nullptr;
    QPushButton* BLIST1 = nullptr;
    // "Sound Card"
    QComboBox* CBINPUT = nullptr;
    QPushButton* BMIX = nullptr;
    QCheckBox* CBINV = nullptr;
    TRadioGroup* RGEDGE = nullptr;
    QGroupBox* GBTL = nullptr;
    TSpinEdit *SETH1 = nullptr, *SETH2 = nullptr;
    QPushButton* Button1 = nullptr;
    QLabel *Image1 = nullptr, *Image3 = nullptr;
    QLabel* ImageCircuit = nullptr; // the receiver circuit of the application notes
    // "ASCII G Protocol"
    TRadioGroup* RGCONTYPE = nullptr;
    TSpinEdit* SECOM2 = nullptr;
    QPushButton* BLIST2 = nullptr;
    QLineEdit *EHOST = nullptr, *EPORT = nullptr;
    TRadioGroup* RGDEVTYPE = nullptr;
    controls::TColorBitBtn *BBOK = nullptr, *ColorBitBtn2 = nullptr;

protected:
    void showEvent(QShowEvent* e) override;

private:
    TForm1& main_;
};

} // namespace orvane
