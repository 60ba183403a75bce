#include "particles/text_file.h"

#include "solver/file_access.h"

#include <charconv>
#include <cmath>
#include <filesystem>
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
    std::string text, why;
    if (!readRegularFile(path, maxBytes, text, why)) {
        error = what + " " + displayPath(path) + " " + why + ".";
        return false;
    }
    lines = splitLines(text);
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
