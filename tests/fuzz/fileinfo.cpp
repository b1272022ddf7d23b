// The header parser of "File Information...": any header line gives the file
// name and its fields, or "No information.".
#include "FileInformation.h"
#include "FuzzInput.h"
#include "Utf8.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace orvane;
    fuzz::FuzzInput in(data, size);
    const std::string name = in.Text();
    const std::string header = in.Rest();
    const std::string text = FileInformationText(name, header);
    const bool headed = header.size() >= 6 && header.front() == '<' && header.back() == '>';
    if (!headed) {
        fuzz::Check(text == "No information.", "no header, no information");
        return 0;
    }
    fuzz::Check(text.compare(0, name.size() + 1, name + "\n") == 0, "the file name comes first");
    // Every field line came out of the header, so the text never outgrows it much.
    fuzz::Check(text.size() <= name.size() + 1 + 2 * utf8::FromFileBytes(header).size(),
                "fields come from the header");
    fuzz::Check(utf8::IsValid(text.substr(name.size() + 1)), "the fields are text");
    return 0;
}
