#pragma once
// The process's peak resident set, for benchmarks that show memory stays
// flat whatever the size of their input.
#include <cstdlib>
#include <fstream>
#include <string>

namespace orvane::bench {

// VmHWM of /proc/self/status in kB, -1 when unknown.
inline long PeakResidentKB() {
    std::ifstream f("/proc/self/status");
    std::string line;
    while (std::getline(f, line))
        if (line.rfind("VmHWM:", 0) == 0) return std::atol(line.c_str() + 6);
    return -1;
}

} // namespace orvane::bench
