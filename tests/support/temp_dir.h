// Test support: a fresh temporary working directory, removed afterwards, and
// small helpers to put files in it.
#pragma once

#include <string>

namespace torvex::test {

class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& path() const { return path_; }
    // Full path of a file in the directory.
    std::string file(const std::string& name) const;
    // Writes text to a file in the directory.
    void write(const std::string& name, const std::string& text) const;
    // Whole contents of a file in the directory ("" if missing).
    std::string read(const std::string& name) const;
    bool exists(const std::string& name) const;
    // Copies a gas property file from the source tree's data folder.
    void copyGasFile(const std::string& name) const;
    // Vouches for the result files written by hand as a finished set: the
    // missing ones are made empty and the stamp a run writes last is added,
    // for a run in millimetres (1) or inches (2).
    void stampResultSet(int lengthUnit = 1) const;

private:
    std::string path_;
};

// Path of a file in the source tree's data folder.
std::string sourceDataFile(const std::string& name);

} // namespace torvex::test
