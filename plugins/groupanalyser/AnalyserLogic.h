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

// Places a window of the given size so that a strip of its top stays on
// the screen area: it can always be reached and moved back.
struct TRect {
    int left = 0, top = 0, width = 0, height = 0;
};
void ClampWindowPosition(int& left, int& top, int width, const TRect& screen);

// Windows fixed-pitch names that no Linux system has; they map to the
// system's fixed-pitch font.
bool IsFixedPitchName(std::string_view family);

// Copies text into a transfer buffer as a zero-terminated text, cut on a
// UTF-8 character boundary when it does not fit.
void CopyToBuffer(char* buffer, std::size_t size, std::string_view text);

// Workspace keys built from numbers.
std::string MaskKey(int mask, int block); // "Mask12" .. "Mask34"
std::string NumberedKey(const char* prefix, int n);

} // namespace kelmira
