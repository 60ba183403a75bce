// Support for the fuzz targets: the readers take file paths, so each input
// is written to a file of the right name in one scratch folder per process,
// and read from there exactly as the program reads it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace torvex::fuzz {

// The process's scratch folder (created at first use, removed at exit).
const std::string& scratchFolder();

// Writes the bytes as the file `name` in the scratch folder and returns its path.
std::string writeScratchFile(const std::string& name, const std::uint8_t* data, std::size_t size);
std::string writeScratchFile(const std::string& name, const std::string& text);

// Removes the file `name` from the scratch folder if it is there.
void removeScratchFile(const std::string& name);

// Splits an input into pieces at every form feed: one fuzz input holds
// several files, in an order fixed by the target.
std::vector<std::string> splitAtFormFeeds(const std::uint8_t* data, std::size_t size);

}  // namespace torvex::fuzz
