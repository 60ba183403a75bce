// The real torvex-run in a working directory that holds what it should not:
// links at the outputs, FIFOs, devices and huge files as inputs, a directory
// in place of an output, no permission to write, no space left. Each case
// ends with its own exit status and a message naming the file, the earlier
// results as they were (or replaced as a whole), and nothing touched outside
// the directory.
#include <gtest/gtest.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <tuple>

#include "particles/spray_files.h"
#include "solver/file_access.h"
#include "solver/file_set.h"
#include "tests/faults/run_process.h"

namespace torvex::faults {
namespace {

namespace fs = std::filesystem;

constexpr int kBadInput = 2;
constexpr int kOutputFault = 5;

bool contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

// A sandbox whose working directory holds the complete set of variant A (as
// its run wrote it), and un.dat and ip.dat of variant B ready to run.
struct EarlierSet : Sandbox {
    EarlierSet() {
        for (const auto& [name, text] : reference('A').outputs) writeText(file(name), text);
        writeText(file("un.dat"), "1 1 1 1 \n");
        writeText(file("ip.dat"), reference('B').inputs);
        workPath = fs::canonical(work).string();
    }
    Finished run(const std::vector<std::string>& extra = {}) const {
        std::vector<std::string> arguments = extra;
        arguments.push_back(work);
        return runTorvexRun({arguments});
    }
    std::string workPath;
};

TEST(HostileFiles, LinksAndFifosAtTheOutputsAreReplacedAndNothingOutsideIsWritten) {
    EarlierSet box;
    const std::string elsewhere = box.root + "/created-outside";
    fs::remove(box.file("ilt.res"));
    fs::create_symlink(box.outside, box.file("ilt.res"));
    fs::remove(box.file("ztu0.res"));
    fs::create_symlink(elsewhere, box.file("ztu0.res"));  // dangling
    fs::remove(box.file("iop.par"));
    fs::create_symlink("/dev/zero", box.file("iop.par"));
    fs::remove(box.file("rtu5.res"));
    ASSERT_EQ(::mkfifo(box.file("rtu5.res").c_str(), 0644), 0);
    fs::remove(box.file("ip.dat"));
    fs::create_symlink(box.outside, box.file("ip.dat"));  // replaced by the variant options
    fs::create_symlink(box.outside, box.file(".torvex.lock"));  // replaced by a plain lock file

    const Finished done = runTorvexRun({variantArguments('B', box.work)});
    ASSERT_EQ(done.status, 0) << done.err;
    EXPECT_EQ(outputFiles(box.work), reference('B').outputs);
    for (const std::string& name : outputNames())
        EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(box.file(name)))) << name;
    EXPECT_EQ(fileText(box.file("ip.dat")), reference('B').inputs);
    EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(box.file(".torvex.lock"))));
    EXPECT_FALSE(fs::exists(fs::symlink_status(elsewhere)));
    EXPECT_EQ(box.untouchedOutside(), "");
}

// Variant A's arguments with the value of one option replaced, after `first`.
std::vector<std::string> variantAWith(const std::string& option, const std::string& value, const std::string& dir,
                                      std::vector<std::string> first) {
    std::vector<std::string> arguments = variantArguments('A', dir);
    *(std::find(arguments.begin(), arguments.end(), option) + 1) = value;
    first.insert(first.end(), arguments.begin(), arguments.end());
    return first;
}

// What the model's ranges change is said on stderr and in the summary;
// with --strict it is bad input, as are numbers that are not plain decimals,
// and the earlier set and ip.dat stay as they were.
TEST(HostileFiles, ChangedInputsAreNamedAndStrictOrMalformedNumbersChangeNothing) {
    const std::string note = "anode diameter 99.99 mm is outside the model's range for argon (5.0 to 11.0 mm); "
                             "11.0 mm was used";
    Sandbox box;
    const Finished ran = runTorvexRun({variantAWith("--diameter", "99.99", box.work, {"--no-progress"})});
    EXPECT_EQ(ran.status, 0) << ran.err;
    EXPECT_TRUE(contains(ran.err, "torvex-run: " + note + ".\n")) << ran.err;
    EXPECT_TRUE(contains(ran.out, "  " + note + "\n")) << ran.out;
    EXPECT_TRUE(contains(ran.err, "arc current 500 A is outside the model's range for argon and anode diameter 11.0 mm"));

    const char* const refused[][3] = {
        {"--diameter", "99.99", "11.0 mm was used."}, {"--diameter", "0", "5.0 mm was used."},
        {"--flow", "1e-300", "gas flow 0 SLPM is outside"}, {"--diameter", "6.3", "is not an even tenth"},
        {"--flow", "0x10", "not \"0x10\""}, {"--flow", "inf", "not \"inf\""},
        {"--current", "500x", "not \"500x\""}, {"--flow", " 35", "not \" 35\""},
        {"--current", "500.4", "arc current 500.4 A is written to ip.dat as 500 A."}};
    for (const auto& [option, value, says] : refused) {
        EarlierSet box;
        const FileSet before = outputFiles(box.work);
        const Finished done = runTorvexRun({variantAWith(option, value, box.work, {"--strict", "--no-progress"})});
        EXPECT_EQ(done.status, kBadInput) << value << ": " << done.err;
        EXPECT_TRUE(contains(done.err, says)) << value << ": " << done.err;
        EXPECT_EQ(outputFiles(box.work), before) << value;
        EXPECT_EQ(fileText(box.file("ip.dat")), reference('B').inputs) << value;
    }
    // The variant already in the folder: a negative diameter runs with its
    // note, and --strict refuses it before anything is written.
    EarlierSet negative;
    writeText(negative.file("ip.dat"), " 2 -8.00 14.00  300  35\n");
    const FileSet before = outputFiles(negative.work);
    const Finished strict = negative.run({"--strict", "--no-progress"});
    EXPECT_EQ(strict.status, kBadInput) << strict.err;
    EXPECT_TRUE(contains(strict.err, "anode diameter -8.00 mm is outside the model's range for nitrogen (5.0 to 9.0 mm)"));
    EXPECT_EQ(outputFiles(negative.work), before);
    EXPECT_EQ(negative.run({"--no-progress"}).status, 0);
}

TEST(HostileFiles, FifosDevicesDirectoriesAndHugeFilesAsInputsAreRefusedWithoutHanging) {
    struct Case {
        const char* file;
        const char* kind;  // fifo, zero, directory, huge
        const char* says;
    };
    const Case cases[] = {
        {"ip.dat", "fifo", "is a FIFO"},
        {"un.dat", "fifo", "is a FIFO"},
        {"n2.dat", "fifo", "is a FIFO"},
        {"ip.dat", "zero", "is a device"},
        {"un.dat", "zero", "is a device"},
        {"n2.dat", "zero", "is a device"},
        {"ip.dat", "directory", "is a directory"},
        {"ip.dat", "huge", "is larger than 4096 bytes"},
        {"n2.dat", "huge", "is larger than 65536 bytes"},
    };
    for (const Case& c : cases) {
        EarlierSet box;
        const FileSet before = outputFiles(box.work);
        const std::string path = box.file(c.file);
        fs::remove(path);
        const std::string kind = c.kind;
        if (kind == "fifo") {
            ASSERT_EQ(::mkfifo(path.c_str(), 0644), 0);
        }
        if (kind == "zero") fs::create_symlink("/dev/zero", path);
        if (kind == "directory") fs::create_directory(path);
        if (kind == "huge") writeText(path, std::string(5 << 20, '\n'));
        const Finished done = box.run({"--no-progress"});
        EXPECT_FALSE(done.timedOut) << c.file << " as " << kind;
        EXPECT_EQ(done.status, kBadInput) << c.file << " as " << kind << ": " << done.err;
        EXPECT_TRUE(contains(done.err, box.workPath + "/" + c.file + " " + c.says)) << done.err;
        EXPECT_EQ(outputFiles(box.work), before) << c.file << " as " << kind;
        EXPECT_EQ(temporaryFiles(box.work), 0);
        EXPECT_EQ(box.untouchedOutside(), "");
    }
}

TEST(HostileFiles, ADirectoryInPlaceOfEachOutputIsAnOutputFaultNamingIt) {
    std::vector<std::string> names = outputNames();
    names.push_back("results.stamp");
    for (const std::string& name : names) {
        EarlierSet box;
        fs::remove(box.file(name));
        fs::create_directory(box.file(name));
        const FileSet before = outputFiles(box.work), inputs = allFiles(box.work);
        // With the variant options: ip.dat stays as it was too.
        const Finished done = runTorvexRun({variantArguments('A', box.work)});
        EXPECT_EQ(allFiles(box.work), inputs) << name;
        EXPECT_EQ(done.status, kOutputFault) << name << ": " << done.err;
        EXPECT_TRUE(contains(done.err, box.workPath + "/" + name + " is a directory")) << done.err;
        EXPECT_EQ(outputFiles(box.work), before) << name;
        EXPECT_EQ(temporaryFiles(box.work), 0);
        EXPECT_EQ(box.untouchedOutside(), "");
    }
}

// Without write permission (root is made an ordinary user for it, since
// permissions do not bind root) the run is an output fault and changes
// nothing, whether or not the lock file is already there.
TEST(HostileFiles, AReadOnlyDirectoryIsAnOutputFaultAndStaysAsItWas) {
    const bool root = ::geteuid() == 0;
    for (const bool lockFileThere : {false, true}) {
        EarlierSet box;
        if (lockFileThere) writeText(box.file(".torvex.lock"), "");
        fs::permissions(box.root, fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                                      fs::perms::others_read | fs::perms::others_exec);
        fs::permissions(box.work, fs::perms::owner_read | fs::perms::owner_exec | fs::perms::group_read |
                                      fs::perms::group_exec | fs::perms::others_read |
                                      fs::perms::others_exec);
        const FileSet before = outputFiles(box.work);
        const Finished done = runTorvexRun({{box.work}, {}, nullptr, root});
        if (done.status == 126 || done.status == 127)
            GTEST_SKIP() << "torvex-run cannot be started as an unprivileged user here";
        EXPECT_EQ(done.status, kOutputFault) << done.err;
        const std::string named = lockFileThere
                                      ? box.workPath + "/iop.par cannot be written: Permission denied"
                                      : box.workPath + "/.torvex.lock cannot be created: Permission denied";
        EXPECT_TRUE(contains(done.err, named)) << done.err;
        EXPECT_EQ(outputFiles(box.work), before);
        EXPECT_EQ(temporaryFiles(box.work), 0);
        EXPECT_EQ(box.untouchedOutside(), "");
    }
}

// A small file system of its own, mounted in a private mount namespace of
// this test process (as root, or as the owner of a new user namespace).
std::string privateMounts() {
    if (::unshare(CLONE_NEWNS) != 0) {
        const uid_t uid = ::geteuid();
        const gid_t gid = ::getegid();
        if (::unshare(CLONE_NEWUSER | CLONE_NEWNS) != 0)
            return std::string("no private mount namespace: ") + std::strerror(errno);
        writeText("/proc/self/setgroups", "deny");
        writeText("/proc/self/uid_map", "0 " + std::to_string(uid) + " 1");
        writeText("/proc/self/gid_map", "0 " + std::to_string(gid) + " 1");
    }
    if (::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0)
        return std::string("mounts cannot be made private: ") + std::strerror(errno);
    return {};
}

bool mountSmall(const std::string& dir, const std::string& size) {
    return ::mount("torvex-full", dir.c_str(), "tmpfs", 0, ("size=" + size).c_str()) == 0;
}

// Fills the file system of dir to the last block.
void fill(const std::string& dir) {
    std::ofstream filler(dir + "/filler", std::ios::binary);
    const std::string block(4096, 'x');
    while (filler.write(block.data(), block.size()) && filler.flush()) {
    }
}

TEST(HostileFiles, AFullFileSystemKeepsTheEarlierSetOrLeavesTheNewIopParAlone) {
    const Reference& a = reference('A');
    const Reference& b = reference('B');
    Sandbox box;
    const std::string why = privateMounts();
    if (!why.empty()) GTEST_SKIP() << "The full file system is not checked here (" << why << ").";
    const std::string empty = box.root + "/empty", full = box.root + "/full";
    fs::create_directory(empty);
    fs::create_directory(full);
    if (!mountSmall(empty, "96k") || !mountSmall(full, "1m"))
        GTEST_SKIP() << "The full file system is not checked here (tmpfs cannot be mounted: "
                     << std::strerror(errno) << ").";

    // Room for iop.par but not for the field file: the new iop.par stands
    // alone and the message names the file that did not fit.
    writeText(empty + "/un.dat", "1 1 1 1 \n");
    writeText(empty + "/ip.dat", a.inputs);
    Finished done = runTorvexRun({{"--no-progress", empty}});
    EXPECT_EQ(done.status, kOutputFault) << done.err;
    EXPECT_TRUE(contains(done.err, "The result file " + empty + "/")) << done.err;
    EXPECT_TRUE(contains(done.err, ".res cannot be written: No space left on device")) << done.err;
    EXPECT_EQ(outputFiles(empty), (FileSet{{"iop.par", a.outputs.at("iop.par")}}));
    EXPECT_EQ(temporaryFiles(empty), 0);

    // A full disk under an earlier set: not even iop.par fits, and the
    // earlier set stays whole.
    for (const auto& [name, text] : a.outputs) writeText(full + "/" + name, text);
    writeText(full + "/un.dat", "1 1 1 1 \n");
    writeText(full + "/ip.dat", b.inputs);
    writeText(full + "/.torvex.lock", "");
    fill(full);
    done = runTorvexRun({{"--no-progress", full}});
    EXPECT_EQ(done.status, kOutputFault) << done.err;
    EXPECT_TRUE(contains(done.err, full + "/iop.par cannot be written: No space left on device")) << done.err;
    EXPECT_EQ(outputFiles(full), a.outputs);
    EXPECT_EQ(temporaryFiles(full), 0);

    ::umount2(empty.c_str(), MNT_DETACH);
    ::umount2(full.c_str(), MNT_DETACH);
    EXPECT_EQ(box.untouchedOutside({"empty", "full"}), "");
}

// Every refusal of torvex-run and kavel-run leaves every file of the folder
// byte for byte as it was; the messages say what is wrong with the set.
TEST(HostileFiles, EveryRefusalLeavesEveryFileAsItWasAndSaysWhatIsWrong) {
    Sandbox box;
    ASSERT_EQ(runTorvexRun({variantArguments('A', box.work)}).status, 0);
    ASSERT_EQ(runTorvexRun(kavelRun({"--count", "20", box.work})).status, 0);
    const std::string work = fs::canonical(box.work).string();
    const auto refusedAlike = [&box](const Launch& launch, int status, const std::string& says) {
        const FileSet before = allFiles(box.work);
        const Finished done = runTorvexRun(launch);
        std::printf("  [%d] %s", done.status, done.err.c_str());
        EXPECT_EQ(done.status, status) << done.err;
        EXPECT_TRUE(contains(done.err, says)) << done.err;
        EXPECT_FALSE(contains(done.out, "deviation")) << "refused after the flight: " << says;
        EXPECT_EQ(allFiles(box.work), before) << says;
        EXPECT_EQ(temporaryFiles(box.work), 0);
    };
    {
        const WorkDirLock running(box.work);  // a run holds the folder
        refusedAlike(Launch{variantArguments('B', box.work)}, 6, "nothing was changed");
        refusedAlike(kavelRun({box.work}), 6, "Another run is using the working directory " + work);
        refusedAlike(Launch{{"export", box.work}}, 6, "A run is writing the results in the working directory");
    }
    fs::create_directory(box.file("trajectories.csv.keep"));
    fs::rename(box.file("trajectories.csv"), box.file("trajectories.csv.keep/t"));
    fs::create_directory(box.file("trajectories.csv"));
    refusedAlike(kavelRun({box.work}), 5, work + "/trajectories.csv is a directory");
    fs::create_directory(box.file("tune.csv"));
    refusedAlike(kavelRun({"tune", "--steps", "2", box.work}), 5, work + "/tune.csv is a directory");
    fs::remove(box.file("tune.csv"));
    fs::remove(box.file("trajectories.csv"));
    fs::rename(box.file("trajectories.csv.keep/t"), box.file("trajectories.csv"));
    fs::remove(box.file("trajectories.csv.keep"));

    // A foreign ip.dat, a member of another run, a set without its stamp.
    const std::string ip = fileText(box.file("ip.dat"));
    writeText(box.file("ip.dat"), reference('B').inputs);
    refusedAlike(kavelRun({box.work}), 2,
                 "The results in " + work + " belong to argon 8.0 mm 500 A 35 SLPM, not to the variant in ip.dat");
    writeText(box.file("ip.dat"), ip);
    const std::string field = fileText(box.file("ftu.res"));
    writeText(box.file("ftu.res"), reference('B').outputs.at("ftu.res"));
    refusedAlike(kavelRun({box.work}), 2, "The results in " + work + " are mixed: ftu.res is not the file");
    refusedAlike(Launch{{"export", box.work}}, 2, "are mixed");
    writeText(box.file("ftu.res"), field);
    const std::string stamp = fileText(box.file("results.stamp"));
    fs::remove(box.file("results.stamp"));
    refusedAlike(kavelRun({box.work}), 2, "The results in " + work + " are incomplete (the run was interrupted)");
    // The stamp edited by hand (sed -i), or edited with its checksum line made
    // to fit: each refused, also with iop.par edited after its line went.
    const auto replaced = [](const std::string& text, const std::string& from, const std::string& to) {
        const std::size_t at = text.find(from);
        return text.substr(0, at) + to + text.substr(at + from.size());
    };
    const auto sealed = [](const std::string& text) { return stampText(splitLines(text.substr(0, text.rfind("check ")))); };
    const std::size_t line = stamp.find("file iop.par");
    const std::string iop = fileText(box.file("iop.par")), noIopLine = replaced(stamp, stamp.substr(line, stamp.find('\n', line) + 1 - line), "");
    const std::string changed = "results.stamp was changed after it was written (its lines do not match its own checksum)";
    for (const auto& [text, says] : std::vector<std::pair<std::string, std::string>>{
             {replaced(stamp, "units 1 1 1", "units 2 1 1"), changed},
             {replaced(stamp, "variant  1 ", "variant  2 "), changed},
             {noIopLine, changed},
             {stamp.substr(0, stamp.rfind("check ")), "carries no checksum of its own lines (an earlier version"},
             {sealed(replaced(stamp, "units 1 1 1", "units 2 1 1")), "gives a length unit in which iop.par's anode diameter"},
             {sealed(replaced(stamp, "variant  1 ", "variant  2 ")), "names another variant than iop.par"},
             {sealed(noIopLine), "does not list iop.par"}}) {
        writeText(box.file("results.stamp"), text);
        if (text.find("file iop.par") == std::string::npos) writeText(box.file("iop.par"), replaced(iop, " 35 ", " 45 "));
        refusedAlike(kavelRun({box.work}), 2, says);
        refusedAlike(Launch{{"export", box.work}}, 2, says);
        writeText(box.file("iop.par"), iop);
    }
    writeText(box.file("results.stamp"), stamp);
    EXPECT_EQ(runTorvexRun(kavelRun({"--count", "20", box.work})).status, 0);
    EXPECT_EQ(box.untouchedOutside(), "");
}

// The folder's last spray read back (as Kavel shows it at start): an edited
// member, a member or a whole set of another jet's spray, and a stamp edited
// and sealed again are refused with the folder and the fault; nothing is
// changed by reading.
TEST(HostileFiles, ASprayReadBackRefusesEditedMembersAndTheSetsOfAnotherJet) {
    Sandbox box, other;
    for (const Sandbox* b : {&box, &other}) {
        ASSERT_EQ(runTorvexRun({variantArguments(b == &box ? 'A' : 'B', b->work)}).status, 0);
        ASSERT_EQ(runTorvexRun(kavelRun({"--count", "20", b->work})).status, 0);
    }
    const std::string work = fs::canonical(box.work).string();
    ASSERT_TRUE(particles::readSpraySet(box.work).ok);
    const FileSet sprayed = allFiles(box.work);
    const auto edited = [](std::string text) { return text.replace(text.rfind(",20") + 1, 2, "21"); };
    const std::string stamp = sprayed.at("spray.stamp");
    const std::string option = "option carrier_flow_slpm 3\n";
    const auto sealedWith = [&stamp](const std::string& was, const std::string& is) {
        return stampText(splitLines(stamp.substr(0, stamp.rfind("check ")).replace(stamp.find(was), was.size(), is)));
    };
    const std::string sealed = sealedWith(option, "option carrier_flow_slpm 9\n");
    for (const auto& [name, text, says] : std::vector<std::tuple<std::string, std::string, std::string>>{
             {"sensor.csv", edited(sprayed.at("sensor.csv")), "is mixed: sensor.csv is not the file"},
             {"particles.csv", fileText(other.file("particles.csv")), "is mixed: particles.csv"},
             {"spray.stamp", fileText(other.file("spray.stamp")), "is mixed"},
             {"spray.stamp", sealed, "disagrees with the header of particles.csv (\"injection: "},
             {"spray.stamp", sealedWith("\nsampling 0 20 ", "\nsampling 0 21 "), "(\"sample: 21 particles"},
             {"spray.stamp", stamp.substr(0, stamp.size() / 2), "carries no checksum of its own lines"}}) {
        writeText(box.file(name), text);
        const FileSet before = allFiles(box.work);
        const particles::SpraySet read = particles::readSpraySet(box.work);
        EXPECT_FALSE(read.ok) << name << ": " << says;
        EXPECT_TRUE(contains(read.message, work) && contains(read.message, says)) << read.message;
        EXPECT_EQ(allFiles(box.work), before);
        writeText(box.file(name), sprayed.at(name));
    }
    // The whole spray of the other folder's jet beside this folder's jet.
    for (const char* name : {"particles.csv", "trajectories.csv", "sensor.csv", "size-classes.csv", "spray.stamp"})
        writeText(box.file(name), fileText(other.file(name)));
    EXPECT_TRUE(contains(particles::readSpraySet(box.work).message,
                         "was made in another jet (nitrogen 8.0 mm 300 A 40 SLPM) than the one the folder holds now"))
        << particles::readSpraySet(box.work).message;
    EXPECT_EQ(box.untouchedOutside(), "");
}

}  // namespace
}  // namespace torvex::faults
