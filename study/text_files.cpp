#include "study/text_files.h"

#include "solver/file_access.h"


#include <filesystem>
#include <system_error>

namespace torvex {

namespace fs = std::filesystem;

std::string displayPath(const std::string& path) {
    std::error_code error;
    const fs::path absolute = fs::absolute(path, error);
    if (error) return path;
    std::string text = absolute.lexically_normal().string();
    if (text.size() > 1 && text.back() == '/') text.pop_back();
    return text;
}

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
