#include "shell/help_file.h"

#include <QDir>
#include <QFile>

#include <system_error>

#include "solver/data_folders.h"

namespace torvex {

namespace {
const char* const kHelpFileName = "Torvex.hlp";
}  // namespace

QString helpFilePath() { return helpFilePath(kHelpFileName); }

QString helpFilePath(const char* fileName) {
    std::error_code error;  // a working directory that is gone: an empty path
    const std::filesystem::path path =
        locateFile(std::filesystem::current_path(error), fileName,
                   packagedFolders(TORVEX_SOURCE_HELP_DIR, TORVEX_BUILD_TREE_DIR));
    // Not found: the place it belongs beside the executable, by its full
    // name, for the message.
    const std::filesystem::path shown = path.empty() ? installedDataFolder() / fileName : path;
    return QDir::cleanPath(QFile::decodeName(shown.c_str()));
}

}  // namespace torvex
