#pragma once
#include <QDialog>

namespace orvane {

class TForm1;

class TDOPT : public QDialog {
    Q_OBJECT
public:
    explicit TDOPT(TForm1& main);

private:
    TForm1& main_;
};

} // namespace orvane
