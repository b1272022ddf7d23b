// Sample files that end in any way a real one may, judged by the reading
// contract of SampleFormat.h: records that prove themselves (full groups,
// groups with only one block and three missing), all-missing ones, ones
// with bad check words or with the low bits of their check words set, now
// and then more of them than the reader's look at the tail spans; then
// nothing, part of a record, our trailer (or another writer's in our layout
// with its own printed address and product) whole, cut at any length, or
// with zero or random bytes appended on both sides of the most the reader
// looks past it; our layout with a byte that is no printed text; or another
// tool's trailer of random bytes, text with zeros or zeros, whole or cut.
// Every input is judged: the records that play are exactly those the
// contract's rules give, read from all of the file's bytes.
//
// Input: a byte for the ending, then the bytes the generator draws.
#include "FuzzInput.h"
#include "SampleEndings.h"
#include "SampleReader.h"

#include <cstring>

namespace {

using namespace orvane;
using namespace orvane::test::endings;

class FuzzSource final : public Source {
public:
    explicit FuzzSource(fuzz::FuzzInput& in) : in_(in) {}
    uint32_t Next() override { return in_.U32(); }

private:
    fuzz::FuzzInput& in_;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::FuzzInput in(data, size);
    const auto ending = static_cast<Ending>(in.Byte() % static_cast<int>(Ending::kCount));
    FuzzSource source(in);
    const File f = MakeFile(source, ending);

    static const std::string path = fuzz::ScratchPath("ends.smp");
    fuzz::WriteScratch(path, f.bytes);
    SampleReader reader(64);
    fuzz::Check(reader.Open(path), "the scratch file opens");
    fuzz::Check(reader.HasHeader(), "a file we write has its header");
    int64_t played = 0;
    const uint8_t* rec = nullptr;
    for (SampleReader::Result r; (r = reader.Next(rec)) == SampleReader::Result::Record; ++played)
        fuzz::Check(std::memcmp(rec, f.bytes.data() + 2 + kSampleRecordSize * played, kSampleRecordSize) == 0,
                    "records play in place, in order");
    fuzz::Check(reader.TotalGroups() == played, "the total is what plays");
    const Outcome o = Judge(f, played);
    if (o.broken) fuzz::Fail(o.broken);
    return 0;
}
