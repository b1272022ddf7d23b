#pragma once
// Group records for the analyser's tests, which read only the time of day.
#include "GroupRecord.h"

namespace kelmira_test {

inline TRDSGroupRec Rec(int h, int m, int s, int32_t a, int32_t b, int32_t c, int32_t d) {
    return orvane::test::GroupRecord(a, b, c, d, orvane::test::Stamp{2024, 5, 17, h, m, s, 0});
}

} // namespace kelmira_test
