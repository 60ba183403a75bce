#include "study/text_files.h"

namespace torvex {

bool readBoundedTextFile(const std::string& path, std::size_t maxBytes, std::string& text,
                         std::string& error) {
    std::string why;
    if (readRegularFile(path, maxBytes, text, why)) return true;
    error = "The file " + displayPath(path) + " " + why + ".";
    return false;
}

bool writeFileAtomically(const std::string& path, const std::string& text, std::string& error) {
    std::string fault;
    if (replaceFile(path, text, fault)) return true;
    error = "The file " + displayPath(path) + " " + fault + ".";
    return false;
}

}  // namespace torvex
