#pragma once
// Sample-file bytes as our writer stores them, for tests that build files.
#include "SampleFormat.h"

#include <string>
#include <string_view>
#include <vector>

namespace orvane::test {

// The 2-byte header, then a record per group (C or C' by the last block B).
inline std::string SampleRecordBytes(const std::vector<TRDSGroupRec>& groups) {
    SampleEncoder enc;
    std::string bytes(reinterpret_cast<const char*>(kSampleHeader), sizeof kSampleHeader);
    for (const auto& g : groups) {
        const SampleRecord r = enc.Encode(g);
        bytes.append(reinterpret_cast<const char*>(r.data()), r.size());
    }
    return bytes;
}

// The first `cut` bytes of our trailer.
inline std::string SampleTrailerBytes(size_t cut = kSampleTrailerSize, std::string_view location = {},
                                      std::string_view name = {}) {
    const SampleTrailer t = BuildSampleTrailer(location, name);
    return std::string(reinterpret_cast<const char*>(t.data()), std::min(cut, t.size()));
}

} // namespace orvane::test
