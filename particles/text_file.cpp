#include "particles/text_file.h"

#include <charconv>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <system_error>

namespace torvex::particles {

namespace fs = std::filesystem;

std::string displayPath(const std::string& path) {
    std::error_code error;
    const fs::path absolute = fs::absolute(path, error);
    return error ? path : absolute.lexically_normal().string();
}

bool readTextLines(const std::string& path, std::size_t maxBytes, const std::string& what,
                   std::vector<std::string>& lines, std::string& error) {
    const std::string shown = what + " " + displayPath(path);
    std::error_code code;
    const fs::file_status status = fs::status(path, code);
    if (code || !fs::exists(status)) {
        error = shown + " is missing.";
        return false;
    }
    if (!fs::is_regular_file(status)) {
        error = shown + " is not a regular file.";
        return false;
    }
    const auto size = fs::file_size(path, code);
    if (code || size > maxBytes) {
        error = shown + " is larger than " + std::to_string(maxBytes / 1024) + " KB; it is not such a file.";
        return false;
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        error = shown + " cannot be read.";
        return false;
    }
    lines.clear();
    std::string line;
    std::size_t total = 0;
    while (std::getline(in, line)) {
        total += line.size() + 1;
        if (total > maxBytes + 1) {  // grew while being read
            error = shown + " is larger than " + std::to_string(maxBytes / 1024) + " KB; it is not such a file.";
            return false;
        }
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
    }
    if (in.bad()) {
        error = shown + " cannot be read.";
        return false;
    }
    return true;
}

std::string formatFixed(double value, int decimals) {
    if (!std::isfinite(value)) return "nan";
    char digits[400];
    const auto result = std::to_chars(digits, digits + sizeof digits, value, std::chars_format::fixed, decimals);
    return result.ec == std::errc() ? std::string(digits, result.ptr) : std::string("*");
}

bool parseNumber(const std::string& text, double& value) {
    std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos) return false;
    std::size_t last = text.find_last_not_of(" \t") + 1;
    const char* begin = text.data() + first;
    if (*begin == '+') ++begin;  // from_chars takes no plus sign
    double parsed = 0;
    const auto result = std::from_chars(begin, text.data() + last, parsed);
    if (result.ec != std::errc() || result.ptr != text.data() + last || !std::isfinite(parsed)) return false;
    value = parsed;
    return true;
}

} // namespace torvex::particles
