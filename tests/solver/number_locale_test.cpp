// The solver's files carry a point as decimal separator even when the
// program runs under a locale whose decimal separator is a comma, as the
// desktop program does (the toolkit adopts the user's locale at start).
#include "solver/files.h"
#include "solver/result_files.h"
#include "solver/solver.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <random>
#include <string>

namespace torvex {
namespace {

// Switches LC_NUMERIC to a comma locale for the scope, building one with
// localedef in a private folder when the system has none installed.
class CommaLocale {
public:
    explicit CommaLocale(const test::TempDir& dir) {
        const char* before = std::setlocale(LC_NUMERIC, nullptr);
        saved_ = before ? before : "C";
        for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8", "ru_RU.UTF-8"})
            if (select(name)) return;
        const std::string build = "localedef -i de_DE -f UTF-8 " + dir.file("de_DE.UTF-8") + " >/dev/null 2>&1";
        if (std::system(build.c_str()) != 0) return;
        ::setenv("LOCPATH", dir.path().c_str(), 1);
        select("de_DE.UTF-8");
        ::unsetenv("LOCPATH");
    }
    ~CommaLocale() { std::setlocale(LC_NUMERIC, saved_.c_str()); }
    bool active() const { return active_; }

private:
    bool select(const char* name) {
        if (!std::setlocale(LC_NUMERIC, name)) return false;
        char probe[8];
        std::snprintf(probe, sizeof probe, "%.1f", 0.5);
        active_ = std::string(probe) == "0,5";
        if (!active_) std::setlocale(LC_NUMERIC, saved_.c_str());
        return active_;
    }
    std::string saved_;
    bool active_ = false;
};

TEST(NumberLocale, FilesKeepTheirPointUnderACommaLocale) {
    test::TempDir dir;
    CommaLocale comma(dir);
    if (!comma.active()) GTEST_SKIP() << "no locale with a decimal comma can be made here";

    dir.write("un.dat", "1 1 1 1 \n");
    ASSERT_TRUE(writeInputParameters(dir.file("ip.dat"), VariantInputs{1, 8.0, 14.0, 500, 35}));
    EXPECT_EQ(dir.read("ip.dat"), " 1  8.00 14.00  500  35\n");

    SolverState s;
    float diameter = 0, length = 0;
    int current = 0, flow = 0;
    ASSERT_TRUE(readSolverInputs(dir.file("ip.dat"), s, diameter, length, current, flow).ok);
    EXPECT_EQ(diameter, 8.0f);
    dir.write("ip.dat", " 1  0.30  0.55  500  35\n");
    ASSERT_TRUE(readSolverInputs(dir.file("ip.dat"), s, diameter, length, current, flow).ok);
    EXPECT_EQ(diameter, 0.30f);
    EXPECT_EQ(length, 0.55f);

    const ReadStatus gas = readGasFile(test::sourceDataFile("ar.dat"), s);
    EXPECT_TRUE(gas.ok) << gas.message;

    const IntegralParameters p{1, 8.0, 14.0, 500, 35, 2.6, 27.1, 13.5, 53};
    ASSERT_TRUE(writeIntegralParameters(dir.file("iop.par"), p));
    EXPECT_EQ(dir.read("iop.par"), " 1  8.00 14.00  500  35  2.6\n 27.1  13.5 53\n");
    IntegralParameters back;
    ASSERT_TRUE(readIntegralParameters(dir.file("iop.par"), back));
    EXPECT_EQ(back.arcVoltage, 27.1);
    EXPECT_EQ(fixedField(-3.25, 6, 3), "-3.250");
}

// The locale-free conversion writes the same digits as the C library's
// "%*.*f" in the C locale, ties and overflow included.
TEST(NumberLocale, FixedFieldsMatchPrintfDigitForDigit) {
    std::mt19937 random(20240611u);
    std::uniform_real_distribution<float> magnitude(-7.0f, 7.0f);
    const int layouts[][2] = {{5, 1}, {6, 1}, {6, 2}, {6, 3}, {8, 1}, {8, 2}, {5, 2}, {4, 1}, {2, 0}};
    const double ties[] = {0.125, 0.375, 2.5, 3.5, 0.05, 1.25, -0.125, 999.95, 99.995, -0.0, 0.0};
    for (int n = 0; n < 20000; ++n) {
        const float v = (n % 2 ? -1.0f : 1.0f) * std::pow(10.0f, magnitude(random));
        for (const auto& [width, decimals] : layouts) {
            char expected[400];
            const int length = std::snprintf(expected, sizeof expected, "%*.*f", width, decimals, static_cast<double>(v));
            const std::string want = length > width ? std::string(width, '*') : std::string(expected);
            ASSERT_EQ(fixedField(v, width, decimals), want) << v << " " << width << "." << decimals;
        }
    }
    for (double v : ties) {
        for (const auto& [width, decimals] : layouts) {
            char expected[64];
            std::snprintf(expected, sizeof expected, "%*.*f", width, decimals, v);
            if (static_cast<int>(std::string(expected).size()) <= width) {
                EXPECT_EQ(fixedField(v, width, decimals), expected) << v;
            }
        }
    }
}

} // namespace
} // namespace torvex
