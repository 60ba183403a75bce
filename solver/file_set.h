// Files that belong together, replaced as one set and recognisable as a
// finished set afterwards. A set is written in three steps:
//
//  1. A temporary file is created for every member and for the stamp; a name
//     that is a directory, or a directory that allows no new file, stops here
//     with nothing replaced.
//  2. Every member is written and flushed to disk; the earlier stamp is
//     removed and the removal flushed; the members are renamed onto their
//     names.
//  3. The stamp is written last: a few header lines of the caller, then one
//     line per member with its size and checksum, and a closing line with
//     the checksum of all lines before it, so that a stamp edited by hand
//     (its units, its variant, a member line taken out) is told from one a
//     run wrote.
//
// A kill between steps 2 and 3 leaves members of two sets side by side, but
// never a stamp beside them: a reader that checks the stamp (readFileSetStamp
// and checkStampedFiles) tells a finished set from an interrupted one, and a
// member copied in from elsewhere from one of the set.
#pragma once

#include "file_access.h"

#include <cstdint>
#include <string>
#include <vector>

namespace torvex {

// A member of a set and what it holds.
struct SetMember {
    std::string name;  // a bare file name in the set's directory
    std::string text;
};

// The 64-bit FNV-1a hash of a text (Fowler, Noll and Vo), printed as 16 hex
// digits in stamps: enough to tell a file of another run, not a defence
// against forgery.
std::uint64_t contentChecksum(const std::string& text);
std::string checksumText(std::uint64_t checksum);

// Step 1 alone, for a caller that wants to know before a long computation:
// can every name in dir be replaced? False with a sentence naming the file.
bool checkReplaceable(const std::string& dir, const std::vector<std::string>& names, std::string& fault);

// Replaces the members and writes the stamp `stampName` last, headed by
// `header` (lines without line ends). False with a sentence naming the file
// when anything fails; a failure before the renames leaves every file as it
// was.
bool replaceFileSet(const std::string& dir, const std::vector<SetMember>& members, const std::string& stampName,
                    const std::vector<std::string>& header, std::string& fault);

// One line of a stamp for a member: "file NAME SIZE CHECKSUM".
std::string stampLine(const std::string& name, const std::string& text);

// The text of a stamp: its lines (header and member lines, without line
// ends), each ended by "\n", and the closing line "check CHECKSUM" over all
// of them.
std::string stampText(const std::vector<std::string>& lines);

// A stamp as read back: its header lines and its members.
struct FileSetStamp {
    std::vector<std::string> header;
    struct Member {
        std::string name;
        std::uint64_t size = 0;
        std::uint64_t checksum = 0;
    };
    std::vector<Member> members;
};

// Reads dir/stampName; false with a sentence when it is missing, unreadable,
// malformed (a member line that is not "file NAME SIZE CHECKSUM"), without
// its closing checksum line (an earlier version wrote it) or changed since
// it was written. The last two sentences end in `remedy` ("calculate the
// variant again"). A stamp larger than maxBytes is refused.
bool readFileSetStamp(const std::string& dir, const std::string& stampName, FileSetStamp& stamp,
                      std::string& fault, const std::string& remedy = "write the set again",
                      std::size_t maxBytes = kSmallFileLimit);

// Compares every member the stamp lists with the file of its name (each read
// whole, up to maxBytes). Returns "" when all match, else the name of the
// first that is missing or differs.
std::string firstStrayMember(const std::string& dir, const FileSetStamp& stamp, std::size_t maxBytes);

}  // namespace torvex
