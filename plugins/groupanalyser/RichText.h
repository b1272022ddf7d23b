#pragma once
// Saving a text window: plain text, or rich text for coloured monospaced
// lines (each run its own colour, font, size and weight).
#include "AnalyserLogic.h"

#include <optional>
#include <string>
#include <vector>

namespace kelmira {

struct TTextRun {
    std::string text; // UTF-8
    TColorRef color = 0;
    std::string fontName;
    int pointSize = 9;
    bool bold = false;
};
using TTextLine = std::vector<TTextRun>;

// The paragraphs of a window; a window whose text ends with a line break
// ends with an empty paragraph.
struct TTextDocument {
    std::vector<TTextLine> lines;
    // The window's background; none leaves the reader's page colour.
    std::optional<TColorRef> background;
};

// Paragraphs separated by CR LF.
std::string PlainText(const TTextDocument& doc);
// An RTF document with a font table and a colour table; characters outside
// ASCII as \u escapes. A background shades every paragraph and highlights
// every run.
std::string RichText(const TTextDocument& doc);

// True when the file name's extension in upper case is ".RTF".
bool IsRtfFileName(const std::string& fileName);

} // namespace kelmira
