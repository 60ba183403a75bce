#include "solver/data_folders.h"

#include <system_error>

namespace torvex {

namespace fs = std::filesystem;

fs::path executableFolder() {
    std::error_code error;
    // The kernel's own record of the executable: correct whatever the
    // current directory or argv[0] say.
    const fs::path executable = fs::read_symlink("/proc/self/exe", error);
    if (error || executable.empty()) return {};
    return executable.parent_path();
}

fs::path installedDataFolder() {
    const fs::path folder = executableFolder();
    if (folder.empty()) return {};
    return (folder / ".." / "share" / "torvex").lexically_normal();
}

bool liesInside(const fs::path& file, const fs::path& folder) {
    if (folder.empty()) return false;
    std::error_code error;
    const fs::path relative = fs::absolute(file, error).lexically_normal().lexically_relative(
        fs::absolute(folder, error).lexically_normal());
    return !error && !relative.empty() && *relative.begin() != "..";
}

namespace {
// Set once before any run, read by every run after it.
fs::path& hostDataFolder() {
    static fs::path folder;
    return folder;
}
}  // namespace

void setHostDataFolder(const fs::path& folder) { hostDataFolder() = folder; }

std::vector<fs::path> packagedFolders(const fs::path& sourceFolder, const fs::path& buildTree) {
    std::vector<fs::path> folders;
    if (!hostDataFolder().empty()) folders.push_back(hostDataFolder());
    const fs::path installed = installedDataFolder();
    if (!installed.empty()) folders.push_back(installed);
    // An installed copy never reads the source tree, even where it still exists.
    std::error_code error;
    if (liesInside(executableFolder(), fs::weakly_canonical(buildTree, error))) folders.push_back(sourceFolder);
    return folders;
}

fs::path locateFile(const fs::path& workDir, const std::string& name, const std::vector<fs::path>& folders) {
    std::error_code error;
    if (fs::is_regular_file(workDir / name, error)) return workDir / name;
    for (const fs::path& folder : folders)
        if (fs::is_regular_file(folder / name, error)) return folder / name;
    return {};
}

std::vector<std::string> dataFolders() {
    std::vector<std::string> folders;
    for (const fs::path& folder : packagedFolders(TORVEX_SOURCE_DATA_DIR, TORVEX_BUILD_TREE_DIR))
        folders.push_back(folder.string());
    return folders;
}

std::string locatePackagedFile(const std::string& name) {
    std::error_code error;
    for (const std::string& folder : dataFolders())
        if (fs::is_regular_file(fs::path(folder) / name, error)) return (fs::path(folder) / name).string();
    return {};
}

std::string locateDataFile(const std::string& workDir, const std::string& name) {
    // An entry of that name in the working directory is the user's own and
    // is always the one taken, whatever its kind (a link to nothing too), so
    // that its reader reports it when it is not a readable regular file,
    // rather than passing it over for the packaged one.
    const fs::path own = fs::path(workDir) / name;
    std::error_code error;
    if (fs::exists(fs::symlink_status(own, error))) return own.string();
    return locatePackagedFile(name);
}

}  // namespace torvex
