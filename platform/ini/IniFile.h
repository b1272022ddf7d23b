// Ini-format files (settings, workspaces, exports) in the manner of the
// Delphi TIniFile class.
//
// Behaviour:
// - The file is read once, in the constructor. A missing file reads as empty.
//   A file that exists but cannot be read also reads as empty, and
//   UpdateFile() then refuses to overwrite it.
// - Writes are buffered: Write*, EraseSection and DeleteKey change the copy in
//   memory; UpdateFile() writes the whole file. The destructor never writes.
// - UpdateFile() writes a temporary file in the same folder and renames it
//   over the old one, so a failed write leaves the old file as it was. It
//   throws EIniFileError when the file cannot be written.
// - Bytes become text here, and only here: section names, key names and
//   values are read as UTF-8, and every byte that is no part of a
//   well-formed UTF-8 sequence as its Windows-1252 character
//   (utf8::FromFileBytes), the code page in which editors and programs of the
//   original platform write; so no text read from a file is ever U+FFFD.
//   Names and values a caller passes are taken the same way, so whatever the
//   class writes is UTF-8, and a name in Windows-1252 is the same name as its
//   UTF-8 spelling. Callers get text and need no conversion of their own.
// - Section and key names match without regard to case (Unicode case folding
//   of the text). Blanks and tabs around section and key names do not count.
// - Values are taken exactly as they stand after the first "=": no trimming,
//   no quote stripping (ReadInteger says what a number may hold).
// - A section header is "[" first (blanks and tabs before it aside); its
//   name runs to the last "]" on the line, and what follows is a comment.
//   Lines that hold no key of a section (notes written by hand, keys above
//   the first section) are not read, and stay as they stand.
// - Lines keep their order; sections and keys that are not written are
//   rewritten byte for byte, in whatever encoding they stand. New keys go
//   after the last non-blank line of their section, new sections at the end
//   of the file. The reader accepts CR, LF and CR LF; the file is written
//   with the line break its first line ended with (LF for a new file),
//   without a byte-order mark; the reader skips every byte-order mark at the
//   start of the file.
// - Every value written reads back as its text (unchanged when it is UTF-8)
//   with the same section and key. What a line cannot carry is refused with
//   EIniFileError and changes nothing: CR or LF in a section name, key name
//   or value; "=" in a key name (it ends at the first one on reading); a key
//   name beginning with "[" with a "]" after it in the key or the value,
//   since that line reads as a section header; a NUL byte anywhere, which
//   would make the file read as other data (IsIniText). A lookup with such a
//   name finds nothing.
// - The first section of a name and the first key of a name in it count;
//   later duplicates in a hand-edited file are kept but not read.
#ifndef ORVANE_INIFILE_H
#define ORVANE_INIFILE_H

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// Whether bytes can be an ini file, so that a file of other data (a
// recording, a sample file, any binary file) is never taken for one and
// written into. False when they hold a NUL byte, or text but not one section
// header line; true for everything else. Blank and comment lines (";" or "#"
// first) are no text, so a file of them only, or no bytes at all, is a new
// ini file. Lines break at CR, LF and CR LF; byte-order marks at the start do
// not count. Whatever this class writes is ini text.
bool IsIniText(std::string_view bytes);
// True only for a file that exists, can be read, and holds bytes that are
// not ini text. A missing file is a new ini file; one that cannot be read is
// left to TIniFile, which reads it as empty and never replaces it.
bool HoldsOtherData(const std::string& fileName);

class EIniFileError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class TIniFile {
public:
    // fileName is a path in the file system's encoding (UTF-8).
    explicit TIniFile(std::string fileName);

    const std::string& FileName() const { return fileName_; }

    std::string ReadString(std::string_view section, std::string_view key,
                           std::string_view def) const;
    // Throws EIniFileError for what the format cannot carry (above).
    void WriteString(std::string_view section, std::string_view key, std::string_view value);

    // The value when it is a plain decimal integer in range: an optional "-"
    // followed by digits (no "+", no hex, nothing between them), with any
    // blanks and tabs around it; else def.
    int32_t ReadInteger(std::string_view section, std::string_view key, int32_t def) const;
    void WriteInteger(std::string_view section, std::string_view key, int32_t value);

    // Any integer that ReadInteger reads but 0 is true, 0 is false; a missing
    // key or a text that is no integer gives def. Written as "1" or "0".
    bool ReadBool(std::string_view section, std::string_view key, bool def) const;
    void WriteBool(std::string_view section, std::string_view key, bool value);

    bool SectionExists(std::string_view section) const;
    bool ValueExists(std::string_view section, std::string_view key) const;

    // The key names of a section, in file order.
    std::vector<std::string> ReadSection(std::string_view section) const;
    // The keys of a section with their values, in file order.
    std::vector<std::pair<std::string, std::string>> ReadSectionValues(std::string_view section) const;

    // Removes every section of that name with all its lines.
    void EraseSection(std::string_view section);
    void DeleteKey(std::string_view section, std::string_view key);

    // Writes the file; throws EIniFileError when that fails.
    void UpdateFile();

private:
    struct Line {
        std::string raw;   // the text as read
        bool rewrite = false;  // changed or new: written from key and value
        bool isKey = false;
        std::string key;   // name as spelt in the file, trimmed
        std::string fold;  // case-folded key, for matching
        std::string value;
    };
    struct Section {
        std::string raw;   // header line as read
        bool rewrite = false;  // new: header written from the name
        std::string name;
        std::string fold;
        std::vector<Line> lines;
    };

    void Parse(std::string_view text);
    std::string Serialise() const;
    const Section* FindSection(std::string_view fold) const;
    Section* FindSection(std::string_view fold);
    static const Line* FindKey(const Section& s, std::string_view fold);

    std::string fileName_;
    std::string readError_;       // why an existing file could not be read
    std::string lineBreak_ = "\n";
    std::vector<Line> preamble_;  // lines before the first section
    std::vector<Section> sections_;
};

#endif
