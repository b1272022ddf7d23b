#pragma once
// "Status Information": the receiver's rates and signal figures, and the two
// sound-card channels plotted live. The logic is StatusInfo's; the form owns
// the widgets and reads the main window for it.
#include "AppEnv.h"
#include "StatusInfo.h"
#include "TPaintBox.h"
#include "Timer.h"

#include <QWidget>

#include <functional>
#include <memory>
#include <string>

class QLabel;
class QPushButton;
class QTreeWidget;

namespace orvane {

class TForm1;

class TFSI : public QWidget, private IStatusHost, private IStatusView {
    Q_OBJECT
public:
    TFSI(TForm1& main, AppEnv& env);
    ~TFSI() override;

    QTreeWidget* VLESI = nullptr;
    QWidget* Panel1 = nullptr;
    TPaintBox* PaintBox1 = nullptr;
    QLabel* LL = nullptr;
    QLabel* LR = nullptr;
    QLabel* LPW = nullptr;
    QPushButton* Button1 = nullptr;
    QPushButton* Button2 = nullptr;
    std::unique_ptr<ITimer> Timer1;

    void Button1Click();
    void Button2Click();
    void Timer1Timer();
    void PaintBox1Paint();

    // The value of a row, empty when the row is not there.
    std::string RowValue(const std::string& name) const;
    std::vector<std::string> RowNames() const;
    StatusInfo& Status() { return status_; }

protected:
    void showEvent(QShowEvent* e) override;
    void hideEvent(QHideEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;

private:
    // Where "Save..." opens next: the folder of the last image saved.
    std::string saveFolder_;
    void FormShow();
    void FormHide();

    // IStatusHost: what the main window counts.
    StatusReadings ReadStatus() const override;
    void ZeroRateCounters() override;
    void ZeroPeaks() override;
    void ZeroSerialInput() override;
    const ScopeSamples& Scope() const override;
    // IStatusView
    void ClearRows() override;
    void SetRow(const std::string& name, const std::string& value) override;
    void SetScopeVisible(bool visible) override;
    bool ScopeVisible() const override;
    void SetWaitVisible(bool visible) override;
    void RepaintScope() override;

    TForm1& main_;
    AppEnv& env_;
    StatusInfo status_;
    mutable ScopeSamples scope_; // the slicer's, as the scope last drew them
};

} // namespace orvane
