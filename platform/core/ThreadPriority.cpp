#include "ThreadPriority.h"

#include <iterator>
#include <sys/resource.h>

namespace orvane {

void ApplyThreadPriority(int tid, TThreadPriority p) {
    static constexpr int kNice[] = {19, 10, 5, 0, -5, -10, -15};
    const int i = static_cast<int>(p);
    if (tid > 0 && i >= 0 && i < static_cast<int>(std::size(kNice)))
        (void)setpriority(PRIO_PROCESS, static_cast<id_t>(tid), kNice[i]);
}

} // namespace orvane
