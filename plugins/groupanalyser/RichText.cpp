#include "RichText.h"

#include <algorithm>
#include <cstdio>

namespace kelmira {
namespace {

// The code points of a UTF-8 text; a byte that forms no valid sequence
// stands for itself as Latin-1, so nothing is lost.
std::vector<char32_t> CodePoints(const std::string& s) {
    std::vector<char32_t> out;
    out.reserve(s.size());
    std::size_t i = 0;
    while (i < s.size()) {
        const unsigned char c = static_cast<unsigned char>(s[i]);
        std::size_t extra = 0;
        char32_t cp = c;
        if (c >= 0xC2 && c <= 0xDF) {
            extra = 1;
            cp = c & 0x1F;
        } else if (c >= 0xE0 && c <= 0xEF) {
            extra = 2;
            cp = c & 0x0F;
        } else if (c >= 0xF0 && c <= 0xF4) {
            extra = 3;
            cp = c & 0x07;
        }
        bool ok = (c < 0x80 || extra > 0) && i + extra < s.size();
        for (std::size_t k = 1; ok && k <= extra; ++k) {
            const unsigned char n = static_cast<unsigned char>(s[i + k]);
            ok = (n & 0xC0) == 0x80;
            cp = (cp << 6) | (n & 0x3F);
        }
        if (ok) {
            out.push_back(cp);
            i += extra + 1;
        } else {
            out.push_back(c);
            ++i;
        }
    }
    return out;
}

void AppendEscaped(std::string& out, const std::string& text) {
    for (char32_t cp : CodePoints(text)) {
        if (cp == '\\' || cp == '{' || cp == '}') {
            out += '\\';
            out += static_cast<char>(cp);
        } else if (cp == '\t') {
            out += "\\tab ";
        } else if (cp >= 0x20 && cp < 0x80) {
            out += static_cast<char>(cp);
        } else if (cp < 0x20) {
            continue; // no control characters inside a line
        } else {
            // \u takes a signed 16-bit number; characters beyond the BMP
            // go as a surrogate pair. "?" is what readers without Unicode show.
            auto unit = [&out](unsigned u) { out += "\\u" + std::to_string(static_cast<int16_t>(u)) + '?'; };
            if (cp > 0xFFFF) {
                const char32_t v = cp - 0x10000;
                unit(0xD800 + static_cast<unsigned>(v >> 10));
                unit(0xDC00 + static_cast<unsigned>(v & 0x3FF));
            } else {
                unit(static_cast<unsigned>(cp));
            }
        }
    }
}

template <class T>
int IndexOf(std::vector<T>& table, const T& value) {
    auto it = std::find(table.begin(), table.end(), value);
    if (it != table.end()) return static_cast<int>(it - table.begin());
    table.push_back(value);
    return static_cast<int>(table.size()) - 1;
}

} // namespace

std::string PlainText(const TTextDocument& doc) {
    std::string out;
    for (std::size_t i = 0; i < doc.lines.size(); ++i) {
        if (i) out += "\r\n";
        for (const TTextRun& run : doc.lines[i]) out += run.text;
    }
    return out;
}

std::string RichText(const TTextDocument& doc) {
    std::vector<std::string> fonts;
    std::vector<TColorRef> colors;
    std::string body;
    for (std::size_t i = 0; i < doc.lines.size(); ++i) {
        if (i) body += "\\par\r\n";
        for (const TTextRun& run : doc.lines[i]) {
            if (run.text.empty()) continue;
            const int f = IndexOf(fonts, run.fontName);
            const int c = IndexOf(colors, run.color) + 1; // \cf0 is the automatic colour
            body += "\\plain\\f" + std::to_string(f) + "\\fs" + std::to_string(std::max(1, run.pointSize) * 2);
            if (run.bold) body += "\\b";
            body += "\\cf" + std::to_string(c) + ' ';
            AppendEscaped(body, run.text);
        }
    }
    if (fonts.empty()) fonts.push_back(std::string());

    std::string out = "{\\rtf1\\ansi\\ansicpg1252\\deff0\\uc1{\\fonttbl";
    for (std::size_t i = 0; i < fonts.size(); ++i) {
        out += "{\\f" + std::to_string(i) + "\\fmodern\\fcharset0 ";
        AppendEscaped(out, fonts[i]);
        out += ";}";
    }
    out += "}\r\n{\\colortbl ;";
    for (TColorRef c : colors) {
        char buf[48];
        std::snprintf(buf, sizeof buf, "\\red%u\\green%u\\blue%u;", c & 0xFFu, (c >> 8) & 0xFFu, (c >> 16) & 0xFFu);
        out += buf;
    }
    out += "}\r\n\\viewkind4\\pard ";
    out += body;
    out += "}\r\n";
    return out;
}

bool IsRtfFileName(const std::string& fileName) {
    const std::size_t slash = fileName.find_last_of('/');
    const std::size_t dot = fileName.find_last_of('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return false;
    return UpperCase(fileName.substr(dot)) == ".RTF";
}

} // namespace kelmira
