#pragma once
#include <QDialog>

namespace orvane {

class TForm1;

class TDFREQ : public QDialog {
    Q_OBJECT
public:
    explicit TDFREQ(TForm1& main);

private:
    TForm1& main_;
};

} // namespace orvane
