// torvex-run refuses option values that cannot stand in ip.dat before it
// writes anything, so the variant already in the folder stays as it was.
#include "solver/result_set.h"
#include "solver/variant_run.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <cerrno>

#include <chrono>
#include <filesystem>
#include <cstdlib>
#include <string>
#include <sys/wait.h>

namespace torvex {
namespace {

int runCommand(const std::string& arguments) {
    const std::string command = std::string(TORVEX_RUN_EXECUTABLE) + " --no-progress " + arguments + " >/dev/null 2>&1";
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(RunCommand, NumbersThatAreNotFiniteOrNoGasCodeLeaveTheVariantUntouched) {
    test::TempDir dir;
    const std::string variant = " 1  8.00 14.00  500  35\n";
    dir.write("un.dat", "1 1 1 1 \n");
    for (const char* bad : {"--gas nan --diameter 8", "--gas 1e30 --diameter 8", "--gas 1 --diameter nan",
                            "--gas 1 --diameter inf", "--gas -1e30 --diameter 8"}) {
        dir.write("ip.dat", variant);
        EXPECT_EQ(runCommand(std::string(bad) + " --length 14 --current 500 --flow 35 " + dir.path()), 2) << bad;
        EXPECT_EQ(dir.read("ip.dat"), variant) << bad;
        EXPECT_FALSE(dir.exists("iop.par")) << bad;
    }
}

} // namespace
} // namespace torvex

namespace torvex {
namespace {

struct CommandResult {
    int status = -1;
    std::string output;  // standard output and error together
};

CommandResult runWithOutput(const std::string& arguments, const test::TempDir& dir) {
    const std::string log = dir.file("command.log");
    const std::string command = std::string(TORVEX_RUN_EXECUTABLE) + " " + arguments + " >" + log + " 2>&1";
    const int status = std::system(command.c_str());
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, dir.read("command.log")};
}

TEST(RunCommand, SubcommandsHaveHelpAndRefuseMalformedOptionsAsBadInput) {
    test::TempDir dir;
    for (const char* help : {"--help", "study --help", "study-merge --help", "study-chart --help", "export --help"}) {
        const CommandResult r = runWithOutput(help, dir);
        EXPECT_EQ(r.status, 0) << help;
        EXPECT_NE(r.output.find("Usage: torvex-run"), std::string::npos) << help;
    }
    EXPECT_EQ(runWithOutput("--no-such-option", dir).status, 2);
    EXPECT_EQ(runWithOutput("study", dir).status, 2);  // the study file is required
    EXPECT_EQ(runWithOutput("study x.toml --jobs 0", dir).status, 2);
    const CommandResult shard = runWithOutput("study x.toml --shard 2/2", dir);
    EXPECT_EQ(shard.status, 2);
    EXPECT_NE(shard.output.find("--shard needs i/n"), std::string::npos);
    const CommandResult mixed = runWithOutput("--gas 1 study x.toml", dir);
    EXPECT_EQ(mixed.status, 2);
    EXPECT_NE(mixed.output.find("--gas belongs to a single run"), std::string::npos);
}

TEST(RunCommand, StudyFaultsNameTheFileAndChangeNothing) {
    test::TempDir dir;
    dir.write("bad.toml", "[[sweep]]\ngas = 1\ndiameter = 8\nlength = 14\ncurrent = 500\n");
    const CommandResult r = runWithOutput("study " + dir.file("bad.toml") + " --out " + dir.file("out"), dir);
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.output.find(dir.file("bad.toml") + ": a sweep has no \"flow\" (line 1)"), std::string::npos) << r.output;
    EXPECT_FALSE(dir.exists("out"));
    const CommandResult missing = runWithOutput("study " + dir.file("none.toml"), dir);
    EXPECT_EQ(missing.status, 2);
    EXPECT_NE(missing.output.find(dir.file("none.toml") + " is missing"), std::string::npos);
    // A study folder that cannot be made: an output fault, not bad input.
    dir.write("good.toml", "[[sweep]]\ngas = 1\ndiameter = 8\nlength = 14\ncurrent = 500\nflow = 35\n");
    dir.write("taken", "a file where the study folder should go\n");
    const CommandResult taken =
        runWithOutput("study " + dir.file("good.toml") + " --no-progress --out " + dir.file("taken"), dir);
    EXPECT_EQ(taken.status, 5);
    EXPECT_NE(taken.output.find(dir.file("taken") + "/variants/"), std::string::npos) << taken.output;
    // Every value for every gas and diameter: refused at once with its size.
    dir.write("all.toml", "[[sweep]]\ngas = \"all\"\ndiameter = \"all\"\nlength = { from = 1, to = 99, step = 1 }\n"
                          "current = \"all\"\nflow = \"all\"\n");
    const auto start = std::chrono::steady_clock::now();
    const CommandResult huge = runWithOutput("study " + dir.file("all.toml") + " --out " + dir.file("all"), dir);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
    EXPECT_EQ(huge.status, 2);
    EXPECT_NE(huge.output.find("asks for 12 665 070 combinations of values, about 5.3 TB"), std::string::npos)
        << huge.output;
    EXPECT_FALSE(dir.exists("all"));
    const CommandResult merge = runWithOutput("study-merge " + dir.path(), dir);
    EXPECT_EQ(merge.status, 2);
    EXPECT_NE(merge.output.find("holds no shard tables"), std::string::npos);
    const CommandResult exported = runWithOutput("export " + dir.path(), dir);
    EXPECT_EQ(exported.status, 2);
    EXPECT_NE(exported.output.find("There are no results in " + dir.path()), std::string::npos);
}

TEST(RunCommand, AStudyOfOneVariantWritesItsTableAndResumes) {
    test::TempDir dir;
    dir.write("one.toml", "[[sweep]]\ngas = 1\ndiameter = 8\nlength = 14\ncurrent = 500\nflow = 35\n");
    const std::string command = "study " + dir.file("one.toml") + " --no-progress --jobs 1 --out " + dir.file("out");
    const CommandResult first = runWithOutput(command, dir);
    ASSERT_EQ(first.status, 0) << first.output;
    EXPECT_NE(first.output.find("1 variants: 1 completed, 0 not calculable, 0 bad input (0 from an earlier run)."),
              std::string::npos);
    EXPECT_NE(dir.read("out/study.csv").find(",completed,"), std::string::npos);
    EXPECT_TRUE(dir.exists("out/variants/g01-d8.0mm-l14mm-i500A-f35slpm/ftu.res"));
    const CommandResult second = runWithOutput(command, dir);
    EXPECT_NE(second.output.find("(1 from an earlier run)"), std::string::npos) << second.output;
}

} // namespace
} // namespace torvex

namespace torvex {
namespace {

// Stopped once its first variant is done, a study ends with status 130 and
// no table; run again, it takes up the finished variants and completes.
TEST(RunCommand, AStoppedStudyLeavesNoTableAndResumes) {
    test::TempDir dir;
    dir.write("four.toml", "[[sweep]]\ngas = 1\ndiameter = 8\nlength = 14\ncurrent = [500, 600, 700, 800]\nflow = 35\n");
    const std::string run = std::string(TORVEX_RUN_EXECUTABLE) + " study " + dir.file("four.toml") +
                            " --no-progress --jobs 1 --out " + dir.file("out");
    const std::string script = run + " >" + dir.file("first.log") + " 2>&1 & pid=$!\n"
                               "for i in $(seq 600); do ls " + dir.file("out") + "/variants/*/variant-row.csv >/dev/null 2>&1 && break; sleep 0.05; done\n"
                               "kill -TERM $pid; wait $pid; echo $? >" + dir.file("status") + "\n";
    dir.write("stop.sh", script);
    ASSERT_EQ(std::system(("sh " + dir.file("stop.sh")).c_str()), 0);
    const std::string status = dir.read("status");
    if (status == "0\n") GTEST_SKIP() << "the study finished before it could be stopped";
    EXPECT_EQ(status, "130\n") << dir.read("first.log");
    EXPECT_NE(dir.read("first.log").find("The same command goes on from there."), std::string::npos);
    EXPECT_FALSE(dir.exists("out/study.csv"));
    const CommandResult again = runWithOutput("study " + dir.file("four.toml") + " --no-progress --jobs 1 --out " +
                                                  dir.file("out"),
                                              dir);
    ASSERT_EQ(again.status, 0) << again.output;
    EXPECT_EQ(again.output.find("(0 from an earlier run)"), std::string::npos) << again.output;
    EXPECT_TRUE(dir.exists("out/study.csv"));
}

} // namespace
} // namespace torvex

namespace torvex {
namespace {

// The one run procedure's report: what every front end presents.
TEST(VariantRun, TheReportSaysWhatWasUsedAndWrittenAndARefusalChangesNothing) {
    test::TempDir dir;
    const std::string variant = " 2  8.00 14.00  300  35\n";
    dir.write("ip.dat", variant);
    std::filesystem::create_directory(dir.file("ftu.res"));
    VariantRunRequest request;
    request.folder = dir.path();
    request.variant = VariantInputs{1, 11.0, 14.0, 800.0, 50.0};
    const VariantRunReport refused = runVariant(request);
    EXPECT_EQ(refused.exitStatus, 5);
    EXPECT_TRUE(refused.nothingChanged && refused.written.empty());
    EXPECT_EQ(refused.systemError, EISDIR);
    EXPECT_EQ(refused.faultPath, dir.file("ftu.res"));
    EXPECT_NE(refused.message.find("Nothing was changed."), std::string::npos);
    EXPECT_EQ(dir.read("ip.dat"), variant);
    EXPECT_FALSE(dir.exists("un.dat"));
    std::filesystem::remove(dir.file("ftu.res"));

    request.strict = true;
    const VariantRunReport strict = runVariant(request);
    EXPECT_EQ(strict.exitStatus, 2);
    EXPECT_TRUE(strict.nothingChanged);
    ASSERT_EQ(strict.notes.size(), 1u);
    EXPECT_NE(strict.notes[0].find("20 mm was used"), std::string::npos);
    EXPECT_EQ(dir.read("ip.dat"), variant);

    request.strict = false;
    const VariantRunReport ran = runVariant(request);
    EXPECT_EQ(ran.result, RunResult::Completed) << ran.message;
    EXPECT_EQ(ran.used.lengthMm, 20);
    EXPECT_EQ(ran.notes, strict.notes);
    std::vector<std::string> written = {"un.dat", "ip.dat"};
    for (const std::string& name : runOutputFiles()) written.push_back(name);
    EXPECT_EQ(ran.written, written);
    EXPECT_TRUE(readResultSet(dir.path()).ok);

    request.folder = dir.path() + std::string(4200, 'x');
    EXPECT_NE(runVariant(request).message.find("path too long"), std::string::npos);
}

} // namespace
} // namespace torvex
