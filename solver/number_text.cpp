#include "solver/number_text.h"

#include <charconv>
#include <cmath>

namespace torvex {

bool parseDecimal(const std::string& text, double& value) {
    const char* const last = text.data() + text.size();
    const auto result = std::from_chars(text.data(), last, value);
    return result.ec == std::errc() && result.ptr == last && std::isfinite(value);
}

}  // namespace torvex
