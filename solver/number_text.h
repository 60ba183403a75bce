// Numbers as a user types them on a command line: one decimal number (digits
// with an optional sign, point and exponent) that takes up the whole text
// and is finite. "0x10", "inf", "nan", "12abc", " 12" and "+12" are refused,
// so that a slip is named instead of read as something else.
#pragma once

#include <string_view>

namespace torvex {

// The number the whole of `text` spells in decimal; false (value unchanged)
// for anything else, including a number too large for a double.
bool parseDecimalNumber(std::string_view text, double& value);

}  // namespace torvex
