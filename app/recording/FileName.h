#pragma once
// Names of recordings and the header line that begins a text recording.
#include "Clock.h"

#include <string>

namespace orvane {

// Expands, ignoring case and at every occurrence, "%time" (hh-nn-ss),
// "%date" (yyyy-mm-dd), "%pi" and "%ps" (without its trailing blanks;
// characters that cannot stand in a file name become "_"), in that order,
// from one reading of the clock.
std::string EncodeFileName(const std::string& tmpl, const LocalTime& now, const std::string& pi,
                           const std::string& ps);

// A name without a folder lies in `folder` (which ends in "/").
std::string ResolveInFolder(const std::string& name, const std::string& folder);
// The folder part of a name, with its trailing "/"; empty when none.
std::string FolderOf(const std::string& name);
// Makes the documents folder when `name` lies in it and it is missing: a
// fresh account may have none yet, and names without a folder go there.
void MakeDocumentsFolderFor(const std::string& name, const std::string& documentsFolder);
// The extension of the file-name part, with its dot; empty when none.
std::string ExtensionOf(const std::string& name);
// The name with its extension replaced by `extension` (with its dot).
std::string ChangeExtension(const std::string& name, const std::string& extension);
// "name (2).smp", "name (3).smp" ...: the first that does not exist.
std::string NumberedFreeName(const std::string& name);

struct RecordingHeader {
    LocalTime time;
    int source = 3;
    std::string name, location, notes;
    std::string frequency; // written only when not empty
};
// "<recorder="Orvane" date=... >": name, location and notes cut to 20, 20
// and 64 characters, the lengths of their edits; quotes in them stay as
// they are.
std::string HeaderLine(const RecordingHeader& h);

} // namespace orvane
