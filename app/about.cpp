#include "about.h"

#include "Unit1.h"

namespace orvane {

TAboutBox::TAboutBox(TForm1& main) : QDialog(&main), main_(main) {
    setObjectName("AboutBox");
    setWindowTitle("About");
}

} // namespace orvane
