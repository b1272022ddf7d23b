// A device's replies as a slot receives them: frames (and, in raw inputs,
// stray bytes) cut into reads of any size, with the receive text trimmed
// whenever too much waits, framed a tick at a time into the response ring
// and the key table.
#include "FuzzInput.h"
#include "ReplyFramer.h"
#include "ValueStore.h"

#include <algorithm>
#include <climits>
#include <set>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace {

using namespace orvane;
using Frame = std::pair<std::string, std::string>;

constexpr size_t kMaxStream = 64 * 1024;
// Few enough reads that one input stays quick, however small they are.
constexpr size_t kMaxReads = 1000;

// Letters, digits, blank and comma make keys the store accepts; the rest
// make keys it refuses. None of them is CR, LF or a colon.
constexpr std::string_view kKeyChars = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789 ,_-.";

// A value as a device sends it: no terminator inside, and no CR LF at either
// end, where it would run into the colon's line end or the terminator.
std::string CleanValue(const std::string& raw) {
    std::string v;
    for (char c : raw) {
        v += c;
        if (v.size() >= 4 && v.compare(v.size() - 4, 4, "\r\n\r\n") == 0) v.back() = 'x';
    }
    if (v.size() >= 2 && v.compare(0, 2, "\r\n") == 0) v[0] = 'x';
    if (v.size() >= 2 && v.compare(v.size() - 2, 2, "\r\n") == 0) v.back() = 'x';
    return v;
}

std::string Response(const Frame& f) { return f.first + "=" + f.second; }

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::FuzzInput in(data, size);

    // The stream: a header byte (bit 0: raw, with stray bytes and keys of
    // any bytes), then items of a control byte each.
    const uint8_t header = in.Byte();
    const bool raw = header & 1;
    const int items = 1 + (header >> 1) % 32;
    std::string stream;
    std::vector<Frame> written;
    for (int i = 0; i < items && stream.size() < kMaxStream; ++i) {
        const uint8_t c = in.Byte();
        if (raw && (c & 3) == 3) {
            stream += in.Text();
            continue;
        }
        std::string key = in.Bytes(in.Byte() % 40);
        if (!(raw && (c & 4)))
            for (char& k : key)
                if (kKeyChars.find(k) == std::string_view::npos) k = kKeyChars[static_cast<uint8_t>(k) % kKeyChars.size()];
        size_t valueLength = in.Byte();
        if (c & 8) valueLength *= 64;
        std::string value = in.Bytes(valueLength);
        if (!raw) value = CleanValue(value);
        const std::string frame = key + ":\r\n" + value + "\r\n\r\n";
        const size_t repeat = 1 + static_cast<size_t>(c >> 4) * in.Byte();
        for (size_t r = 0; r < repeat && stream.size() < kMaxStream; ++r) {
            stream += frame;
            written.emplace_back(key, value);
        }
    }

    // What the stream holds when framed in one go, with nothing trimmed.
    std::vector<Frame> whole;
    {
        std::string all = stream;
        dravon::CutFrames(all, INT_MAX,
                          [&](std::string_view k, std::string_view v) { whole.emplace_back(std::string(k), std::string(v)); });
    }
    if (!raw) fuzz::Check(whole == written, "a stream of frames frames into exactly those frames");
    std::vector<std::string> expected;
    for (const Frame& f : whole)
        if (dravon::IsAcceptedKey(f.first)) expected.push_back(Response(f));

    // The slot: reads of sizes the input gives, each followed by a few ticks.
    dravon::ReceiveText rx;
    dravon::ResponseRing ring;
    dravon::KeyTable keys;
    std::vector<std::string> filed;
    std::vector<Frame> stored;  // every frame filed, in order
    const auto tick = [&] {
        const int cut = rx.Cut(dravon::kFramesPerTick, [&](std::string_view k, std::string_view v) {
            if (dravon::FileReply(ring, keys, k, v)) stored.emplace_back(std::string(k), std::string(v));
        });
        fuzz::Check(cut <= dravon::kFramesPerTick, "a tick cuts at most 21 frames");
        for (std::string r; ring.Take(r);) filed.push_back(std::move(r));
        return cut;
    };
    const size_t minRead = stream.size() / kMaxReads + 1;
    for (size_t at = 0; at < stream.size();) {
        size_t length = in.Empty() ? 4096 : 1 + (in.Byte() | static_cast<size_t>(in.Byte()) << 8);
        length = std::min(std::max(length, minRead), stream.size() - at);
        const int ticks = in.Empty() ? 1 : in.Byte() % 4;
        rx.Append(std::string_view(stream).substr(at, length));
        at += length;
        fuzz::Check(rx.Text().size() <= dravon::ReceiveText::kLimit + length, "the receive text stays bounded");
        for (int t = 0; t < ticks; ++t) tick();
    }
    while (tick() > 0) {
    }

    fuzz::Check(filed.size() == stored.size(), "a ring drained every tick drops nothing");
    // Every response filed is a whole frame of the stream, in the stream's order.
    size_t next = 0;
    for (const std::string& r : filed) {
        while (next < expected.size() && expected[next] != r) ++next;
        fuzz::Check(next < expected.size(), "a response filed is a whole frame fed, in order");
        ++next;
    }
    // Nothing trimmed, nothing lost.
    if (stream.size() <= dravon::ReceiveText::kLimit) fuzz::Check(filed == expected, "every whole frame is filed");

    // The key table holds the keys filed, first come first taken up to its
    // size, each with the last value filed for it while it was held.
    std::vector<std::string> held;
    std::set<std::string> heldSet;
    for (const Frame& f : stored) {
        if (heldSet.count(f.first) || held.size() >= dravon::KeyTable::kMaxKeys) continue;
        held.push_back(f.first);
        heldSet.insert(f.first);
    }
    fuzz::Check(keys.Size() == held.size(), "the key table holds only keys of frames fed");
    for (auto f = stored.rbegin(); f != stored.rend(); ++f) {
        if (!heldSet.erase(f->first)) continue;
        const std::string* v = keys.Find(f->first);
        fuzz::Check(v && *v == f->second, "a key holds the last value filed for it");
    }
    return 0;
}
