#pragma once
#include <QDialog>

namespace orvane {

class TForm1;

class TDSRC : public QDialog {
    Q_OBJECT
public:
    explicit TDSRC(TForm1& main);

private:
    TForm1& main_;
};

} // namespace orvane
