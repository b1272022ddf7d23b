// Operations on the shared value table. The main program and the
// data-exchange library both use these, so a value set through either lands
// in the table the same way.
#ifndef ORVANE_VALUETABLE_OPS_H
#define ORVANE_VALUETABLE_OPS_H

#include <orvane/valuetable.h>

#include <cstddef>
#include <string>
#include <string_view>

namespace orvane {

// The longest prefix of text of at most maxBytes bytes that does not end
// inside a UTF-8 sequence. Bytes that form no valid sequence count one each.
std::string_view CutUtf8(std::string_view text, std::size_t maxBytes);

// The number of entries in use, limited to 0..256 whatever the record holds.
int ValueCount(const TValueTable& table);

// Key and value of entry i (0 <= i < ValueCount); views into the record.
std::string_view KeyAt(const TValueTable& table, int i);
std::string_view ValueAt(const TValueTable& table, int i);

// Replaces the value of an entry with this key, else appends the pair, else
// (all 256 entries in use) drops it. Both texts are cut to 255 bytes first.
void AddValue(TValueTable& table, std::string_view key, std::string_view value);

// The value of the first entry in use with this key (cut to 255 bytes like
// a stored key); the empty text when there is none.
std::string ReadValue(const TValueTable& table, std::string_view key);

// Empties the table; afterwards entry 0 is "COMMAND" with an empty value.
void ClearValueTable(TValueTable& table);

// Writes every entry in use with a non-empty key into the section
// "DecoderData" of the ini file; other keys and sections stay. Throws
// EIniFileError when the file cannot be written.
void SaveValuesToIni(const TValueTable& table, const std::string& fileName);

} // namespace orvane

#endif
