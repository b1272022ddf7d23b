#pragma once
#include <QWidget>

namespace orvane {

class TForm1;

class TFSI : public QWidget {
    Q_OBJECT
public:
    explicit TFSI(TForm1& main);

private:
    TForm1& main_;
};

} // namespace orvane
