// "Save Workspace" through the real program with the built group analyser
// loaded, on a workspace of 200 and of 3,000 lines (the rest another
// program's section). Counted: the writes that reach the workspace file per
// Save (renames onto it and writes in place, as inotify reports them), and
// the time of a Save, syncs included. The scratch folder lies under the
// system's temporary folder; point TMPDIR elsewhere to measure another disk.
#include "FileBench.h"
#include "FileWrites.h"
#include "OrvaneApp.h"
#include "Unit1.h"

#include <QApplication>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

namespace {

namespace fs = std::filesystem;

fs::path g_scratch;

long LineCount(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    long lines = 0;
    for (std::string line; std::getline(in, line);) ++lines;
    return lines;
}

void Append(const fs::path& file, const std::string& text) {
    std::ofstream(file, std::ios::binary | std::ios::app) << text;
}

void BM_SaveWorkspace(benchmark::State& state) {
    const long target = state.range(0);
    const fs::path root = g_scratch / ("lines_" + std::to_string(target));
    const fs::path program = root / "orvane";
    const fs::path data = fs::path(std::getenv("XDG_DATA_HOME")) / "orvane";
    fs::remove_all(data);
    fs::create_directories(program / "plugins");
    fs::create_directories(data);
    const char* dir = std::getenv("ORVANE_PROGRAM_DIR");
    fs::copy_file(fs::path(dir && *dir ? dir : ORVANE_DEFAULT_PROGRAM_DIR) / "plugins/kelmira.so",
                  program / "plugins/kelmira.so", fs::copy_options::overwrite_existing);
    const fs::path workspace = root / "studio.owk";
    std::ofstream(workspace, std::ios::binary | std::ios::trunc) << "[General]\nSignalTimeout=30\n";
    std::ofstream(data / "orvane.ini", std::ios::binary | std::ios::trunc)
        << "[General]\nWorkspaceFile=" << workspace.string() << "\n";

    orvane::SystemEnv system;
    auto app = std::make_unique<orvane::OrvaneApp>(system.Make((program / "orvane").string(), {}));
    app->CreateWindows();
    orvane::TForm1& main = *app->Forms().form1;
    // The first Save writes every section the program and the analyser own;
    // another program's section fills the file up to its size.
    main.SaveWorkspace1Click();
    std::string padding = "\n[Stations]\n";
    for (long n = LineCount(workspace) + 2; n < target; ++n)
        padding += "Station" + std::to_string(n) + "=C201 ORVANE 87.60 MHz, heard " + std::to_string(n % 97) + " times\n";
    Append(workspace, padding);

    orvane::test::FileWrites writes(workspace.string());
    for (auto _ : state) main.SaveWorkspace1Click();
    const double saves = static_cast<double>(state.iterations());
    state.counters["writes_per_save"] = writes.Count() / saves;
    state.counters["lines"] = static_cast<double>(LineCount(workspace));
    state.counters["kB"] = static_cast<double>(fs::file_size(workspace)) / 1024.0;
    app->Forms().form1->close();
    app.reset();
}

} // namespace

BENCHMARK(BM_SaveWorkspace)->Arg(200)->Arg(3000)->Unit(benchmark::kMillisecond)->Iterations(10)->UseRealTime();

int main(int argc, char** argv) {
    g_scratch = orvane::bench::ScratchFolder("bench_workspace");
    // The user data folder and the documents folder lie in the scratch folder.
    for (const char* var : {"HOME", "XDG_DATA_HOME", "XDG_CONFIG_HOME", "XDG_CACHE_HOME"}) {
        const fs::path p = g_scratch / var;
        fs::create_directories(p);
        setenv(var, p.c_str(), 1);
    }
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication qapp(argc, argv);
    return orvane::bench::RunBenchmarks(argc, argv, g_scratch);
}
