// Files of a working directory that are not what they should be: readers
// that meet FIFOs, devices, directories, links and huge files; writers that
// meet links at their destination; and the lock of a directory.
#include "solver/file_access.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "solver/files.h"
#include "solver/result_files.h"
#include "solver/solver.h"
#include "tests/support/temp_dir.h"

namespace torvex {
namespace {

namespace fs = std::filesystem;
using test::TempDir;

bool contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

// A directory with an "outside" file beside a working directory "work".
struct Sandbox {
    TempDir root;
    std::string work = root.file("work");
    std::string outside = root.file("outside.txt");
    Sandbox() {
        fs::create_directory(work);
        root.write("outside.txt", "not yours\n");
    }
    std::string file(const std::string& name) const { return work + "/" + name; }
    void write(const std::string& name, const std::string& text) const {
        std::ofstream(file(name), std::ios::binary) << text;
    }
    std::string outsideText() const { return root.read("outside.txt"); }
};

// Every reader of the program's files refuses, without blocking, what is not
// a regular file of a sensible size, and says which file and why.
TEST(Readers, RefuseFifosDevicesDirectoriesAndHugeFilesNamingThem) {
    Sandbox box;
    ASSERT_EQ(::mkfifo(box.file("fifo").c_str(), 0644), 0);
    fs::create_directory(box.file("folder"));
    fs::create_symlink("/dev/zero", box.file("zero"));
    fs::create_symlink(box.file("nothing"), box.file("dangling"));
    box.write("huge", std::string(200000, '\n'));  // only line ends, past every limit but the results'
    box.write("huger", std::string(kResultFileLimit + 1, '\n'));

    const struct {
        const char* name;
        const char* says;
    } cases[] = {{"fifo", "is a FIFO"},          {"folder", "is a directory"}, {"zero", "is a device"},
                 {"dangling", "does not exist"}, {"missing", "is missing"},    {"huge", "larger than"}};
    for (const auto& c : cases) {
        const std::string path = box.file(c.name);
        auto s = std::make_unique<SolverState>();
        float d = 0, l = 0;
        int current = 0, flow = 0;
        for (const ReadStatus& status :
             {readSolverUnits(path, *s), readSolverInputs(path, *s, d, l, current, flow),
              readGasFile(path, *s)}) {
            EXPECT_FALSE(status.ok) << c.name;
            EXPECT_TRUE(contains(status.message, path)) << status.message;
            EXPECT_TRUE(contains(status.message, c.says)) << status.message;
        }
        IntegralParameters p;
        std::string fault;
        EXPECT_FALSE(readIntegralParameters(path, p, &fault)) << c.name;
        EXPECT_TRUE(contains(fault, path) && contains(fault, c.says)) << fault;
        UnitCodes codes{2, 2, 2};
        EXPECT_FALSE(readUnitCodes(path, codes)) << c.name;
        EXPECT_EQ(codes.length, 2);
    }
    std::string fault;
    EXPECT_TRUE(readAxisRecords(box.file("fifo"), 220, &fault).empty());
    EXPECT_TRUE(contains(fault, "is a FIFO")) << fault;
    EXPECT_TRUE(readIsothermRecords(box.file("huger"), 220, &fault).empty());
    EXPECT_TRUE(contains(fault, "larger than")) << fault;
    EXPECT_TRUE(readRadialRecords(box.file("zero"), 200, &fault).empty());
    EXPECT_TRUE(contains(fault, "is a device")) << fault;
}

TEST(Readers, FollowALinkToARegularFile) {
    Sandbox box;
    box.write("real.dat", "1 1 1 1 \n");
    fs::create_symlink(box.file("real.dat"), box.file("un.dat"));
    auto s = std::make_unique<SolverState>();
    EXPECT_TRUE(readSolverUnits(box.file("un.dat"), *s).ok);
}

// A link at the destination of an output is replaced by the new file; the
// file it points to (or would create) outside the directory stays as it was.
TEST(Writers, ReplaceALinkAtTheDestinationAndNeverWriteThroughIt) {
    Sandbox box;
    fs::create_symlink(box.outside, box.file("iop.par"));
    fs::create_symlink(box.root.file("created-outside"), box.file("un.dat"));
    fs::create_symlink(box.outside, box.file("ip.dat"));
    IntegralParameters p;
    p.gasCode = 1;
    ASSERT_TRUE(writeIntegralParameters(box.file("iop.par"), p));
    ASSERT_TRUE(writeUnitCodes(box.file("un.dat"), UnitCodes{}));
    ASSERT_TRUE(writeInputParameters(box.file("ip.dat"), VariantInputs{1, 8, 14, 500, 35}));
    EXPECT_EQ(box.outsideText(), "not yours\n");
    EXPECT_FALSE(fs::exists(fs::symlink_status(box.root.file("created-outside"))));
    for (const char* name : {"iop.par", "un.dat", "ip.dat"})
        EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(box.file(name)))) << name;
    int entries = 0;
    for (const auto& entry : fs::directory_iterator(box.root.path())) entries += entry.exists() ? 1 : 0;
    EXPECT_EQ(entries, 2);  // work and outside.txt
}

TEST(Writers, ADirectoryAtTheDestinationIsAFaultAndNoTemporaryFileStays) {
    Sandbox box;
    fs::create_directory(box.file("ftu.res"));
    ResultFiles files;
    std::string fault;
    EXPECT_FALSE(files.create(box.work, fault));
    EXPECT_TRUE(contains(fault, box.file("ftu.res")) && contains(fault, "is a directory")) << fault;
    int entries = 0;
    for ([[maybe_unused]] const auto& entry : fs::directory_iterator(box.work)) ++entries;
    EXPECT_EQ(entries, 1);  // the directory ftu.res alone
}

TEST(Writers, TemporaryFilesOfAKilledRunAreRecognisedAndRemoved) {
    Sandbox box;
    ReplacementFile left;
    std::string fault;
    ASSERT_TRUE(left.create(box.file("ilt.res"), fault));
    left.append("half a record");
    ReplacementFile units;  // the desktop program's, being written outside any run
    ASSERT_TRUE(units.create(box.file("un.dat"), fault));
    box.write("keep.res", "mine\n");
    box.write(".hidden", "mine too\n");
    removeLeftTemporaryFiles(box.work);
    int entries = 0;
    for ([[maybe_unused]] const auto& entry : fs::directory_iterator(box.work)) ++entries;
    EXPECT_EQ(entries, 3);
    EXPECT_FALSE(fs::exists(box.file("ilt.res")));
    units.append("1 1 1 1 \n");
    EXPECT_TRUE(units.commit(fault)) << fault;
}

TEST(WorkDirLock, OneHolderAtATimeAndReleasedWithItsOwner) {
    Sandbox box;
    {
        const WorkDirLock first(box.work);
        ASSERT_TRUE(first.held()) << first.message();
        const WorkDirLock second(box.work);
        EXPECT_EQ(second.status(), WorkDirLock::Status::Busy);
        EXPECT_TRUE(contains(second.message(), box.work)) << second.message();
        EXPECT_TRUE(contains(second.message(), "nothing was changed")) << second.message();
    }
    const WorkDirLock again(box.work);
    EXPECT_TRUE(again.held()) << again.message();
}

TEST(WorkDirLock, NamesTheDirectoryInFullAndTellsAFileFromAMissingDirectory) {
    Sandbox box;
    const std::string saved = fs::current_path().string();
    fs::current_path(box.work);
    const WorkDirLock here(".");
    const WorkDirLock parent("..");
    fs::current_path(saved);
    EXPECT_EQ(here.directory(), fs::canonical(box.work).string());
    EXPECT_EQ(parent.directory(), fs::canonical(box.root.path()).string());

    const WorkDirLock file(box.outside);
    EXPECT_EQ(file.status(), WorkDirLock::Status::NoDirectory);
    EXPECT_TRUE(contains(file.message(), "is not a directory")) << file.message();
    const WorkDirLock missing(box.file("nowhere"));
    EXPECT_TRUE(contains(missing.message(), "does not exist")) << missing.message();
    const WorkDirLock tooLong(box.work + "/" + std::string(5000, 'x'));
    EXPECT_TRUE(contains(tooLong.message(), "path too long (5")) << tooLong.message();

    fs::remove(box.file(kLockFileName));
    fs::create_symlink(box.outside, box.file(kLockFileName));
    // A link there is replaced by a plain lock file, never followed.
    const WorkDirLock linked(box.work);
    EXPECT_EQ(linked.status(), WorkDirLock::Status::Held) << linked.message();
    EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(box.file(kLockFileName))));
    EXPECT_EQ(box.outsideText(), "not yours\n");
}

}  // namespace
}  // namespace torvex
