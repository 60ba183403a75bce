// The study table: units in the header, values read back from a variant's
// files, not-calculable variants kept with their reason, shard tables that
// merge into exactly the table of a whole run, and the progress line.
#include "study/study_series.h"
#include "study/study_table.h"
#include "solver/result_files.h"
#include "solver/result_set.h"
#include <memory>

#include <gtest/gtest.h>

#include "study/progress_line.h"
#include "study/text_files.h"
#include "tests/support/temp_dir.h"

namespace torvex {
namespace {

StudyVariant sampleVariant() {
    StudyVariant v;
    v.entered = VariantInputs{1, 8.0, 14.0, 500, 35};
    v.used = UsedInputs{1, 80, 14, 500, 35};
    v.name = "g01";
    return v;
}

std::string column(const std::string& header, const std::string& row, const std::string& name) {
    const auto h = splitCsvLine(header), r = splitCsvLine("0," + row);
    for (std::size_t k = 0; k < h.size(); ++k)
        if (h[k] == name) return k < r.size() ? r[k] : "<short row>";
    return "<no column>";
}

TEST(StudyTable, HeaderNamesTheStudysUnits) {
    const std::string metric = studyTableHeader(UnitCodes{1, 1, 1});
    EXPECT_EQ(metric.rfind("index,gas_code,gas,diameter [mm],length [mm],current [A],flow [SLPM],", 0), 0u);
    EXPECT_NE(metric.find("T_exit [K],u_exit [m/s],T_20mm [K]"), std::string::npos);
    EXPECT_NE(metric.find("L_2kK [mm],L_4kK [mm],L_6kK [mm],L_8kK [mm],L_10kK [mm],reason,directory"),
              std::string::npos);
    const std::string inch = studyTableHeader(UnitCodes{2, 2, 2});
    EXPECT_NE(inch.find("diameter [in],length [in]"), std::string::npos);
    EXPECT_NE(inch.find("flow_used [SCFH]"), std::string::npos);
    EXPECT_NE(inch.find("T_50mm [F]"), std::string::npos);
}

// The files written so far made a finished set, as a run's stamp vouches
// (the row reads only a finished set).
void stampAsFinished(const test::TempDir& dir) { dir.stampResultSet(); }

TEST(StudyTable, RowInterpolatesAxisValuesAndCoreLengths) {
    test::TempDir dir;
    dir.write("iop.par", " 1  8.00 14.00  500  35 12.4\n 27.1  13.5 53\n");
    // Axis records every 10 mm here: 12, 9, 5, 3, 1 kK.
    dir.write("ztu0.res",
              "   0.0  12.00  600.00\n  10.0   9.00  400.00\n  20.0   5.00  300.00\n"
              "  50.0   3.00  100.00\n 100.0   1.00   50.00\n");
    stampAsFinished(dir);
    const UnitCodes units{1, 1, 1};
    const std::string header = studyTableHeader(units);
    const std::string row = variantRow(sampleVariant(), units, VariantOutcome{RunResult::Completed, "", true},
                                       dir.path(), "variants/g01");
    EXPECT_EQ(column(header, row, "status"), "completed");
    EXPECT_EQ(column(header, row, "arc_voltage [V]"), "27.1");
    EXPECT_EQ(column(header, row, "efficiency [%]"), "53");
    EXPECT_EQ(column(header, row, "T_exit [K]"), "12000");
    EXPECT_EQ(column(header, row, "T_20mm [K]"), "5000");
    EXPECT_EQ(column(header, row, "u_50mm [m/s]"), "100.00");
    EXPECT_EQ(column(header, row, "L_10kK [mm]"), "6.7");  // 12 -> 9 kK over 10 mm
    EXPECT_EQ(column(header, row, "L_2kK [mm]"), "75.0");  // halfway from 3 to 1 kK
    EXPECT_EQ(column(header, row, "directory"), "variants/g01");
    // In degrees Celsius the temperatures shift by 273.
    const std::string celsius = variantRow(sampleVariant(), UnitCodes{1, 3, 1},
                                           VariantOutcome{RunResult::Completed, "", true}, dir.path(), "v");
    EXPECT_EQ(column(studyTableHeader(UnitCodes{1, 3, 1}), celsius, "T_exit [C]"), "11727");
}

TEST(StudyTable, NotCalculableVariantsAreRowsWithTheirReason) {
    test::TempDir dir;
    dir.write("iop.par", " 1  8.00 14.00  500  35 12.4\n 27.1  13.5 **\n");
    dir.write("ztu0.res", "   0.0  12.00  600.00\n");  // partial: not used for a failed run
    stampAsFinished(dir);
    const UnitCodes units{1, 1, 1};
    const std::string header = studyTableHeader(units);
    const std::string jet = variantRow(
        sampleVariant(), units,
        VariantOutcome{RunResult::NotCalculable, "A station in the jet, at 12 mm, did not converge.", true},
        dir.path(), "v");
    EXPECT_EQ(column(header, jet, "status"), "not calculable");
    EXPECT_EQ(column(header, jet, "arc_voltage [V]"), "27.1");
    EXPECT_EQ(column(header, jet, "efficiency [%]"), "");  // asterisks: not representable
    EXPECT_EQ(column(header, jet, "T_exit [K]"), "");
    EXPECT_EQ(column(header, jet, "reason"), "A station in the jet, at 12 mm, did not converge.");
    EXPECT_NE(jet.find("\"A station in the jet, at 12 mm, did not converge.\""), std::string::npos);
    // Failed in the channel: the iop.par in the folder is not this run's.
    const std::string channel =
        variantRow(sampleVariant(), units, VariantOutcome{RunResult::NotCalculable, "no convergence", false},
                   dir.path(), "v");
    EXPECT_EQ(column(header, channel, "arc_voltage [V]"), "");
    EXPECT_EQ(splitCsvLine("0," + channel).size(), splitCsvLine(header).size());
}

class ShardMerge : public ::testing::Test {
protected:
    void writeShard(int shard, int count, const std::string& header, const std::vector<int>& indices) {
        std::vector<TableRow> rows;
        for (int i : indices) rows.push_back({i, "row " + std::to_string(i)});
        dir.write(studyTableName(shard, count), studyTableText(header, rows, shard, count));
    }
    std::string merge() {
        std::string message;
        return mergeShardTables(dir.path(), message) ? "" : message;
    }
    test::TempDir dir;
};

TEST_F(ShardMerge, ShardsJoinInVariantOrder) {
    writeShard(0, 2, "index,x", {0, 2, 4});
    writeShard(1, 2, "index,x", {1, 3});
    // Files that only look like shard tables are not read.
    dir.write("study-1-of-2.csv.bak", "junk\n");
    dir.write("study-1-of-2x.csv", "junk\n");
    dir.write("study--of-2.csv", "junk\n");
    EXPECT_EQ(merge(), "");
    EXPECT_EQ(dir.read("study.csv"), "index,x\n0,row 0\n1,row 1\n2,row 2\n3,row 3\n4,row 4\n");
}

TEST_F(ShardMerge, MissingForeignOrMismatchedShardsAreRefusedAndNothingIsWritten) {
    writeShard(0, 3, "index,x", {0, 3});
    writeShard(2, 3, "index,x", {2});
    EXPECT_NE(merge().find("study-1-of-3.csv is missing"), std::string::npos);
    writeShard(1, 3, "index,y", {1});
    EXPECT_NE(merge().find("another header"), std::string::npos);
    writeShard(1, 3, "index,x", {1, 2});
    EXPECT_NE(merge().find("does not belong to it (line 3)"), std::string::npos);
    writeShard(1, 3, "index,x", {4});
    EXPECT_NE(merge().find("variant 1 is missing"), std::string::npos);
    // A table that lost its closing line or a row, or says another shard.
    const std::string cut = dir.file("study-1-of-3.csv");
    writeShard(1, 3, "index,x", {1, 4});
    const std::string whole = dir.read("study-1-of-3.csv");
    const std::size_t closing = whole.rfind("# shard");
    for (const auto& [text, says] : std::vector<std::pair<std::string, std::string>>{
             {whole.substr(0, closing), cut + " does not end with its line \"# shard 1 of 3"},
             {"index,x\n1,row 1\n" + whole.substr(closing), cut + " holds 1 rows, but its last line says"},
             {"index,x\n# shard 2 of 3: 0 rows\n", cut + " holds 0 rows"}}) {
        dir.write("study-1-of-3.csv", text);
        EXPECT_NE(merge().find(says), std::string::npos) << merge();
    }
    writeShard(1, 2, "index,x", {1});
    EXPECT_NE(merge().find("different splits"), std::string::npos);
    EXPECT_FALSE(dir.exists("study.csv"));
}

TEST(StudyChartData, CurvesOfTheCombinationWithMostCurvesInCurrentOrder) {
    // index,gas_code,gas,diameter_used [mm],length_used [mm],current_used [A],flow_used [SLPM],status,
    // efficiency [%],arc_voltage [V],T_exit [K]
    const std::string table =
        "index,gas_code,gas,diameter_used [mm],length_used [mm],current_used [A],flow_used [SLPM],status,"
        "efficiency [%],arc_voltage [V],T_exit [K]\n"
        "0,1,Ar,8.0,14,600,35,completed,50,27.0,13000\n"
        "1,1,Ar,8.0,14,500,35,completed,52,27.5,12900\n"
        "2,6,Ar + 10 % H2,8.0,14,500,40,completed,60,55.0,14000\n"
        "3,1,Ar,8.0,14,500,40,completed,55,29.0,12800\n"
        "4,1,Ar,8.0,14,600,40,not calculable,,,\n";
    StudyChartData perFlow;
    std::string error;
    ASSERT_TRUE(studyChartData(table, "t.csv", StudyCurves::PerFlow, perFlow, error)) << error;
    EXPECT_EQ(perFlow.title, "Ar, d = 8.0 mm, L = 14 mm");
    EXPECT_EQ(perFlow.temperatureUnit, "K");
    ASSERT_EQ(perFlow.curves.size(), 2u);
    EXPECT_EQ(perFlow.curves[0].label, "35 SLPM");
    EXPECT_EQ(perFlow.curves[0].current, (std::vector<double>{500, 600}));
    EXPECT_EQ(perFlow.curves[0].efficiency, (std::vector<double>{52, 50}));
    EXPECT_EQ(perFlow.curves[1].current, (std::vector<double>{500}));  // the failed 600 A left out
    StudyChartData perGas;
    ASSERT_TRUE(studyChartData(table, "t.csv", StudyCurves::PerGas, perGas, error)) << error;
    EXPECT_EQ(perGas.title, "d = 8.0 mm, L = 14 mm, G = 40 SLPM");
    ASSERT_EQ(perGas.curves.size(), 2u);
    EXPECT_EQ(perGas.curves[1].label, "Ar + 10 % H2");
    EXPECT_FALSE(studyChartData("index,gas\n", "/s/t.csv", StudyCurves::PerGas, perGas, error));
    EXPECT_NE(error.find("/s/t.csv lacks a column"), std::string::npos);
}

TEST(StudyProgressLine, ShowsCountRateAndTimeLeft) {
    EXPECT_EQ(studyProgressLine(StudyProgress{0, 40, 0, 0.0}, 10),
              "[          ] 0/40 variants  --/s  --:-- left");
    // 10 run now in 4 s (2.5/s), 10 from before: 20 left take 8 s.
    EXPECT_EQ(studyProgressLine(StudyProgress{20, 40, 10, 4.0}, 10),
              "[#####     ] 20/40 variants  2.5/s  0:08 left");
    EXPECT_EQ(clockText(3725), "1:02:05");
}

TEST(TextFiles, ReadersTakeOnlyBoundedRegularFiles) {
    test::TempDir dir;
    std::string text, error;
    dir.write("big.csv", std::string(2000, 'x'));
    EXPECT_FALSE(readBoundedTextFile(dir.file("big.csv"), 1024, text, error));
    EXPECT_NE(error.find(dir.file("big.csv")), std::string::npos);
    EXPECT_FALSE(readBoundedTextFile(dir.path(), 1024, text, error));
    EXPECT_NE(error.find("not a regular file"), std::string::npos);
    EXPECT_TRUE(writeFileAtomically(dir.file("a.csv"), "one\n", error));
    EXPECT_TRUE(readBoundedTextFile(dir.file("a.csv"), 1024, text, error));
    EXPECT_EQ(text, "one\n");
    EXPECT_FALSE(writeFileAtomically(dir.file("missing/a.csv"), "x", error));
    EXPECT_NE(error.find("missing/a.csv"), std::string::npos);
}

}  // namespace
}  // namespace torvex
