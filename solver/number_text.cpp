#include "number_text.h"

#include <charconv>
#include <cmath>
#include <system_error>

namespace torvex {

bool parseDecimalNumber(std::string_view text, double& value) {
    const char* const last = text.data() + text.size();
    double parsed = 0;
    // The general format reads no "0x" prefix: "0x10" stops after the 0.
    const auto result = std::from_chars(text.data(), last, parsed, std::chars_format::general);
    if (result.ec != std::errc() || result.ptr != last || !std::isfinite(parsed)) return false;
    value = parsed;
    return true;
}

}  // namespace torvex
