// Numbers typed by a user (options, study files): one reader for every
// program, so that each refuses the same texts.
#pragma once

#include <string>

namespace torvex {

// A finite decimal number and nothing else: no hexadecimal ("0x10"), no
// "nan" or "inf" (they would garble ip.dat), no blanks or trailing letters.
// The locale plays no part. False (value unspecified) otherwise.
bool parseDecimal(const std::string& text, double& value);

}  // namespace torvex
