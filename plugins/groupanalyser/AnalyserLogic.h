#pragma once
// The group analyser's rules that need no display: line texts, the group
// sequence and its score, the line limit, the section name and the ranges
// that workspace values are held to.
#include <orvane/rdsgroup.h>

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace kelmira {

// A colour reference, $00BBGGRR.
using TColorRef = uint32_t;

constexpr int kGroupNameCount = 33; // 0A .. 15B, and 32 for a missing block B

// "0A", "0B", "1A" ... "15B", and "--" for index 32.
extern const std::array<const char*, kGroupNameCount> GroupNames;
const char* GroupName(int index);

// The colours used when the workspace has none for a group type.
extern const std::array<TColorRef, kGroupNameCount> DefaultGroupColors;

// Four upper-case hexadecimal digits, or "----" outside 0..65535.
std::string BlockHex(int32_t block);
// "hh:mm:ss AAAA BBBB CCCC DDDD".
std::string HeaderLine(const TRDSGroupRec& group);

// One entry of the sequence window: the name padded on the left to three
// characters, then a blank (" 0A ", "10B ", " -- ").
std::string SequenceEntry(int typeIndex);
// The score of a sequence line: dashes minus half its length, plus 46.
int ErrorNum(std::string_view line);
// Every two consecutive blanks replaced by one, left to right, one pass.
std::string CollapseBlanks(std::string_view line);

// The group-sequence state: 23 entries make a line; the line with the
// fewest missing blocks (newest on a tie) is the best line.
class TGroupSequence {
public:
    static constexpr int kLineEntries = 23;

    struct TStep {
        std::string entry;         // text to append to the window
        bool lineComplete = false; // the 23rd entry: the window starts a new line
        bool newBest = false;      // the completed line became the best line
    };

    TStep Add(int typeIndex);
    // Reset of all data: the best line goes too.
    void Reset();
    // The sequence window was emptied: a new line starts, the best line stays.
    void Restart();

    int Count() const { return count_; }
    const std::string& BestLine() const { return best_; }
    // What the value table receives for the best line.
    std::string BestValue() const { return CollapseBlanks(best_); }

private:
    int count_ = 0;
    // Kept here rather than read back from the window, so a window emptied
    // by its line limit in mid-line cannot pass a short line as complete.
    std::string line_;
    std::string best_;
};

// The text windows and the number of lines each keeps while "Limit to the
// window only" is chosen.
enum class TTextWindow { Memo, Sequence, FullContent, AidContent };
int WindowLineLimit(TTextWindow window);
constexpr int kEmptyAbove = 200;

// What to do to a window holding `lines` lines before a line is added.
struct TLineLimit {
    bool clear = false;
    int dropFirst = 0;
    bool operator==(const TLineLimit&) const = default;
};
TLineLimit LimitLines(int lines, TTextWindow window, bool limitToWindow, int maxLines);

// The plug-in's section in workspace files: the library's file name without
// folder, every ".so" in any case and every blank removed.
std::string SectionNameFromPath(std::string_view path);

// ASCII upper case, the way commands are compared.
std::string UpperCase(std::string_view text);

// Control ranges that workspace values are held to.
constexpr int kSelectorItems = 36;   // CB1 .. CB4, CLBSHOW
constexpr int kFontSizeMin = 5, kFontSizeMax = 20;
constexpr int kLinesMin = 32, kLinesMax = 999999;
constexpr int kPageCount = 5;
constexpr int kMaskCellLength = 16;
int Clamp(int value, int lo, int hi);
// A stored colour outside $000000..$FFFFFF gives the default for its index.
TColorRef ColorOrDefault(int32_t stored, int index);

// Where the window opens when no workspace places it: below the main
// window, which opens at 20, 20 and is about 170 pixels high with its title,
// so a 1280 x 1024 screen shows both in full, one above the other.
constexpr int kFirstLeft = 20, kFirstTop = 230;

// Windows fixed-pitch names that no Linux system has; they map to the
// system's fixed-pitch font.
bool IsFixedPitchName(std::string_view family);

// Copies text into a transfer buffer as a zero-terminated text, cut on a
// UTF-8 character boundary when it does not fit.
void CopyToBuffer(char* buffer, std::size_t size, std::string_view text);

// Workspace keys built from numbers.
std::string MaskKey(int mask, int block); // "Mask12" .. "Mask34"
std::string NumberedKey(const char* prefix, int n);

// Content lines ----------------------------------------------------------------

// 32 characters "0"/"1", most significant bit first.
std::string BinaryText32(uint32_t value);
// The last n characters; the whole text when n is negative or larger than
// the text, the empty text when n is 0.
std::string TailChars(std::string_view text, int n);
// A byte as a character of the content lines: codes 32..127 as themselves,
// every other byte as ".".
char PrintableByte(unsigned byte);

// The full-content line: time, blocks in hexadecimal, type name, the low 11
// bits of B, C and D in binary, in decimal bytes and as characters.
std::string FullContent(const TRDSGroupRec& group);
// The ODA AID content line of a 3A group: time, block D (the AID), the
// application group type and block C in binary.
std::string AIDContentLine(const TRDSGroupRec& group);

// Binary masks -----------------------------------------------------------------

constexpr int kMaskCount = 3;
constexpr int kMaskTextLength = 48; // blocks B, C and D, 16 bits each

// The base text with the cell (cut to 16 characters) written over it from
// the 1-based position on; the length of the base is kept when the cell fits.
std::string RewriteStr(std::string_view base, std::string_view cell, int position);
// The 48-character pattern of one mask from its cells for blocks 2, 3 and 4.
std::string MaskText(const std::array<std::string, 3>& cells);
// Blocks B, C and D as 16 bits each, or 16 dashes for a missing block.
std::string MaskGroupText(const TRDSGroupRec& group);
// "1" needs a 1 bit, "0" a 0 bit, "-" a missing block; anything else passes.
bool MaskPasses(std::string_view groupText, std::string_view maskText);
// True when one of the tested masks, in the order 1, 2, 3, passes.
bool MaskMatch(const TRDSGroupRec& group, const std::array<std::string, kMaskCount>& maskTexts,
               const std::array<bool, kMaskCount>& tested);
// A typed character is taken while the cell holds at most 15 characters;
// backspace always.
bool MaskKeyAllowed(int cellLength, char16_t key);

// Statistics ---------------------------------------------------------------------

// Fixed notation, ties rounded half to even, at most 7 significant digits
// (larger numbers lose decimals); values beyond 10^12 either way are held
// there.
std::string FixedText(double value, int decimals);
// "25.0 %  (1/4.0)", "8.3 %  (1/12)", "0.0 %". A total of 0 gives "0.0 %".
std::string ProportionText(int counter, int total);
// Groups per second at 11.4183 groups per second in all, two decimals.
std::string RateText(int counter, int total);

// Counter number of a group type index: 0A, 1A ... 15A, then 0B ... 15B.
constexpr int CounterNumber(int typeIndex) { return (typeIndex & 1) * 16 + (typeIndex >> 1); }

// Group-type counters, the ODA AID table and the refresh cadence.
class TGroupStatistics {
public:
    static constexpr int kTypes = 32;
    static constexpr int kAidRows = 16;
    static constexpr int kGroupHalveAbove = 4094;
    static constexpr int kAidHalveAbove = 510;
    static constexpr int kRefreshShown = 11;  // groups per refresh, statistics page shown
    static constexpr int kRefreshHidden = 57; // another page shown

    struct TAidRow {
        uint16_t aid = 0;
        int counter = 0;
        int appGroup = 0; // group type index the AID was last announced for
    };

    // Counts a group; true when the grids are due for a refresh. Index 32
    // (block B missing) is not counted.
    bool GrpStat(int typeIndex, bool statisticsPageShown);

    int Counter(int typeIndex) const { return counters_[static_cast<std::size_t>(CounterNumber(typeIndex))]; }
    int Total() const;
    void Halve();
    void ClearGroups() { counters_.fill(0); }

    // A 3A group whose AID is counted: block B valid, D 1..65535, and an
    // application group type other than 0 and 31.
    static bool AidQualifies(const TRDSGroupRec& group);
    int RowCount() const { return rowCount_; }
    const TAidRow& Row(int row) const { return rows_[static_cast<std::size_t>(row)]; }
    // The first row (in row order) whose counter is 0, or -1.
    int FirstEmptyRow() const;
    // The row of this AID after counting it, or -1 when all rows are taken.
    int AddAID(uint16_t aid);
    // True when the row existed; the rows after it move up.
    bool RemoveAID(int row);
    void SetAppGroup(int row, int typeIndex);
    void ClearAids();

private:
    std::array<int, kTypes> counters_{};
    int refreshCount_ = 0;
    int rowCount_ = 0;
    std::array<TAidRow, kAidRows> rows_{};
};

// The group detector: a type stays ticked while its groups arrive, and is
// unticked on the 20th 100 ms tick after its last group.
class TGroupDetector {
public:
    static constexpr int kItems = 32;
    static constexpr int kHold = 20;

    // Every counter 1, so the next tick unticks every item.
    void Reset() { counters_.fill(1); }
    // The item (counter number) to tick now, or -1 when it stays as it is.
    int DetectGroup(int typeIndex);
    // Bit n set: item n is to be unticked.
    uint32_t Tick();
    bool Active(int item) const { return counters_[static_cast<std::size_t>(item)] > 0; }
    int Counter(int item) const { return counters_[static_cast<std::size_t>(item)]; }

private:
    std::array<int, kItems> counters_{};
};

} // namespace kelmira
