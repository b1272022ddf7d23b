#include "TestFiles.h"

#include "GroupLineParser.h"

#include <fstream>
#include <iterator>

namespace orvane::test {

std::string ReadFileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteFileBytes(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
}

void WriteRecording(const std::string& path, const std::vector<Group>& groups, bool addDateTime,
                    const std::string& header) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!header.empty()) out << header << "\r\n";
    out << RecordingLines(groups, addDateTime, "\r\n");
}

std::string RecordingLines(const std::vector<Group>& groups, bool addDateTime, const std::string& lineEnd) {
    std::string out;
    TRDSGroupRec r{};
    r.Year = 2024;
    r.Month = 5;
    r.Day = 1;
    for (const Group& g : groups) {
        r.BlockA = g.a;
        r.BlockB = g.b;
        r.BlockC = g.c;
        r.BlockD = g.d;
        out += GroupToLine(r, addDateTime) + lineEnd;
    }
    return out;
}

std::string Numbered(char letter, size_t n) { return std::string(1, letter) + std::to_string(n); }

} // namespace orvane::test
