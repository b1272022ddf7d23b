#pragma once
// Groups as text lines: "0123 4567 89AB CDEF @2024/01/05 09:03:07.25".
// Lines are bytes from files, sockets and devices; nothing here assumes they
// are valid text or of sane length.
#include "Clock.h"

#include <orvane/rdsgroup.h>

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

namespace orvane {

// The text line of one group, without the line end. Blocks outside
// 0..65535 are written "----"; with addDateTime the record's stamp follows
// as " @yyyy/mm/dd hh:mm:ss.hh".
std::string GroupToLine(const TRDSGroupRec& group, bool addDateTime);
// The same into `buf` of at least kGroupLineMax bytes, for writers that must
// not allocate per group; answers the length.
constexpr size_t kGroupLineMax = 43;
size_t GroupToLine(const TRDSGroupRec& group, bool addDateTime, char* buf);

class GroupLineParser {
public:
    explicit GroupLineParser(IClock& clock, std::function<void()> resetDecodedData = {},
                             std::function<void()> closeMainWindow = {});

    // Parses a line into Group(). False when the line holds fewer than 16
    // characters other than blanks; the record is then left as it was.
    bool GroupConvert(std::string_view line);
    const TRDSGroupRec& Group() const { return group_; }

    // 1-based position where the time stamp's date begins, 0 when none.
    static int FindTimeStamp(std::string_view line);
    // Exactly four characters, each 0-9 or A-F.
    static bool IsHexWord(std::string_view four);

    // "RESET" resets the decoded data and "EXIT" closes the main window;
    // true when the line begins with either.
    bool CommandsInGroup(std::string_view line);

    std::function<void()> ResetDecodedData;
    std::function<void()> CloseMainWindow;

private:
    IClock& clock_;
    TRDSGroupRec group_{};
};

} // namespace orvane
