/* The group record shared by the decoder, the file and stream readers, the
 * recorder and every plug-in. Plug-ins receive it by address, so its layout
 * is a binary interface: 28 bytes, little-endian, no padding. */
#ifndef ORVANE_RDSGROUP_H
#define ORVANE_RDSGROUP_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

#pragma pack(push, 1)
typedef struct TRDSGroupRec {
    uint16_t Year;      /* four digits */
    uint8_t Month;      /* 1..12 */
    uint8_t Day;        /* 1..31 */
    uint8_t Hour;       /* 0..23 */
    uint8_t Minute;     /* 0..59 */
    uint8_t Second;     /* 0..59 */
    uint8_t Hundredths; /* 0..99 */
    uint16_t Reserved;  /* always written 0 */
    uint8_t Reserved2[2];
    int32_t BlockA;     /* 0..65535, or negative when missing or bad */
    int32_t BlockB;
    int32_t BlockC;     /* C or C' */
    int32_t BlockD;
} TRDSGroupRec;
#pragma pack(pop)

#ifdef __cplusplus
}

#include <cstddef>
static_assert(sizeof(TRDSGroupRec) == 28, "TRDSGroupRec is a 28-byte record");
static_assert(offsetof(TRDSGroupRec, Reserved) == 8);
static_assert(offsetof(TRDSGroupRec, BlockA) == 12);
static_assert(offsetof(TRDSGroupRec, BlockD) == 24);

namespace orvane {

/* The one rule for a block's validity in the whole program. */
constexpr bool BlockValid(int32_t block) { return block >= 0 && block <= 0xFFFF; }

/* The value a missing or failed block is written as. */
constexpr int32_t kMissingBlock = -1;

/* Index 32 stands for a group whose block B is missing. */
constexpr int kNoGroupType = 32;
constexpr int kGroupTypeCount = 33;

/* 0..31 for "0A", "0B", "1A" ... "15B"; 32 when block B is missing. */
constexpr int GroupTypeIndex(int32_t blockB) {
    return BlockValid(blockB) ? static_cast<int>((blockB >> 11) & 31) : kNoGroupType;
}
constexpr int GroupTypeIndex(const TRDSGroupRec& g) { return GroupTypeIndex(g.BlockB); }

/* "0A" ... "15B" for 0..31, "----" otherwise. */
inline const char* GroupTypeName(int index) {
    static const char* const names[kGroupTypeCount] = {
        "0A", "0B", "1A", "1B", "2A", "2B", "3A", "3B", "4A", "4B", "5A",
        "5B", "6A", "6B", "7A", "7B", "8A", "8B", "9A", "9B", "10A", "10B",
        "11A", "11B", "12A", "12B", "13A", "13B", "14A", "14B", "15A", "15B", "----"};
    return (index >= 0 && index < kGroupTypeCount) ? names[index] : names[kNoGroupType];
}

inline int32_t Block(const TRDSGroupRec& g, int k) {
    switch (k) {
    case 0: return g.BlockA;
    case 1: return g.BlockB;
    case 2: return g.BlockC;
    default: return g.BlockD;
    }
}

} // namespace orvane
#endif
#endif
