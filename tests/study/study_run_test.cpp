// Whole studies of a few variants: threads give the files of single runs
// byte for byte, shards merge into the whole table byte for byte, finished
// variants are not run again, a stop leaves no table, and the exported jet
// field is read by VTK's own reader.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "solver/solver.h"
#include "study/study_file.h"
#include "study/study_runner.h"
#include "study/study_table.h"
#include "study/variant_export.h"
#include "tests/support/temp_dir.h"

namespace torvex {
namespace {

// Three variants: argon and argon + 10 % hydrogen at 8 mm, a short anode.
const char* const kTinyStudy =
    "[[sweep]]\ngas = [1, 6]\ndiameter = 8.0\nlength = 14\ncurrent = 500\nflow = 40\n"
    "[[sweep]]\ngas = 1\ndiameter = 8.0\nlength = 14\ncurrent = 600\nflow = 40\n";

StudyPlan tinyPlan() {
    StudyDefinition d;
    StudyPlan plan;
    std::string error;
    EXPECT_TRUE(parseStudyText(kTinyStudy, "tiny.toml", d, error)) << error;
    EXPECT_TRUE(expandStudy(d, plan, error)) << error;
    return plan;
}

StudyRunReport run(const StudyPlan& plan, const std::string& dir, int jobs, int shard = 0, int count = 1,
                   bool stop = false) {
    const std::atomic<bool> flag{stop};
    return runStudy(plan, StudyRunSettings{dir, jobs, shard, count}, flag, nullptr);
}

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

const char* const kResultFiles[] = {"iop.par",   "ilt.res",   "ztu0.res",   "rtu0.res", "rtu5.res",
                                    "rtu20.res", "rtu50.res", "rtu100.res", "ftu.res"};

TEST(StudyRun, TwoThreadsGiveTheFilesOfSingleRunsByteForByte) {
    const StudyPlan plan = tinyPlan();
    ASSERT_EQ(plan.variants.size(), 3u);
    test::TempDir one, two;
    const StudyRunReport a = run(plan, one.path(), 1);
    const StudyRunReport b = run(plan, two.path(), 2);
    ASSERT_FALSE(a.failed || a.stopped) << a.message;
    ASSERT_FALSE(b.failed || b.stopped) << b.message;
    EXPECT_EQ(a.completed, 3);
    EXPECT_EQ(one.read("study.csv"), two.read("study.csv"));
    // Each variant once more in its own folder with the program's shared state.
    for (const StudyVariant& v : plan.variants) {
        test::TempDir single;
        writeUnitCodes(single.file("un.dat"), plan.units);
        writeInputParameters(single.file("ip.dat"), v.entered);
        ASSERT_EQ(runSolver(single.path(), nullptr).result, RunResult::Completed);
        for (const char* name : kResultFiles) {
            const std::string file = "variants/" + v.name + "/" + name;
            EXPECT_EQ(two.read(file), single.read(name)) << file;
            EXPECT_FALSE(single.read(name).empty()) << name;
        }
    }
}

TEST(StudyRun, TwoShardsMergeIntoTheWholeTableByteForByte) {
    const StudyPlan plan = tinyPlan();
    test::TempDir whole, shards;
    ASSERT_FALSE(run(plan, whole.path(), 2).failed);
    EXPECT_EQ(run(plan, shards.path(), 1, 0, 2).total, 2);
    EXPECT_EQ(run(plan, shards.path(), 1, 1, 2).total, 1);
    EXPECT_TRUE(shards.exists("study-0-of-2.csv"));
    EXPECT_FALSE(shards.exists("study.csv"));
    std::string message;
    ASSERT_TRUE(mergeShardTables(shards.path(), message)) << message;
    EXPECT_EQ(shards.read("study.csv"), whole.read("study.csv"));
    const std::string table = whole.read("study.csv");
    EXPECT_EQ(std::count(table.begin(), table.end(), '\n'), 4);
}

TEST(StudyRun, FinishedVariantsAreSkippedAndInterruptedOnesRerun) {
    const StudyPlan plan = tinyPlan();
    test::TempDir dir;
    // Stopped before the first variant: nothing done, no table.
    const StudyRunReport stopped = run(plan, dir.path(), 2, 0, 1, true);
    EXPECT_TRUE(stopped.stopped);
    EXPECT_FALSE(dir.exists("study.csv"));
    ASSERT_FALSE(run(plan, dir.path(), 2).failed);
    const std::string table = dir.read("study.csv");
    // A variant killed mid-run: its row is missing and its files are torn.
    const std::string torn = "variants/" + plan.variants[1].name + "/";
    std::remove(dir.file(torn + kVariantRowFile).c_str());
    dir.write(torn + "ilt.res", "   0.0  1.0\n");
    const StudyRunReport again = run(plan, dir.path(), 2);
    EXPECT_EQ(again.skipped, 2);
    EXPECT_EQ(again.completed, 3);
    EXPECT_EQ(dir.read("study.csv"), table);
    // A row made with other units does not count as finished.
    StudyPlan fahrenheit = plan;
    fahrenheit.units.temperature = 2;
    EXPECT_EQ(run(fahrenheit, dir.path(), 2).skipped, 0);
    EXPECT_NE(dir.read("study.csv").find("T_exit [F]"), std::string::npos);
}

TEST(VariantExport, ProfilesAsCsvAndTheJetFieldForVtk) {
    const StudyPlan plan = tinyPlan();
    test::TempDir dir;
    ASSERT_FALSE(run(plan, dir.path(), 1, 0, 3).failed);  // just the first variant
    const std::string variant = dir.file("variants/" + plan.variants[0].name);
    std::vector<std::string> written;
    std::string error;
    ASSERT_TRUE(exportVariant(variant, written, error)) << error;
    EXPECT_EQ(written.size(), 4u);
    const std::string axial = readFile(variant + "/axial-profile.csv");
    EXPECT_EQ(axial.rfind("distance [mm],T_axis [K],u_axis [m/s]\n0.0,", 0), 0u);
    EXPECT_NE(readFile(variant + "/radial-profiles.csv").find("\n100.00,0.0,"), std::string::npos);
    EXPECT_EQ(readFile(variant + "/isotherms.csv").rfind("distance [mm],r_2000K [mm],r_4000K [mm]", 0), 0u);

    std::vector<FieldRecord> records;
    ASSERT_TRUE(readFieldRecords(variant + "/ftu.res", records, error)) << error;
    ASSERT_EQ(records.size(), 136u);
    if (std::system("/usr/bin/python3 -c 'import vtk' >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "VTK for Python (python3-vtk9) is not installed: jet-field.vtr not read back by VTK";
    // VTK's reader must see the grid, the arrays and the values of ftu.res.
    const std::string script = variant + "/read.py";
    std::ofstream(script)
        << "import sys, vtk\n"
           "r = vtk.vtkXMLRectilinearGridReader()\n"
           "r.SetFileName(sys.argv[1])\n"
           "r.Update()\n"
           "g = r.GetOutput()\n"
           "p = g.GetPointData()\n"
           "t = p.GetArray('temperature')\n"
           "print(g.GetDimensions(), p.GetNumberOfArrays(), '%.1f %.1f %.1f %.2f %.2f %.2f' % (\n"
           "      t.GetValue(0), t.GetValue(101 * 135 + 100), p.GetArray('axial_velocity').GetValue(0),\n"
           "      g.GetXCoordinates().GetValue(100), g.GetYCoordinates().GetValue(20),\n"
           "      g.GetYCoordinates().GetValue(135)))\n";
    const std::string output = variant + "/read.txt";
    ASSERT_EQ(
        std::system(
            ("/usr/bin/python3 " + script + " " + variant + "/jet-field.vtr >" + output + " 2>&1").c_str()),
        0)
        << readFile(output);
    char expected[256];
    std::snprintf(expected, sizeof expected, "(101, 136, 1) 4 %.1f %.1f %.1f 25.00 10.00 200.00\n",
                  static_cast<double>(records[0].temperature[0]),
                  static_cast<double>(records[135].temperature[100]),
                  static_cast<double>(records[0].axialVelocity[0]));
    EXPECT_EQ(readFile(output), expected);
}

}  // namespace
}  // namespace torvex
