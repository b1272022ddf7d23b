#include "freq.h"

#include "Unit1.h"

namespace orvane {

TDFREQ::TDFREQ(TForm1& main) : QDialog(&main), main_(main) {
    setObjectName("DFREQ");
    setWindowTitle("Saving Report");
}

} // namespace orvane
