#include "src.h"

#include "Unit1.h"

namespace orvane {

TDSRC::TDSRC(TForm1& main) : QDialog(&main), main_(main) {
    setObjectName("DSRC");
    setWindowTitle("Select RDS Source");
}

} // namespace orvane
