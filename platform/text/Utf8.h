#pragma once
// UTF-8 as every text of the system is stored. Only well-formed sequences
// are characters: overlong forms, surrogates, code points beyond U+10FFFF,
// stray continuation bytes and sequences cut short are single bytes that
// stand for themselves, and FromFileBytes reads each as Windows-1252.
#include <cstddef>
#include <string>
#include <string_view>

namespace orvane::utf8 {

inline bool IsContinuation(unsigned char c) { return (c & 0xC0) == 0x80; }

// The length (1..4) of the well-formed sequence that starts at s[i], with
// its code point in *cp; 0 when the bytes there form none.
inline std::size_t SequenceAt(std::string_view s, std::size_t i, char32_t* cp = nullptr) {
    if (i >= s.size()) return 0;
    const auto at = [&s](std::size_t k) { return static_cast<unsigned char>(s[k]); };
    const unsigned char c = at(i);
    std::size_t len = 0;
    char32_t v = 0;
    // The second byte's range excludes overlong forms, surrogates and
    // everything beyond U+10FFFF.
    unsigned char lo = 0x80, hi = 0xBF;
    if (c < 0x80) {
        if (cp) *cp = c;
        return 1;
    } else if (c >= 0xC2 && c <= 0xDF) {
        len = 2;
        v = c & 0x1Fu;
    } else if (c >= 0xE0 && c <= 0xEF) {
        len = 3;
        v = c & 0x0Fu;
        if (c == 0xE0) lo = 0xA0;
        if (c == 0xED) hi = 0x9F;
    } else if (c >= 0xF0 && c <= 0xF4) {
        len = 4;
        v = c & 0x07u;
        if (c == 0xF0) lo = 0x90;
        if (c == 0xF4) hi = 0x8F;
    } else {
        return 0;
    }
    if (i + len > s.size()) return 0;
    for (std::size_t k = 1; k < len; ++k) {
        const unsigned char n = at(i + k);
        if (k == 1 ? (n < lo || n > hi) : !IsContinuation(n)) return 0;
        v = (v << 6) | (n & 0x3Fu);
    }
    if (cp) *cp = v;
    return len;
}

inline bool IsValid(std::string_view s) {
    for (std::size_t i = 0; i < s.size();) {
        const std::size_t len = SequenceAt(s, i);
        if (len == 0) return false;
        i += len;
    }
    return true;
}

// Appends the UTF-8 form of cp (at most U+10FFFF, no surrogate).
inline void Append(std::string& out, char32_t cp) {
    const auto byte = [&out](char32_t v) { out += static_cast<char>(v); };
    if (cp < 0x80) {
        byte(cp);
    } else if (cp < 0x800) {
        byte(0xC0 | (cp >> 6));
        byte(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        byte(0xE0 | (cp >> 12));
        byte(0x80 | ((cp >> 6) & 0x3F));
        byte(0x80 | (cp & 0x3F));
    } else {
        byte(0xF0 | (cp >> 18));
        byte(0x80 | ((cp >> 12) & 0x3F));
        byte(0x80 | ((cp >> 6) & 0x3F));
        byte(0x80 | (cp & 0x3F));
    }
}

// The character a byte stands for in Windows-1252, the code page of the
// files that editors and programs of the original platform write; the five
// bytes it leaves undefined stand for the C1 controls of the same number.
inline char32_t Windows1252(unsigned char c) {
    static constexpr char16_t k80[32] = {
        0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
        0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
        0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};
    return c >= 0x80 && c < 0xA0 ? k80[c - 0x80] : c;
}

// The text that bytes read from a file stand for, in UTF-8: well-formed
// sequences as they are, and every other byte its Windows-1252 character, so
// that a file written on the original platform keeps its letters and no text
// read from a file turns into U+FFFD. Text that is UTF-8 already comes back
// unchanged, so taking it twice changes nothing more.
inline std::string FromFileBytes(std::string_view bytes) {
    if (IsValid(bytes)) return std::string(bytes);
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 2);
    for (std::size_t i = 0; i < bytes.size();) {
        const std::size_t len = SequenceAt(bytes, i);
        if (len != 0) {
            out.append(bytes.substr(i, len));
            i += len;
        } else {
            Append(out, Windows1252(static_cast<unsigned char>(bytes[i])));
            ++i;
        }
    }
    return out;
}

// The longest prefix of at most maxBytes bytes that keeps every character
// it touches whole: a well-formed sequence that runs past the cut is left
// out entirely; any other byte counts as one.
inline std::string_view Cut(std::string_view s, std::size_t maxBytes) {
    if (s.size() <= maxBytes) return s;
    // A sequence that crosses the cut starts at most three bytes before it.
    for (std::size_t back = 1; back <= 3 && back <= maxBytes; ++back) {
        const std::size_t p = maxBytes - back;
        if (IsContinuation(static_cast<unsigned char>(s[p]))) continue;
        if (p + SequenceAt(s, p) > maxBytes) return s.substr(0, p);
        break;
    }
    return s.substr(0, maxBytes);
}

// The first maxChars characters, as an edit that holds that many counts
// them; a byte that forms no character counts as one.
inline std::string_view CutCharacters(std::string_view s, std::size_t maxChars) {
    std::size_t i = 0;
    for (std::size_t n = 0; n < maxChars && i < s.size(); ++n) {
        const std::size_t len = SequenceAt(s, i);
        i += len == 0 ? 1 : len;
    }
    return s.substr(0, i);
}

} // namespace orvane::utf8
