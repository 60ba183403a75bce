#include "particles/text_file.h"

#include "solver/file_access.h"
#include "solver/number_text.h"

#include <charconv>
#include <cmath>
#include <filesystem>
#include <string_view>
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

std::string exactNumber(double value) {
    char digits[32];
    const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
    return std::string(digits, end);
}

std::string csvField(const std::string& text) {
    if (text.find_first_of(",\"") == std::string::npos) return text;
    std::string quoted = "\"";
    for (char c : text) quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
    return quoted + "\"";
}

bool parseNumber(const std::string& text, double& value) {
    const std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos) return false;
    const std::size_t last = text.find_last_not_of(" \t") + 1;
    std::string_view number(text.data() + first, last - first);
    if (number.front() == '+') number.remove_prefix(1);  // a file's "+5", which the terminal refuses
    return parseDecimalNumber(number, value);
}

} // namespace torvex::particles
