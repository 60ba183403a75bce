// Comparison of a run's file with its stored reference: equal byte for byte,
// or a report of the first differing record with, for every field that
// differs, both values and their relative difference. Fields are separated
// by commas or blanks, so CSV files and column files read alike.
#pragma once

#include <string>

namespace torvex::particles::golden {

// One side of a comparison: a file's text, or its absence.
struct FileText {
    bool exists = false;
    std::string text;
};

FileText readFileText(const std::string& path);

// Empty when both sides are equal byte for byte; otherwise the report.
std::string compareFile(const std::string& name, const FileText& expected, const FileText& actual);

// FNV-1a, 64 bits, as 16 hexadecimal digits: enough to tell two runs of
// printed digits apart.
std::string checksum(const std::string& text);

}  // namespace torvex::particles::golden
