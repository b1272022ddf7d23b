#include "opt.h"

#include "Unit1.h"

namespace orvane {

TDOPT::TDOPT(TForm1& main) : QDialog(&main), main_(main) {
    setObjectName("DOPT");
    setWindowTitle("Options");
    // Creating the options dialog completes the program's start-up.
    main_.CompleteStartup();
}

} // namespace orvane
