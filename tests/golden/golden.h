// Reference results of a matrix of variants: the manifest that lists them,
// one run of a variant into a directory (the same for the generator and the
// test), and the comparison of a run's files with the stored ones that names
// the first differing record with both values.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "solver/state.h"

namespace torvex::golden {

struct GoldenVariant {
    std::string name;       // letters, digits and underscores (a test name)
    std::string unitLine;   // un.dat as the units dialog writes it
    std::string inputLine;  // ip.dat in its fixed columns
    int gasCode = 0;
    int nodeCeiling = kMaxNodes;  // lower to fill the jet grid early
};

// The variant's name, for test listings.
inline void PrintTo(const GoldenVariant& variant, std::ostream* out) { *out << variant.name; }

// Reads the manifest: one variant a line, "#" starts a comment. False with
// a message naming the file and line when a line is malformed.
bool readManifest(const std::string& path, std::vector<GoldenVariant>& variants, std::string& error);

// Writes un.dat, ip.dat and the gas file of the source tree into dir, runs the
// solver there and adds outcome.txt (result, message, final node count and
// progress reports) and ftu.sum (checksums of every record of ftu.res).
void runVariant(const GoldenVariant& variant, const std::string& dir);

// The files a golden consists of, in the order they are compared.
const std::vector<std::string>& goldenFileNames();

// One side of a comparison: a file's text, or its absence.
struct FileText {
    bool exists = false;
    std::string text;
};

FileText readFileText(const std::string& path);

// Empty when both sides are equal byte for byte; otherwise a report of the
// first differing record: both lines, and for every field that differs both
// values and their relative difference. Fields are separated by commas or
// blanks, and a CSV file's fields are named after the columns of its header.
std::string compareFile(const std::string& name, const FileText& expected, const FileText& actual);

// The lines of a text, without their line ends.
std::vector<std::string> splitLines(const std::string& text);

// The blank-separated words of a manifest line.
std::vector<std::string> splitWords(const std::string& line);

// Writes text to path as it is.
void writeText(const std::string& path, const std::string& text);

// FNV-1a, 64 bits, as 16 hexadecimal digits: enough to tell two runs of
// printed digits apart.
std::string checksum(const std::string& text);

// The lines of record `record` (from 1) of ftu.res whose block checksum in
// ftu.sum differs, so that a changed field file shows its new values.
std::string fieldRecordExcerpt(const std::string& ftuText, int record);

// Checksums of ftu.res, one line per record of three blocks.
std::string fieldChecksums(const std::string& ftuText);

}  // namespace torvex::golden
