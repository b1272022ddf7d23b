#include "AnalyserLogic.h"

#include <algorithm>
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

void ClampWindowPosition(int& left, int& top, int width, const TRect& screen) {
    if (screen.width <= 0 || screen.height <= 0) return;
    constexpr int kStripWidth = 100, kStripHeight = 30;
    const int right = screen.left + screen.width;
    const int bottom = screen.top + screen.height;
    const int minLeft = screen.left - std::max(0, width - kStripWidth);
    left = Clamp(left, minLeft, std::max(minLeft, right - kStripWidth));
    top = Clamp(top, screen.top, std::max(screen.top, bottom - kStripHeight));
}

bool IsFixedPitchName(std::string_view family) {
    const std::string u = UpperCase(family);
    return u == "TERMINAL" || u == "COURIER" || u == "FIXEDSYS";
}

void CopyToBuffer(char* buffer, std::size_t size, std::string_view text) {
    if (!buffer || size == 0) return;
    std::size_t n = std::min(text.size(), size - 1);
    // Byte n is the first one left out: when it continues a character,
    // that whole character stays out.
    if (n < text.size())
        while (n > 0 && (static_cast<unsigned char>(text[n]) & 0xC0) == 0x80) --n;
    std::memcpy(buffer, text.data(), n);
    buffer[n] = '\0';
}

std::string MaskKey(int mask, int block) { return "Mask" + std::to_string(mask) + std::to_string(block); }

std::string NumberedKey(const char* prefix, int n) { return prefix + std::to_string(n); }

} // namespace kelmira
