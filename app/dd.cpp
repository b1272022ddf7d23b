#include "dd.h"

#include "Unit1.h"

namespace orvane {

TFDD::TFDD(TForm1& main) : QDialog(&main), main_(main) {
    setObjectName("FDD");
    setWindowTitle("Decoder Data");
}

} // namespace orvane
