// Reading and writing the study's own text files: readers accept only regular
// files of bounded size; writers go through a temporary file in the same
// directory renamed into place, so a reader never sees half a file.
#pragma once

#include <cstddef>
#include <string>

#include "solver/file_access.h"  // displayPath

namespace torvex {


// Whole contents of a regular file of at most maxBytes. False with a message
// naming the file and the fault otherwise.
bool readBoundedTextFile(const std::string& path, std::size_t maxBytes, std::string& text,
                         std::string& error);

// Writes text to path through a temporary file in the same directory that is
// flushed to disk and renamed into place. False with a message on a fault;
// the previous file (if any) then stays as it was.
bool writeFileAtomically(const std::string& path, const std::string& text, std::string& error);

}  // namespace torvex
