#pragma once
#include <QDialog>

namespace orvane {

class TForm1;

class TFDD : public QDialog {
    Q_OBJECT
public:
    explicit TFDD(TForm1& main);

private:
    TForm1& main_;
};

} // namespace orvane
