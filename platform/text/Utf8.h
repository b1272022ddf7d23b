#pragma once
// UTF-8 as every text of the system is stored. Only well-formed sequences
// are characters: overlong forms, surrogates, code points beyond U+10FFFF,
// stray continuation bytes and sequences cut short are single bytes that
// stand for themselves.
#include <cstddef>
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
