// Writes sample files of every kind of ending, reads each through the
// player's reader, and prints per kind how many files were read, how many
// groups were lost (with a sound block, with other blocks, with none), and
// how many that were never written played; then the same for the
// size-only rule (records end at least 115 bytes before the file's end).
//   bench_samplesweep [files per kind, default 56000] [seed]
#include "SampleEndings.h"
#include "SampleReader.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

namespace {

using namespace orvane;
using namespace orvane::test::endings;

struct Totals {
    int64_t files = 0, broken = 0;
    Outcome ours, bySize;
};

void Add(Outcome& to, const Outcome& o) {
    to.lostWithSoundBlock += o.lostWithSoundBlock;
    to.lostWithBlocks += o.lostWithBlocks;
    to.lostAllMissing += o.lostAllMissing;
    to.phantom += o.phantom;
}

void Row(const char* name, const Totals& t) {
    const auto n = [](int64_t v) { return static_cast<long long>(v); };
    std::printf("%-38s %7lld | %6lld %6lld %6lld %7lld %6lld | %6lld %6lld %6lld %7lld\n", name, n(t.files),
                n(t.ours.lostWithSoundBlock), n(t.ours.lostWithBlocks), n(t.ours.lostAllMissing), n(t.ours.phantom),
                n(t.broken), n(t.bySize.lostWithSoundBlock), n(t.bySize.lostWithBlocks), n(t.bySize.lostAllMissing),
                n(t.bySize.phantom));
}

} // namespace

int main(int argc, char** argv) {
    const long perKind = argc > 1 ? std::atol(argv[1]) : 56000;
    const uint64_t seed = argc > 2 ? std::strtoull(argv[2], nullptr, 10) : 20261211;
    const std::filesystem::path dir = std::filesystem::exists("/dev/shm") ? "/dev/shm" : std::filesystem::temp_directory_path();
    const std::string path = (dir / ("orvane-sweep-" + std::to_string(::getpid()) + ".smp")).string();
    Generator gen(seed);
    Totals totals[static_cast<int>(Ending::kCount)];
    SampleReader reader;
    for (int e = 0; e < static_cast<int>(Ending::kCount); ++e) {
        for (long i = 0; i < perKind; ++i) {
            const File f = MakeFile(gen, static_cast<Ending>(e));
            std::ofstream(path, std::ios::binary | std::ios::trunc).write(f.bytes.data(), static_cast<std::streamsize>(f.bytes.size()));
            if (!reader.Open(path)) {
                std::fprintf(stderr, "cannot read %s\n", path.c_str());
                return 1;
            }
            int64_t played = 0;
            const uint8_t* rec = nullptr;
            while (reader.Next(rec) == SampleReader::Result::Record) ++played;
            reader.Close();
            Totals& t = totals[e];
            ++t.files;
            const Outcome o = Judge(f, played);
            t.broken += o.broken != nullptr;
            Add(t.ours, o);
            Add(t.bySize, Judge(f, PlayedBySize(static_cast<int64_t>(f.bytes.size()))));
        }
    }
    std::filesystem::remove(path);

    std::printf("%-38s %7s | %-35s | %s\n", "", "", "the contract", "the size-only rule");
    std::printf("%-38s %7s | %6s %6s %6s %7s %6s | %6s %6s %6s %7s\n", "ending", "files", "sound", "blocks", "empty",
                "phantom", "broken", "sound", "blocks", "empty", "phantom");
    Totals all;
    for (int e = 0; e < static_cast<int>(Ending::kCount); ++e) {
        const Totals& t = totals[e];
        Row(Name(static_cast<Ending>(e)), t);
        all.files += t.files;
        all.broken += t.broken;
        Add(all.ours, t.ours);
        Add(all.bySize, t.bySize);
    }
    Row("all", all);
    std::printf("sound, blocks, empty: groups lost that had a sound block, that had blocks but none sound, that had "
                "none; phantom: groups played that were never written; broken: files where the contract's outcome "
                "does not hold\n");
    return all.broken ? 2 : 0;
}
