#include "si.h"

#include "Unit1.h"

namespace orvane {

TFSI::TFSI(TForm1& main) : QWidget(&main, Qt::Window), main_(main) {
    setObjectName("FSI");
    setWindowTitle("Status Information");
}

} // namespace orvane
