#pragma once
// Sample-file bytes as our writer stores them, for tests that build files.
#include "SampleFormat.h"

#include <algorithm>
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

// Our trailer's layout as another writer fills it: its own web address (14
// bytes) and product name (11 bytes), then cut to `cut` bytes.
inline std::string SampleTrailerBytesOf(std::string_view address, std::string_view product,
                                        size_t cut = kSampleTrailerSize) {
    std::string t = SampleTrailerBytes();
    t.replace(70, 14, std::string(address).substr(0, 14).append(14 - std::min<size_t>(address.size(), 14), ' '));
    t.replace(112, 11, std::string(product).substr(0, 11).append(11 - std::min<size_t>(product.size(), 11), ' '));
    return t.substr(0, cut);
}

} // namespace orvane::test
