#pragma once
// Files that tests write and read back byte for byte.
#include "RdsEncoder.h"

#include <string>
#include <vector>

namespace orvane::test {

std::string ReadFileBytes(const std::string& path);
void WriteFileBytes(const std::string& path, const std::string& bytes);
// A text recording: an optional header line, then one group line per group,
// each ended by CR LF.
void WriteRecording(const std::string& path, const std::vector<Group>& groups, bool addDateTime,
                    const std::string& header = {});
// The group lines alone, each ended by `lineEnd`.
std::string RecordingLines(const std::vector<Group>& groups, bool addDateTime, const std::string& lineEnd);
// "K0", "K1" ...: a letter followed by a number.
std::string Numbered(char letter, size_t n);

} // namespace orvane::test
