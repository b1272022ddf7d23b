#pragma once
// For benchmarks over files: a scratch folder of this process, the runs with
// the folder removed afterwards, and the peak resident set that shows memory
// stays flat whatever the size of the input.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

namespace orvane::bench {

// VmHWM of /proc/self/status in kB, -1 when unknown.
inline long PeakResidentKB() {
    std::ifstream f("/proc/self/status");
    std::string line;
    while (std::getline(f, line))
        if (line.rfind("VmHWM:", 0) == 0) return std::atol(line.c_str() + 6);
    return -1;
}

// A new folder under the system's temporary folder, named for this process.
inline std::filesystem::path ScratchFolder(const std::string& name) {
    const auto dir = std::filesystem::temp_directory_path() / (name + "_" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    return dir;
}

// Runs the benchmarks the command line names, then removes the scratch folder.
inline int RunBenchmarks(int argc, char** argv, const std::filesystem::path& scratch) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::error_code ec;
    std::filesystem::remove_all(scratch, ec);
    return 0;
}

} // namespace orvane::bench
