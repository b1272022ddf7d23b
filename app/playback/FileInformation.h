#pragma once
// "File Information...": the fields of the played file's header line.
#include <string>

namespace orvane {

// The file name, then one line per field of the header ("name: value"), or
// "No information." when the header is no "<...>" line of at least 6 bytes.
// headerLine is the line's bytes as the file holds them; the fields come out
// as text (utf8::FromFileBytes). Lines end in LF, the line break of the
// toolkit's message box.
std::string FileInformationText(const std::string& fileName, const std::string& headerLine);

} // namespace orvane
