#include "FileInformation.h"

#include "Utf8.h"

namespace orvane {

std::string FileInformationText(const std::string& fileName, const std::string& headerLine) {
    if (headerLine.size() < 6 || headerLine.front() != '<' || headerLine.back() != '>') return "No information.";
    // Shown as text: a header written on the original platform is Windows-1252.
    std::string h = utf8::FromFileBytes(headerLine);
    std::string message = fileName + "\n";
    size_t before;
    do {
        before = h.size();
        h.erase(0, h.find_first_not_of("< "));
        const size_t eq = h.find("=\"");
        if (eq == std::string::npos) continue;
        const std::string name = h.substr(0, eq);
        h.erase(0, eq + 2);
        const size_t quote = h.find('"');
        if (quote == std::string::npos) continue;
        const std::string value = h.substr(0, quote);
        h.erase(0, quote + 1);
        if (!name.empty() && !value.empty()) message += " \n" + name + ": " + value;
    } while (h.size() < before);
    return message;
}

} // namespace orvane
