#pragma once
#include <QDialog>

#include <string>

class QLabel;
class QPushButton;
class QTableWidget;

namespace orvane {

class TForm1;

// "Decoder Data": the shared value table as name/value rows.
class TFDD : public QDialog {
    Q_OBJECT
public:
    explicit TFDD(TForm1& main);

    // "Refresh" and "Save...".
    void Button3Click();
    void Button1Click();

    QTableWidget* VLEDB = nullptr;
    QWidget* Panel1 = nullptr;
    QLabel* LTR = nullptr;
    QPushButton* Button3 = nullptr;
    QPushButton* Button1 = nullptr;
    QPushButton* Button2 = nullptr;

protected:
    void showEvent(QShowEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;

private:
    TForm1& main_;
    // Where "Save..." opens next: the folder of the last file saved.
    std::string saveFolder_;
};

} // namespace orvane
