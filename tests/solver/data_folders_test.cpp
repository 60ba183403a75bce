// Where packaged files are found: the working directory, the data folder of
// the installation the executable belongs to, the source tree for build-tree
// runs only.
#include "solver/data_folders.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "tests/support/temp_dir.h"

namespace torvex::test {
namespace {

namespace fs = std::filesystem;

TEST(DataFolders, InstalledFolderLiesBesideTheExecutablesBin) {
    const fs::path exe = executableFolder();
    ASSERT_FALSE(exe.empty());
    EXPECT_TRUE(fs::exists(exe / "torvex_solver_tests"));
    EXPECT_EQ(installedDataFolder(), (exe.parent_path() / "share" / "torvex").lexically_normal());
}

TEST(DataFolders, InsideMeansBelowWithoutEscapingUpwards) {
    EXPECT_TRUE(liesInside("/opt/b/bin", "/opt/b"));
    EXPECT_TRUE(liesInside("/opt/b/bin/../share", "/opt/b/"));
    EXPECT_FALSE(liesInside("/opt/b/../c/bin", "/opt/b"));
    EXPECT_FALSE(liesInside("/opt/build-other/bin", "/opt/build"));
    EXPECT_FALSE(liesInside("/opt", "/opt/b"));
    EXPECT_FALSE(liesInside("/opt/b", ""));
}

TEST(DataFolders, SourceFolderServesOnlyExecutablesOfTheBuildTree) {
    const fs::path exe = executableFolder();
    const auto inTree = packagedFolders("/src/data", exe.parent_path());
    ASSERT_EQ(inTree.size(), 2u);
    EXPECT_EQ(inTree[0], installedDataFolder());
    EXPECT_EQ(inTree[1], fs::path("/src/data"));
    const auto installed = packagedFolders("/src/data", "/nowhere/build");
    ASSERT_EQ(installed.size(), 1u);
    EXPECT_EQ(installed[0], installedDataFolder());
}

TEST(DataFolders, WorkingDirectoryFirstThenFoldersInOrderRegularFilesOnly) {
    TempDir work, first, second;
    second.write("ar.dat", "packaged");
    const std::vector<fs::path> folders{first.path(), second.path()};
    EXPECT_EQ(locateFile(work.path(), "ar.dat", folders), fs::path(second.file("ar.dat")));
    first.write("ar.dat", "earlier folder");
    EXPECT_EQ(locateFile(work.path(), "ar.dat", folders), fs::path(first.file("ar.dat")));
    work.write("ar.dat", "the user's own");
    EXPECT_EQ(locateFile(work.path(), "ar.dat", folders), fs::path(work.file("ar.dat")));
    // A folder of that name is no file: the search goes on past it.
    fs::remove(work.file("ar.dat"));
    fs::create_directory(work.file("ar.dat"));
    EXPECT_EQ(locateFile(work.path(), "ar.dat", folders), fs::path(first.file("ar.dat")));
    EXPECT_TRUE(locateFile(work.path(), "n2.dat", folders).empty());
}

TEST(DataFolders, GasFileOfTheBuildTreeComesFromTheSourceData) {
    TempDir work;
    const std::vector<std::string> folders = dataFolders();
    ASSERT_EQ(folders.size(), 2u);
    EXPECT_EQ(folders[0], installedDataFolder().string());
    EXPECT_EQ(locatePackagedFile("ar.dat"), sourceDataFile("ar.dat"));
    EXPECT_EQ(locateDataFile(work.path(), "ar.dat"), sourceDataFile("ar.dat"));
    work.copyGasFile("ar.dat");
    EXPECT_EQ(locateDataFile(work.path(), "ar.dat"), work.file("ar.dat"));
    EXPECT_EQ(locatePackagedFile("no-such-table.dat"), "");
    // The user's own entry, even one that is no regular file, is not passed
    // over for the packaged table: its reader says what is wrong with it.
    fs::remove(work.file("ar.dat"));
    fs::create_symlink(work.file("missing.dat"), work.file("ar.dat"));
    EXPECT_EQ(locateDataFile(work.path(), "ar.dat"), work.file("ar.dat"));
}

}  // namespace
}  // namespace torvex::test
