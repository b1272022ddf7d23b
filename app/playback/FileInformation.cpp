#include "FileInformation.h"

namespace orvane {

std::string FileInformationText(const std::string& fileName, const std::string& headerLine) {
    std::string h = headerLine;
    if (h.size() < 6 || h.front() != '<' || h.back() != '>') return "No information.";
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
