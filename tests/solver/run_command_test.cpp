// torvex-run refuses option values that cannot stand in ip.dat before it
// writes anything, so the variant already in the folder stays as it was.
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

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
