// Where the packaged files (gas property tables, help) are found. The
// working directory comes first, so a user can put a file of their own
// beside the variant; then the data folder of the installation the running
// executable belongs to, <prefix>/bin/../share/torvex, so a prefix moved
// elsewhere as a whole keeps working; and, only for an executable that lies
// in the build tree, the file's folder in the source tree.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace torvex {

// The folder holding the running executable; empty when the system cannot say.
std::filesystem::path executableFolder();

// <executable folder>/../share/torvex, normalised; empty when the executable
// folder is unknown.
std::filesystem::path installedDataFolder();

// True when `file` lies inside `folder` (both taken as absolute, normalised
// paths; no symbolic links are resolved).
bool liesInside(const std::filesystem::path& file, const std::filesystem::path& folder);

// A program whose cores run inside another executable (the Python module runs
// inside the Python interpreter) names its data folder here, once, before any
// run: the running executable then says nothing about where the data lie.
void setHostDataFolder(const std::filesystem::path& folder);

// The folders searched after the working directory: the host's data folder
// when one was set, the installed data folder, then `sourceFolder` when the
// executable lies in `buildTree`.
std::vector<std::filesystem::path> packagedFolders(const std::filesystem::path& sourceFolder,
                                                   const std::filesystem::path& buildTree);

// The first regular file named `name` in `workDir` or one of `folders`;
// empty when none holds it.
std::filesystem::path locateFile(const std::filesystem::path& workDir, const std::string& name,
                                 const std::vector<std::filesystem::path>& folders);

// The folders that hold the packaged data files (gas tables and the like),
// in the order they are searched: the installed data folder, then, for
// executables of the build tree, the source tree's data folder.
std::vector<std::string> dataFolders();
// A packaged data file: its path in the first data folder that holds it as
// a regular file, or "".
std::string locatePackagedFile(const std::string& name);
// A data file as a run looks for it: in the working directory first (an
// entry of any kind there is taken), then in the data folders. Empty when
// none holds it.
std::string locateDataFile(const std::string& workDir, const std::string& name);

}  // namespace torvex
