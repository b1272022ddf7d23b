#include "AnalyserLogic.h"

#include "Utf8.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace kelmira {

const std::array<const char*, kGroupNameCount> GroupNames = {
    "0A",  "0B",  "1A",  "1B",  "2A",  "2B",  "3A",  "3B",  "4A",  "4B",  "5A",
    "5B",  "6A",  "6B",  "7A",  "7B",  "8A",  "8B",  "9A",  "9B",  "10A", "10B",
    "11A", "11B", "12A", "12B", "13A", "13B", "14A", "14B", "15A", "15B", "--"};

const char* GroupName(int index) {
    return GroupNames[static_cast<std::size_t>(index >= 0 && index < kGroupNameCount ? index : 32)];
}

const std::array<TColorRef, kGroupNameCount> DefaultGroupColors = {
    0xFFFFFF, 0xFFFFFF, // 0A, 0B white
    0x008080, 0x008080, // 1A, 1B olive
    0xF0CAA6, 0xF0CAA6, // 2A, 2B sky blue
    0x00FF00, 0x808080, // 3A lime, 3B gray
    0xFF00FF, 0x808080, // 4A fuchsia, 4B
    0xC0C0C0, 0xC0C0C0, 0xC0C0C0, 0xC0C0C0, // 5A .. 6B silver
    0x808080, 0x808080, // 7A, 7B
    0x0000FF, 0x808080, // 8A red, 8B
    0x808080, 0x808080, // 9A, 9B
    0xC0DCC0, 0x808080, // 10A money green, 10B
    0x808080, 0x808080, 0x808080, 0x808080, 0x808080, 0x808080, // 11A .. 13B
    0x00FFFF, 0xF0FBFF, // 14A yellow, 14B cream
    0x808080, 0x808000, // 15A, 15B teal
    0x808080,           // Unknown
};

std::string BlockHex(int32_t block) {
    if (!orvane::BlockValid(block)) return "----";
    static const char digits[] = "0123456789ABCDEF";
    std::string s(4, '0');
    for (int i = 3; i >= 0; --i, block >>= 4) s[static_cast<std::size_t>(i)] = digits[block & 0xF];
    return s;
}

namespace {
void TwoDigits(std::string& out, unsigned v) {
    if (v < 10) out += '0';
    out += std::to_string(v);
}
} // namespace

std::string HeaderLine(const TRDSGroupRec& g) {
    std::string s;
    s.reserve(28);
    TwoDigits(s, g.Hour);
    s += ':';
    TwoDigits(s, g.Minute);
    s += ':';
    TwoDigits(s, g.Second);
    for (int k = 0; k < 4; ++k) {
        s += ' ';
        s += BlockHex(orvane::Block(g, k));
    }
    return s;
}

std::string SequenceEntry(int typeIndex) {
    std::string name = GroupName(typeIndex);
    if (name.size() == 2) name.insert(name.begin(), ' ');
    return name + ' ';
}

int ErrorNum(std::string_view line) {
    const int dashes = static_cast<int>(std::count(line.begin(), line.end(), '-'));
    return dashes - static_cast<int>(line.size() / 2) + 46;
}

std::string CollapseBlanks(std::string_view line) {
    std::string out;
    out.reserve(line.size());
    for (std::size_t i = 0; i < line.size(); ++i) {
        out += line[i];
        if (line[i] == ' ' && i + 1 < line.size() && line[i + 1] == ' ') ++i;
    }
    return out;
}

TGroupSequence::TStep TGroupSequence::Add(int typeIndex) {
    TStep step;
    step.entry = SequenceEntry(typeIndex);
    line_ += step.entry;
    if (++count_ >= kLineEntries) {
        step.lineComplete = true;
        if (ErrorNum(line_) <= ErrorNum(best_)) {
            best_ = line_;
            step.newBest = true;
        }
        line_.clear();
        count_ = 0;
    }
    return step;
}

void TGroupSequence::Reset() {
    Restart();
    best_.clear();
}

void TGroupSequence::Restart() {
    count_ = 0;
    line_.clear();
}

int WindowLineLimit(TTextWindow window) {
    switch (window) {
    case TTextWindow::Sequence: return 14;
    case TTextWindow::FullContent: return 30;
    case TTextWindow::AidContent: return 28;
    case TTextWindow::Memo: break;
    }
    return 34;
}

TLineLimit LimitLines(int lines, TTextWindow window, bool limitToWindow, int maxLines) {
    TLineLimit r;
    if (limitToWindow) {
        if (lines > kEmptyAbove)
            r.clear = true;
        else
            r.dropFirst = std::max(0, lines - WindowLineLimit(window));
    } else if (lines > maxLines) {
        r.clear = true;
    }
    return r;
}

std::string SectionNameFromPath(std::string_view path) {
    const std::size_t slash = path.find_last_of('/');
    const std::string_view name = slash == std::string_view::npos ? path : path.substr(slash + 1);
    std::string out;
    for (std::size_t i = 0; i < name.size();) {
        if (i + 3 <= name.size() && name[i] == '.' && (name[i + 1] | 0x20) == 's' && (name[i + 2] | 0x20) == 'o') {
            i += 3;
            continue;
        }
        if (name[i] != ' ') out += name[i];
        ++i;
    }
    return out;
}

std::string UpperCase(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return out;
}

int Clamp(int value, int lo, int hi) { return std::min(std::max(value, lo), hi); }

TColorRef ColorOrDefault(int32_t stored, int index) {
    if (stored >= 0 && stored <= 0xFFFFFF) return static_cast<TColorRef>(stored);
    return DefaultGroupColors[static_cast<std::size_t>(Clamp(index, 0, kGroupNameCount - 1))];
}

bool IsFixedPitchName(std::string_view family) {
    const std::string u = UpperCase(family);
    return u == "TERMINAL" || u == "COURIER" || u == "FIXEDSYS";
}

void CopyToBuffer(char* buffer, std::size_t size, std::string_view text) {
    if (!buffer || size == 0) return;
    const std::string_view cut = orvane::utf8::Cut(text, size - 1);
    std::memcpy(buffer, cut.data(), cut.size());
    buffer[cut.size()] = '\0';
}

std::string MaskKey(int mask, int block) { return "Mask" + std::to_string(mask) + std::to_string(block); }

std::string NumberedKey(const char* prefix, int n) { return prefix + std::to_string(n); }

// Content lines ----------------------------------------------------------------

std::string BinaryText32(uint32_t value) {
    std::string s(32, '0');
    for (int i = 31; i >= 0; --i, value >>= 1)
        if (value & 1) s[static_cast<std::size_t>(i)] = '1';
    return s;
}

std::string TailChars(std::string_view text, int n) {
    if (n < 0 || static_cast<std::size_t>(n) >= text.size()) return std::string(text);
    return std::string(text.substr(text.size() - static_cast<std::size_t>(n)));
}

char PrintableByte(unsigned byte) { return byte >= 32 && byte <= 127 ? static_cast<char>(byte) : '.'; }

namespace {

void TimeOfDay(std::string& s, const TRDSGroupRec& g) {
    TwoDigits(s, g.Hour);
    s += ':';
    TwoDigits(s, g.Minute);
    s += ':';
    TwoDigits(s, g.Second);
    s += "; ";
}

// The type name padded on the left to three characters.
void PaddedName(std::string& s, const char* name) {
    if (std::strlen(name) == 2) s += ' ';
    s += name;
}

// 16 bits as 8, a blank, 8; dashes the same way for a missing block.
void ByteBits(std::string& s, int32_t block) {
    const std::string bits = orvane::BlockValid(block) ? TailChars(BinaryText32(static_cast<uint32_t>(block)), 16)
                                                       : std::string(16, '-');
    s.append(bits, 0, 8);
    s += ' ';
    s.append(bits, 8, 8);
}

void RightAligned3(std::string& s, unsigned v) {
    const std::string d = std::to_string(v);
    s.append(3 - std::min<std::size_t>(3, d.size()), ' ');
    s += d;
}

void DecimalBytes(std::string& s, int32_t block) {
    if (!orvane::BlockValid(block)) {
        s += "--- ---";
        return;
    }
    RightAligned3(s, static_cast<unsigned>(block) >> 8);
    s += ' ';
    RightAligned3(s, static_cast<unsigned>(block) & 0xFF);
}

void QuotedChars(std::string& s, int32_t block) {
    if (!orvane::BlockValid(block)) {
        s += "----";
        return;
    }
    s += '\'';
    s += PrintableByte(static_cast<unsigned>(block) >> 8);
    s += PrintableByte(static_cast<unsigned>(block) & 0xFF);
    s += '\'';
}

} // namespace

std::string FullContent(const TRDSGroupRec& g) {
    std::string s;
    s.reserve(120);
    TimeOfDay(s, g);
    for (int k = 0; k < 4; ++k) {
        s += BlockHex(orvane::Block(g, k));
        s += k < 3 ? " " : "  ";
    }
    const bool bValid = orvane::BlockValid(g.BlockB);
    PaddedName(s, bValid ? GroupName(g.BlockB / 2048) : "--");
    s += "  ";
    const std::string b = bValid ? TailChars(BinaryText32(static_cast<uint32_t>(g.BlockB)), 11) : std::string(11, '-');
    s += b[0];
    s += ' ';
    s.append(b, 1, 5);
    s += ' ';
    s.append(b, 6, 5);
    s += "  ";
    ByteBits(s, g.BlockC);
    s += "  ";
    ByteBits(s, g.BlockD);
    s += "  ";
    DecimalBytes(s, g.BlockC);
    s += ' ';
    DecimalBytes(s, g.BlockD);
    s += "  ";
    QuotedChars(s, g.BlockC);
    s += ' ';
    QuotedChars(s, g.BlockD);
    return s;
}

std::string AIDContentLine(const TRDSGroupRec& g) {
    std::string s;
    s.reserve(40);
    TimeOfDay(s, g);
    s += BlockHex(g.BlockD);
    s += ' ';
    PaddedName(s, orvane::BlockValid(g.BlockB) ? GroupName(g.BlockB & 31) : "--");
    s += ' ';
    ByteBits(s, g.BlockC);
    return s;
}

// Binary masks -----------------------------------------------------------------

std::string RewriteStr(std::string_view base, std::string_view cell, int position) {
    cell = cell.substr(0, std::min<std::size_t>(cell.size(), kMaskCellLength));
    const std::size_t head = static_cast<std::size_t>(std::clamp(position - 1, 0, static_cast<int>(base.size())));
    std::string out(base.substr(0, head));
    out += cell;
    out += TailChars(base, static_cast<int>(base.size()) - position - static_cast<int>(cell.size()) + 1);
    return out;
}

std::string MaskText(const std::array<std::string, 3>& cells) {
    std::string text(kMaskTextLength, '?');
    for (int c = 0; c < 3; ++c) text = RewriteStr(text, cells[static_cast<std::size_t>(c)], 1 + 16 * c);
    return text;
}

std::string MaskGroupText(const TRDSGroupRec& g) {
    std::string text;
    text.reserve(kMaskTextLength);
    for (int32_t block : {g.BlockB, g.BlockC, g.BlockD})
        text += orvane::BlockValid(block) ? TailChars(BinaryText32(static_cast<uint32_t>(block)), 16)
                                          : std::string(16, '-');
    return text;
}

bool MaskPasses(std::string_view groupText, std::string_view maskText) {
    for (std::size_t i = 0; i < kMaskTextLength; ++i) {
        const char m = i < maskText.size() ? maskText[i] : '?';
        if ((m == '1' || m == '0' || m == '-') && (i >= groupText.size() || groupText[i] != m)) return false;
    }
    return true;
}

bool MaskMatch(const TRDSGroupRec& group, const std::array<std::string, kMaskCount>& maskTexts,
               const std::array<bool, kMaskCount>& tested) {
    if (std::none_of(tested.begin(), tested.end(), [](bool t) { return t; })) return false;
    const std::string text = MaskGroupText(group);
    for (std::size_t m = 0; m < kMaskCount; ++m)
        if (tested[m] && MaskPasses(text, maskTexts[m])) return true;
    return false;
}

bool MaskKeyAllowed(int cellLength, char16_t key) { return key == 8 || cellLength <= kMaskCellLength - 1; }

// Statistics ---------------------------------------------------------------------

std::string FixedText(double value, int decimals) {
    if (!std::isfinite(value)) value = 0;
    // Scaled by up to a million, the value must still fit a 64-bit integer.
    value = std::clamp(value, -1e12, 1e12);
    decimals = std::clamp(decimals, 0, 6);
    static constexpr long double kScale[] = {1, 10, 100, 1000, 10000, 100000, 1000000};
    // A double times 100 is exact in the 64-bit mantissa of long double, so a
    // tie is seen as one and nearbyint takes it to the even neighbour.
    int shown = decimals;
    long long units = 0;
    for (;;) {
        units = static_cast<long long>(std::nearbyintl(static_cast<long double>(value) * kScale[shown]));
        long long whole = (units < 0 ? -units : units) / static_cast<long long>(kScale[shown]);
        int digits = 0;
        for (; whole > 0; whole /= 10) ++digits;
        if (digits + shown <= 7 || shown == 0) break;
        --shown;
    }
    const long long scale = static_cast<long long>(kScale[shown]);
    const long long magnitude = units < 0 ? -units : units;
    std::string s = units < 0 ? "-" : "";
    s += std::to_string(magnitude / scale);
    if (decimals > 0) {
        std::string frac = std::to_string(magnitude % scale);
        s += '.';
        s.append(static_cast<std::size_t>(shown) - std::min<std::size_t>(frac.size(), static_cast<std::size_t>(shown)), '0');
        if (shown > 0) s += frac;
        s.append(static_cast<std::size_t>(decimals - shown), '0');
    }
    return s;
}

namespace {
// The share in per cent, in single precision as the texts are made from it.
float Percent(int counter, int total) { return static_cast<float>(static_cast<double>(counter) * 100.0 / total); }
} // namespace

std::string ProportionText(int counter, int total) {
    if (total == 0) return "0.0 %"; // nothing counted: no share rather than a division by zero
    const float p = Percent(counter, total);
    if (p < 0.1) return FixedText(p, 1) + " %";
    const double every = 100.0 / static_cast<double>(p);
    return FixedText(p, 1) + " %  (1/" + FixedText(every, every < 10 ? 1 : 0) + ")";
}

std::string RateText(int counter, int total) {
    if (total == 0) return "0.00";
    return FixedText(static_cast<double>(Percent(counter, total)) * 0.114183, 2);
}

bool TGroupStatistics::GrpStat(int typeIndex, bool statisticsPageShown) {
    if (typeIndex < 0 || typeIndex >= kTypes) return false;
    if (++counters_[static_cast<std::size_t>(CounterNumber(typeIndex))] > kGroupHalveAbove) Halve();
    // "At least": a page change can leave the count above the new mark.
    if (++refreshCount_ < (statisticsPageShown ? kRefreshShown : kRefreshHidden)) return false;
    refreshCount_ = 0;
    return true;
}

int TGroupStatistics::Total() const {
    int t = 0;
    for (int c : counters_) t += c;
    return t;
}

void TGroupStatistics::Halve() {
    for (int& c : counters_) c /= 2;
    for (TAidRow& r : rows_) r.counter /= 2;
}

bool TGroupStatistics::AidQualifies(const TRDSGroupRec& g) {
    if (!orvane::BlockValid(g.BlockB) || g.BlockD < 1 || g.BlockD > 0xFFFF) return false;
    const int app = g.BlockB & 31;
    return app != 0 && app != 31;
}

int TGroupStatistics::FirstEmptyRow() const {
    for (int r = 0; r < rowCount_; ++r)
        if (rows_[static_cast<std::size_t>(r)].counter == 0) return r;
    return -1;
}

int TGroupStatistics::AddAID(uint16_t aid) {
    for (int r = 0; r < rowCount_; ++r) {
        TAidRow& row = rows_[static_cast<std::size_t>(r)];
        if (row.aid != aid) continue;
        if (++row.counter > kAidHalveAbove) Halve();
        return r;
    }
    if (rowCount_ >= kAidRows) return -1;
    rows_[static_cast<std::size_t>(rowCount_)] = TAidRow{aid, 1, 0};
    return rowCount_++;
}

bool TGroupStatistics::RemoveAID(int row) {
    if (row < 0 || row >= rowCount_ || rowCount_ <= 0) return false;
    --rowCount_;
    std::copy(rows_.begin() + row + 1, rows_.end(), rows_.begin() + row);
    rows_.back() = TAidRow{};
    return true;
}

void TGroupStatistics::SetAppGroup(int row, int typeIndex) {
    if (row >= 0 && row < rowCount_) rows_[static_cast<std::size_t>(row)].appGroup = typeIndex;
}

void TGroupStatistics::ClearAids() {
    rowCount_ = 0;
    rows_.fill(TAidRow{});
}

int TGroupDetector::DetectGroup(int typeIndex) {
    if (typeIndex < 0 || typeIndex >= kItems) return -1;
    int& c = counters_[static_cast<std::size_t>(CounterNumber(typeIndex))];
    const bool tick = c < 2;
    c = kHold;
    return tick ? CounterNumber(typeIndex) : -1;
}

uint32_t TGroupDetector::Tick() {
    uint32_t untick = 0;
    for (int i = 0; i < kItems; ++i) {
        int& c = counters_[static_cast<std::size_t>(i)];
        if (c == 1) untick |= 1u << i;
        if (c > 0) --c;
    }
    return untick;
}

} // namespace kelmira
