// The chart images of torvex-run --charts: under a locale whose decimal
// separator is a comma they are the images of the C locale (every number
// carries a decimal point), and like every output they replace a link at
// their name instead of writing through it.
#include <gtest/gtest.h>

#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "tests/faults/run_process.h"

namespace torvex::faults {
namespace {

// A locale with a decimal comma, from the system or built with localedef
// into `folder`; the environment settings that select it, or none.
std::vector<std::string> commaLocale(const std::string& folder) {
    const std::string saved = std::setlocale(LC_NUMERIC, nullptr);
    auto works = [&](const char* name) {
        if (!std::setlocale(LC_NUMERIC, name)) return false;
        char probe[8];
        std::snprintf(probe, sizeof probe, "%.1f", 0.5);
        std::setlocale(LC_NUMERIC, saved.c_str());
        return std::string(probe) == "0,5";
    };
    for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8"})
        if (works(name)) return {std::string("LC_ALL=") + name};
    const std::string build = "localedef -i de_DE -f UTF-8 " + folder + "/de_DE.UTF-8 >/dev/null 2>&1";
    if (std::system(build.c_str()) != 0) return {};
    ::setenv("LOCPATH", folder.c_str(), 1);
    const bool built = works("de_DE.UTF-8");
    ::unsetenv("LOCPATH");
    if (!built) return {};
    return {"LOCPATH=" + folder, "LC_ALL=de_DE.UTF-8"};
}

TEST(ChartLocale, ChartsUnderACommaLocaleAreTheImagesOfTheCLocale) {
    Sandbox box;
    const std::string comma = box.root + "/comma", locales = box.root + "/locales";
    std::filesystem::create_directory(comma);
    std::filesystem::create_directory(locales);
    const std::vector<std::string> environment = commaLocale(locales);
    if (environment.empty()) GTEST_SKIP() << "no locale with a decimal comma can be made here";

    auto arguments = [](const std::string& dir) {
        std::vector<std::string> a = variantArguments('A', dir);
        a.insert(a.begin(), {"--charts", "--no-progress"});
        return a;
    };
    const Finished plain = runTorvexRun({arguments(box.work), {"LC_ALL=C"}});
    ASSERT_EQ(plain.status, 0) << plain.err;
    const Finished localised = runTorvexRun({arguments(comma), environment});
    ASSERT_EQ(localised.status, 0) << localised.err;
    for (const char* page :
         {"charts-all.png", "charts-isotherms.png", "charts-radial.png", "charts-axial.png"}) {
        const std::string image = fileText(box.work + "/" + page);
        ASSERT_FALSE(image.empty()) << page;
        EXPECT_TRUE(image == fileText(comma + "/" + page)) << page << " differs under the comma locale";
    }
}

TEST(ChartImages, ALinkAtAnImageNameIsReplacedNotWrittenThrough) {
    Sandbox box;
    std::filesystem::create_symlink(box.outside, box.file("charts-all.png"));
    std::filesystem::create_symlink(box.root + "/created-outside", box.file("charts-axial.png"));
    std::vector<std::string> arguments = variantArguments('A', box.work);
    arguments.insert(arguments.begin(), "--charts");
    const Finished done = runTorvexRun({arguments});
    ASSERT_EQ(done.status, 0) << done.err;
    EXPECT_EQ(box.untouchedOutside(), "");
    for (const char* page : {"charts-all.png", "charts-axial.png"})
        EXPECT_TRUE(std::filesystem::is_regular_file(std::filesystem::symlink_status(box.file(page))))
            << page;
}

}  // namespace
}  // namespace torvex::faults
