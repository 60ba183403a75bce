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

// Every image either program writes, with a link at its name: to a file
// outside (left as it was) or dangling (no target created); each is
// replaced by the image.
TEST(ChartImages, ALinkAtEveryImageNameIsReplacedNotWrittenThrough) {
    Sandbox box;
    writeText(box.file("study.csv"),
              "index,gas_code,gas,diameter_used [mm],length_used [mm],current_used [A],flow_used [SLPM],status,"
              "efficiency [%],arc_voltage [V],T_exit [K]\n0,1,Ar,8.0,14,500,35,completed,52,27.5,12900\n"
              "1,1,Ar,8.0,14,600,35,completed,50,27.0,13000\n");
    const std::vector<std::pair<Launch, std::vector<std::string>>> runs = {
        {Launch{{"--charts", "--no-progress", "--gas", "1", "--diameter", "8", "--length", "14", "--current",
                 "500", "--flow", "35", box.work}},
         {"charts-all.png", "charts-isotherms.png", "charts-radial.png", "charts-axial.png"}},
        {kavelRun({"--charts", "--count", "20", box.work}),
         {"kavel-all.png", "kavel-trajectories.png", "kavel-flight.png", "kavel-substrate.png", "kavel-sensor.png"}},
        {kavelRun({"tune", "--steps", "2", "--count", "20", box.work}), {"tune.png"}},
        {Launch{{"study-chart", box.work}}, {"study-chart.png", "study-chart.pdf", "study-chart.svg"}}};
    int k = 0;
    for (const auto& [launch, images] : runs) {
        for (const std::string& image : images)
            std::filesystem::create_symlink(k++ % 2 ? box.outside : box.root + "/created-" + image, box.file(image));
        const Finished done = runTorvexRun(launch);
        ASSERT_EQ(done.status, 0) << images.front() << ": " << done.err;
        for (const std::string& image : images)
            EXPECT_TRUE(std::filesystem::is_regular_file(std::filesystem::symlink_status(box.file(image)))) << image;
        EXPECT_EQ(box.untouchedOutside(), "") << images.front();
    }
}

}  // namespace
}  // namespace torvex::faults
