// Reading the model's input files: only regular files of bounded size, split
// into lines, and numbers converted without the locale.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace torvex::particles {

// The lines of a regular file no larger than maxBytes, without their line
// ends, read by the solver's one bounded reader (solver/file_access.h). On
// failure returns false with a sentence naming the file in error.
bool readTextLines(const std::string& path, std::size_t maxBytes, const std::string& what,
                   std::vector<std::string>& lines, std::string& error);

// A finite decimal number occupying the whole text of a field in a data file
// (blanks around it and a plus sign allowed; see solver/number_text.h).
bool parseNumber(const std::string& text, double& value);

// A number with a fixed count of decimals and a point, whatever the locale.
std::string formatFixed(double value, int decimals);

// A number as it reads back to the same double (the shortest such text),
// with a point whatever the locale.
std::string exactNumber(double value);

// A field of a comma-separated line: quoted when it holds a comma or a
// quote (a quote doubled inside).
std::string csvField(const std::string& text);

// The absolute form of a path for messages (never "." or "..").
std::string displayPath(const std::string& path);

} // namespace torvex::particles
