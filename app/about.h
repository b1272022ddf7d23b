#pragma once
#include <QDialog>

namespace orvane {

class TForm1;

class TAboutBox : public QDialog {
    Q_OBJECT
public:
    explicit TAboutBox(TForm1& main);

private:
    TForm1& main_;
};

} // namespace orvane
