// Reading the result files back as the charts do: the solver's own layouts,
// record limits, and files that are missing, cut short or damaged.
#include <gtest/gtest.h>

#include "solver/result_files.h"
#include "tests/support/temp_dir.h"

namespace torvex {
namespace {

using test::TempDir;

TEST(ResultReaders, ReadWhatTheWritersWrite) {
    TempDir dir;
    {
        ResultFiles files;
        std::string failed;
        ASSERT_TRUE(files.create(dir.path(), failed));
        files.writeAxialRecord(0.0f, {0, 4.125f, 3.5f, 2.25f, 1.0f, 0.0f}, 13.21f, 1234.56f);
        files.writeAxialRecord(0.5f, {0, 4.25f, 3.5f, 2.25f, 0.5f, 0.0f}, 13.0f, 1200.0f);
        files.writeRadialLine(2, 0.1f, 12.5f, 980.25f);
        ASSERT_TRUE(files.commit(failed)) << failed;
    }
    const auto iso = readIsothermRecords(dir.file(kIsothermFile), 220);
    ASSERT_EQ(iso.size(), 2u);
    EXPECT_DOUBLE_EQ(iso[1].distanceMm, 0.5);
    EXPECT_DOUBLE_EQ(iso[0].radiusMm[0], 4.125);
    EXPECT_DOUBLE_EQ(iso[1].radiusMm[3], 0.5);

    const auto axis = readAxisRecords(dir.file(kAxisFile), 220);
    ASSERT_EQ(axis.size(), 2u);
    EXPECT_DOUBLE_EQ(axis[0].temperatureKiloKelvin, 13.21);
    EXPECT_DOUBLE_EQ(axis[0].velocity, 1234.56);

    const auto radial = readRadialRecords(dir.file(radialFileNames()[2]), 200);
    ASSERT_EQ(radial.size(), 1u);
    EXPECT_DOUBLE_EQ(radial[0].radiusMm, 0.1);
    EXPECT_DOUBLE_EQ(radial[0].velocity, 980.25);
    EXPECT_TRUE(readRadialRecords(dir.file(radialFileNames()[0]), 200).empty());
}

TEST(ResultReaders, StopAtTheRecordLimit) {
    TempDir dir;
    std::string text;
    for (int k = 0; k < 250; ++k) text += std::to_string(k) + " 1 2\n";
    dir.write("ztu0.res", text);
    const auto axis = readAxisRecords(dir.file("ztu0.res"), 220);
    ASSERT_EQ(axis.size(), 220u);
    EXPECT_DOUBLE_EQ(axis.back().distanceMm, 219);
}

TEST(ResultReaders, MissingTruncatedOrDamagedFilesGiveTheSoundRecordsOnly) {
    TempDir dir;
    EXPECT_TRUE(readAxisRecords(dir.file("ztu0.res"), 220).empty());

    // Cut in the middle of the third record.
    dir.write("ztu0.res", "   0.0  13.20  1500.00\n   0.5  13.10  1490.00\n   1.0  13.0");
    EXPECT_EQ(readAxisRecords(dir.file("ztu0.res"), 220).size(), 2u);

    // A field of asterisks (a value too wide) ends the sound part.
    dir.write("rtu0.res", "  0.0  12.30  900.00\n  0.1 ****** 890.00\n  0.2  12.00  880.00\n");
    EXPECT_EQ(readRadialRecords(dir.file("rtu0.res"), 200).size(), 1u);

    // Extra fields, stray text, numbers glued to text and non-finite values.
    for (const char* bad : {"1 2 3 4\n", "abc\n", "1 2 3x\n", "1 nan 3\n", "1 inf 3\n"}) {
        dir.write("rtu5.res", std::string("0 1 2\n") + bad + "5 6 7\n");
        EXPECT_EQ(readRadialRecords(dir.file("rtu5.res"), 200).size(), 1u) << bad;
    }

    // Blank lines and a last line without its line break are fine.
    dir.write("ilt.res", "\n  0.0  1 2 3 4 5\n\n  0.5 1 2 3 4 0");
    EXPECT_EQ(readIsothermRecords(dir.file("ilt.res"), 220).size(), 2u);
}

}  // namespace
}  // namespace torvex
