#pragma once
#include <QDialog>

#include <string>

class QComboBox;
class QGroupBox;
class QPushButton;

namespace orvane {

class TForm1;

// "Saving Report": asks for the reception frequency before a report.
class TDFREQ : public QDialog {
    Q_OBJECT
public:
    explicit TDFREQ(TForm1& main);

    // The chosen item's text: "not specified" or "87.5 MHz" ... "108.0 MHz".
    std::string FrequencyText() const;

    QGroupBox* GroupBox1 = nullptr;
    QComboBox* CBFREQ = nullptr;
    QPushButton* Button1 = nullptr;

private:
    void FormCreate();

    TForm1& main_;
};

} // namespace orvane
