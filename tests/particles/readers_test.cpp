// The model's inputs as a user may hand them over: a field file that is
// missing, shortened or damaged, materials files with impossible rows, and
// kavel-run's options out of range. Every refusal names the file and the
// fault and writes nothing.
#include "particles/particle_model.h"
#include "particles/spray_files.h"
#include "particles/spray_statistics.h"
#include "tests/particles/spray_fixture.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <map>
#include <sstream>
#include <sys/wait.h>

namespace torvex::particles {
namespace {

namespace fs = std::filesystem;
using torvex::test::TempDir;

// A working directory with the argon variant's input and result files.
void copyVariant(const TempDir& to) {
    for (const char* name : {"un.dat", "ip.dat", "iop.par", "ilt.res", "ztu0.res", "rtu0.res", "rtu5.res",
                             "rtu20.res", "rtu50.res", "rtu100.res", "ftu.res", "results.stamp"})
        fs::copy_file(test::argonVariant().file(name), to.file(name), fs::copy_options::overwrite_existing);
}

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> out;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) out.push_back(line);
    return out;
}

std::string joined(const std::vector<std::string>& lines, std::size_t count) {
    std::string text;
    for (std::size_t k = 0; k < count && k < lines.size(); ++k) text += lines[k] + "\n";
    return text;
}

TEST(FieldFile, AMissingFieldIsRefusedWithItsFullPath) {
    TempDir dir;
    copyVariant(dir);
    fs::remove(dir.file("ftu.res"));
    JetField field;
    const FieldStatus status = readJetField(dir.path(), field);
    ASSERT_FALSE(status.ok);
    EXPECT_NE(status.message.find(dir.file("ftu.res")), std::string::npos) << status.message;
    EXPECT_NE(status.message.find("missing"), std::string::npos) << status.message;
}

TEST(FieldFile, AShortenedFieldIsReportedInItsLastPlaneAndSaysWhereItEnds) {
    TempDir dir;
    copyVariant(dir);
    const std::vector<std::string> all = lines(dir.read("ftu.res"));
    ASSERT_EQ(all.size(), 136u * 33u);
    dir.write("ftu.res", joined(all, 60 * 33));  // a jet that ended at 49 mm
    JetField field = test::argonJet();  // its gas table
    ASSERT_TRUE(readFieldFile(dir.file("ftu.res"), field).ok);
    EXPECT_EQ(field.recordCount, 60);
    EXPECT_DOUBLE_EQ(field.endMm(), 49.0);
    SprayOptions o;
    o.powder.count = 10;
    const SprayOutcome out = simulateSpray(field, test::packagedMaterial("ysz8"), o, nullptr);
    ASSERT_EQ(out.result, SprayResult::Completed) << out.message;
    EXPECT_NE(out.notice.find("49.0 mm"), std::string::npos) << out.notice;
    EXPECT_DOUBLE_EQ(out.standoffMm, 49.0);
    // Reported in the field's last plane, as if the substrate stood there.
    int arrived = 0;
    for (const ParticleResult& p : out.particles) {
        EXPECT_NE(p.status, ParticleStatus::FieldEnded);
        if (p.status != ParticleStatus::Arrived) continue;
        ++arrived;
        EXPECT_DOUBLE_EQ(p.final.axialMm, 49.0);
    }
    EXPECT_GT(arrived, 0);
    // One count everywhere: every particle arrived, evaporated or missed the plane.
    const SprayStatistics s = computeStatistics(out);
    EXPECT_EQ(s.arrived + s.evaporated + s.missed, s.total);
}

TEST(FieldFile, DamagedNumbersAndCutRecordsAreRefusedWithTheLine) {
    TempDir dir;
    copyVariant(dir);
    const std::vector<std::string> all = lines(dir.read("ftu.res"));
    struct Case {
        const char* what;
        std::string text;
        const char* expected;
    };
    std::vector<std::string> letters = all;
    letters[40].replace(8, 8, "   12x.4");
    std::vector<std::string> stars = all;
    stars[3].replace(0, 8, "********");
    std::vector<std::string> negative = all;
    negative[0].replace(0, 8, " -3000.0");
    std::vector<std::string> tooLong = all;
    tooLong[5] += "  17.5";
    const Case cases[] = {
        {"letters", joined(letters, letters.size()), "line 41"},
        {"asterisks", joined(stars, stars.size()), "line 4"},
        {"negative temperature", joined(negative, negative.size()), "line 1 "},
        {"a value too many", joined(tooLong, tooLong.size()), "line 6"},
        {"a record cut short", joined(all, 70 * 33 - 1), "multiple of 33"},
        {"empty", "", "empty"},
        {"only the nozzle exit", joined(all, 33), "only the nozzle exit"},
    };
    for (const Case& c : cases) {
        dir.write("ftu.res", c.text);
        JetField field;
        const FieldStatus status = readFieldFile(dir.file("ftu.res"), field);
        ASSERT_FALSE(status.ok) << c.what;
        EXPECT_NE(status.message.find(dir.file("ftu.res")), std::string::npos) << c.what << ": " << status.message;
        EXPECT_NE(status.message.find(c.expected), std::string::npos) << c.what << ": " << status.message;
    }
}

TEST(FieldFile, OnlyRegularFilesOfBoundedSizeAreRead) {
    TempDir dir;
    copyVariant(dir);
    fs::remove(dir.file("ftu.res"));
    fs::create_directory(dir.file("ftu.res"));
    JetField field;
    FieldStatus status = readFieldFile(dir.file("ftu.res"), field);
    ASSERT_FALSE(status.ok);
    EXPECT_NE(status.message.find("not a regular file"), std::string::npos) << status.message;
    fs::remove(dir.file("ftu.res"));
    dir.write("ftu.res", std::string(3 << 20, ' '));
    status = readFieldFile(dir.file("ftu.res"), field);
    ASSERT_FALSE(status.ok);
    EXPECT_NE(status.message.find("larger than"), std::string::npos) << status.message;
}

TEST(FieldFile, InterpolationIsBilinearBetweenCrossSectionsAndRadii) {
    const JetField& jet = test::argonJet();
    // 12.5 mm lies between the cross-sections at 12 and 13 mm (records 22
    // and 23), 1.1 mm between the radii 1.0 and 1.25 mm (indices 4 and 5).
    auto at = [&](int record, int radius) { return double(jet.temperature[std::size_t(record * kFieldRadii + radius)]); };
    const double lower = at(22, 4) + (at(22, 5) - at(22, 4)) * 0.4;
    const double upper = at(23, 4) + (at(23, 5) - at(23, 4)) * 0.4;
    GasPoint point;
    ASSERT_TRUE(jet.sample(12.5, 1.1, point));
    EXPECT_NEAR(point.temperature, 0.5 * (lower + upper), 1e-9 * point.temperature);
    EXPECT_FALSE(jet.sample(200.5, 0, point));
    EXPECT_FALSE(jet.sample(50, 25.01, point));
    EXPECT_FALSE(jet.sample(-0.01, 0, point));
    EXPECT_DOUBLE_EQ(fieldRecordDistanceMm(20), 10.0);
    EXPECT_DOUBLE_EQ(fieldRecordDistanceMm(60), 50.0);
    EXPECT_DOUBLE_EQ(fieldRecordDistanceMm(135), 200.0);
}

const char* const kHeader =
    "key,name,density_solid,density_liquid,cp_solid,cp_liquid,conductivity_solid,conductivity_liquid,"
    "melting_point,latent_heat_fusion,boiling_point,latent_heat_vaporisation,emissivity,molar_mass\n";

TEST(Materials, TheWorkingDirectoryAddsAndOverridesRows) {
    TempDir dir;
    dir.write("materials.csv", std::string("# my powders\n") + kHeader +
                                   "cu,Copper (oxidised),8960,7900,430,516,370,165,1358,2.09e5,2835,4.73e6,0.6,0.06355\n"
                                   "\"zro\",\"Zirconia, porous\",3000,5000,600,713,1,2.3,2973,7.06e5,4573,6.0e6,0.4,0.1232\n");
    MaterialTable table;
    const MaterialStatus status = loadMaterials(dir.path(), table);
    ASSERT_TRUE(status.ok) << status.message;
    EXPECT_EQ(table.rows.size(), 8u);
    ASSERT_NE(table.find("cu"), nullptr);
    EXPECT_DOUBLE_EQ(table.find("cu")->emissivity, 0.6);
    ASSERT_NE(table.find("zro"), nullptr);
    EXPECT_EQ(table.find("zro")->name, "Zirconia, porous");
    ASSERT_NE(table.find("ysz8"), nullptr);
    EXPECT_DOUBLE_EQ(table.find("ysz8")->meltingPoint, 2973);
    EXPECT_EQ(table.sources.size(), 2u);
    // A table of earlier versions, without the vapour-pressure enthalpy: each
    // row names its file, takes the latent heat for the curve and sprays to
    // the digit as the row that gives it (fine copper close to the axis boils).
    const Material cu = *table.find("cu");
    const std::vector<std::string> said = describeMaterial(cu);
    EXPECT_EQ(said[0], "cu (Copper (oxidised)), row of the working folder's table " + dir.file("materials.csv"));
    EXPECT_EQ(said[2], "boiling point 2835 K, latent heat of vaporisation 4.73 MJ/kg (heat taken), vapour-pressure "
                       "enthalpy 4.73 MJ/kg (no such column in the table: the latent heat)");
    EXPECT_NE(describeMaterial(*table.find("ysz8"))[0].find("), row of the packaged table /"), std::string::npos);
    dir.write("materials.csv",
              std::string(kHeader).replace(std::strlen(kHeader) - 1, 1, ",vapour_pressure_enthalpy\n") +
                  "cu,Copper (oxidised),8960,7900,430,516,370,165,1358,2.09e5,2835,4.73e6,0.6,0.06355,4.73e6\n");
    ASSERT_TRUE(loadMaterials(dir.path(), table).ok);
    SprayOptions o;
    o.powder.material = "cu", o.powder.singleSize = true, o.powder.d50Um = 10, o.powder.count = 10;
    o.injection.radiusMm = 1, o.injection.speedFrom = InjectionSpeed::Fixed, o.injection.velocity = 2;
    const SprayOutcome old = simulateSpray(test::argonJet(), cu, o, nullptr);
    const SprayOutcome given = simulateSpray(test::argonJet(), *table.find("cu"), o, nullptr);
    EXPECT_GT(computeStatistics(old).evaporatedMassShare.value, 0.01);
    EXPECT_EQ(particlesCsv(old.particles) + trajectoriesCsv(old.trajectories),
              particlesCsv(given.particles) + trajectoriesCsv(given.trajectories));
}

TEST(Materials, ImpossibleRowsAreRefusedWithTheLineNamed) {
    const std::string good = "x,X,4000,3500,800,900,2,2,1500,5e5,3000,5e6,0.4,0.1\n";
    struct Case {
        const char* row;
        const char* fault;
    };
    const Case cases[] = {
        {"x,X,0,3500,800,900,2,2,1500,5e5,3000,5e6,0.4,0.1", "density"},
        {"x,X,4000,3500,-800,900,2,2,1500,5e5,3000,5e6,0.4,0.1", "specific heat"},
        {"x,X,4000,3500,800,900,0,2,1500,5e5,3000,5e6,0.4,0.1", "conductivity"},
        {"x,X,4000,3500,800,900,2,2,3000,5e5,3000,5e6,0.4,0.1", "melting point is not below the boiling point"},
        {"x,X,4000,3500,800,900,2,2,1500,5e5,3000,5e6,1.4,0.1", "emissivity"},
        {"x,X,4000,3500,800,nan,2,2,1500,5e5,3000,5e6,0.4,0.1", "cp_liquid"},
        {"x,X,4000,3500,800,900,2,2,1500", "fields"},
        {"x,X,4000,3500,800,900,2,2,1500,5e5,3000,5e6,0.4,0.1,extra", "the row has 15 fields, 14 expected"},
        {"x,X,1e308,3500,800,900,2,2,1500,5e5,3000,5e6,0.4,0.1", "solid density 1e+308 kg/m3 is not between 100 and"},
        {"x,X,4000,3500,800,900,2,2,1500,5e5,3000,5e6,0.4,100", "molar mass 100 kg/mol"},
        {"x y,X,4000,3500,800,900,2,2,1500,5e5,3000,5e6,0.4,0.1", "key"},
    };
    for (const Case& c : cases) {
        TempDir dir;
        dir.write("materials.csv", std::string(kHeader) + good + "\n" + c.row + "\n");
        MaterialTable table;
        const MaterialStatus status = loadMaterials(dir.path(), table);
        ASSERT_FALSE(status.ok) << c.row;
        EXPECT_NE(status.message.find(dir.file("materials.csv") + ", line 4"), std::string::npos) << status.message;
        EXPECT_NE(status.message.find(c.fault), std::string::npos) << status.message;
        EXPECT_TRUE(table.rows.empty());
    }
    // A header with a column of its own is refused: a misspelt property
    // must not leave the packaged value in force.
    TempDir wider;
    wider.write("materials.csv", std::string("note,") + kHeader + "x,X,4000,3500,800,900,2,2,1500,5e5,3000,5e6,0.4,0.1\n");
    MaterialTable widerTable;
    const MaterialStatus widerStatus = loadMaterials(wider.path(), widerTable);
    EXPECT_FALSE(widerStatus.ok);
    EXPECT_NE(widerStatus.message.find("line 1: the header has the unknown column \"note\""), std::string::npos)
        << widerStatus.message;

    TempDir headless;
    headless.write("materials.csv", good);
    MaterialTable table;
    EXPECT_FALSE(loadMaterials(headless.path(), table).ok);
}

TEST(SprayFiles, AFileThatIsALinkIsNotWrittenThrough) {
    TempDir dir, elsewhere;
    elsewhere.write("victim.txt", "keep");
    fs::create_symlink(elsewhere.file("victim.txt"), dir.file("particles.csv"));
    std::string error;
    EXPECT_FALSE(writeFileAtomically(dir.path(), "particles.csv", "index\n", error));
    EXPECT_NE(error.find(dir.file("particles.csv")), std::string::npos) << error;
    EXPECT_EQ(elsewhere.read("victim.txt"), "keep");
    ASSERT_TRUE(writeFileAtomically(dir.path(), "trajectories.csv", "x\n", error)) << error;
    EXPECT_EQ(dir.read("trajectories.csv"), "x\n");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 2);  // no temporary left
}

int runKavel(const std::string& arguments) {
    const std::string command = std::string(KAVEL_RUN_EXECUTABLE) + " --no-progress " + arguments + " >/dev/null 2>&1";
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(KavelRun, OutOfRangeOptionsAreRefusedAndNothingIsWritten) {
    TempDir dir;
    copyVariant(dir);
    for (const char* bad : {"--count 0", "--count 2.5", "--d50 0", "--d10 50 --d50 40 --d90 70", "--diameter 30 --d50 40",
                            "--injection-radius 30", "--injection-distance -1", "--injection-velocity 0",
                            "--standoff 250", "--standoff 2", "--divergence 120", "--velocity-spread 100",
                            "--material unobtainium", "--shells 0", "--count nan", "--no-such-option 1",
                            "--carrier-flow 0", "--injection-velocity 20 --carrier-flow 3", "--knudsen maybe",
                            "--sensor-at 1", "--size-classes 4", "tune --steps 1", "tune --goal fastest",
                            "--substrate-radius 0.5", "--substrate-radius 10 --sensor-at 0,12",
                            // Numbers as torvex-run reads them: no hex, no infinity, nothing after the number.
                            "--count 0x10", "--standoff 0x50", "--d50 inf", "--count 12abc", "tune --from 0x1"}) {
        EXPECT_EQ(runKavel(std::string(bad) + " " + dir.path()), 2) << bad;
        EXPECT_FALSE(dir.exists("particles.csv")) << bad;
        EXPECT_FALSE(dir.exists("trajectories.csv")) << bad;
    }
    fs::remove(dir.file("ftu.res"));
    EXPECT_EQ(runKavel(dir.path()), 2);
    EXPECT_FALSE(dir.exists("particles.csv"));
}

// The command line moved to another parser: every option it ever took is
// still taken (each alone, with a value in range), and the new ones too.
TEST(KavelRun, EveryOptionIsStillAccepted) {
    TempDir dir;
    copyVariant(dir);
    for (const char* option : {"--material al2o3", "--d10 15 --d50 30 --d90 50", "--diameter 30", "--seed 4",
                               "--injection-distance 3", "--injection-radius 7", "--injection-velocity 15",
                               "--velocity-spread 10", "--divergence 15", "--standoff 60", "--lumped", "--shells 8",
                               "--gravity", "--threads 1", "--list-materials", "--help",
                               "--carrier-flow 4 --injector-diameter 1.5 --injection-angle -10",
                               "--sensor-size 5 --sensor-at 0,-2 --size-classes 6", "--knudsen off --radiation on",
                               "--substrate-radius 30 --sensor-at 20,-20",
                               "--size-basis number --drag free-stream --gas-gamma auto --vapour-shielding off "
                               "--diffusive-evaporation off",
                               "tune --steps 2 --from 2 --to 3 --goal molten"}) {
        EXPECT_EQ(runKavel(std::string(option) + " --count 4 " + dir.path()), 0) << option;
    }
    EXPECT_TRUE(dir.exists("sensor.csv"));
    EXPECT_TRUE(dir.exists("size-classes.csv"));
    EXPECT_TRUE(dir.exists("tune.csv"));
}

// A result file that cannot be put in place is an output fault (status 5,
// as torvex-run's), never success and never bad input.
TEST(KavelRun, AResultFileThatCannotBeWrittenEndsWithStatusFive) {
    TempDir dir;
    copyVariant(dir);
    fs::create_directory(dir.file("particles.csv"));
    EXPECT_EQ(runKavel("--count 8 " + dir.path()), 5);
    EXPECT_TRUE(fs::is_directory(dir.file("particles.csv")));
}

TEST(KavelRun, TheSameSeedWritesTheSameFilesByteForByte) {
    TempDir dir;
    copyVariant(dir);
    dir.write("materials.csv",
              std::string(kHeader) + "ysz8,Own,5890,5000,600,713,2.3,2.3,2973,7.06e5,4573,6e6,0.4,0.1232\n");
    ASSERT_EQ(runKavel("--count 30 --seed 11 --threads 1 " + dir.path()), 0);
    const std::string particles = dir.read("particles.csv");
    const std::string trajectories = dir.read("trajectories.csv");
    // The run's "# " header (naming the working folder's row in every file and
    // the stamp), then the column names and one row per particle.
    const std::string row = "material: ysz8 (Own), row of the working folder's table " + dir.file("materials.csv");
    for (const char* file : {"particles.csv", "sensor.csv", "size-classes.csv"})
        EXPECT_NE(dir.read(file).find("\n# " + row + "\n"), std::string::npos) << file;
    EXPECT_NE(dir.read("spray.stamp").find("\n" + row + "\n"), std::string::npos);
    EXPECT_EQ(lines(particles.substr(particles.find("\nindex,") + 1)).size(), 31u);
    ASSERT_EQ(runKavel("--count 30 --seed 11 --threads 2 " + dir.path()), 0);
    EXPECT_EQ(dir.read("particles.csv"), particles);
    EXPECT_EQ(dir.read("trajectories.csv"), trajectories);
    ASSERT_EQ(runKavel("--count 30 --seed 12 " + dir.path()), 0);
    EXPECT_NE(dir.read("particles.csv"), particles);
}

// The last spray read back through spray.stamp: what the files hold, the
// options and the material row (a working folder's) as sprayed; a set the
// stamp does not vouch for, or of another jet, is refused with the folder.
TEST(SpraySet, ReadsBackWhatTheSprayWroteAndRefusesAMixAnUnfinishedSetOrAnotherJet) {
    TempDir dir;
    copyVariant(dir);
    dir.write("materials.csv",
              std::string(kHeader) + "ysz8,\"Own, lot 7\",5890,5000,600,713,2.3,2.3,2973,7.06e5,4573,6e6,0.4,0.1232\n");
    EXPECT_TRUE(readSpraySet(dir.path()).none);
    ASSERT_EQ(runKavel("--count 30 --seed 11 --carrier-flow 3.25 --substrate-radius 40 " + dir.path()), 0);
    std::map<std::string, std::string> sprayed;
    for (const std::string& name : sprayOutputNames()) sprayed[name] = dir.read(name);
    const SpraySet set = readSpraySet(dir.path());
    ASSERT_TRUE(set.ok) << set.message;
    const std::string& particles = sprayed["particles.csv"];
    EXPECT_EQ(particlesCsv(set.outcome.particles), particles.substr(particles.find("\nindex,") + 1));
    EXPECT_EQ(trajectoriesCsv(set.outcome.trajectories), sprayed["trajectories.csv"]);
    EXPECT_EQ(set.options.injection.carrierFlowSlpm, 3.25);
    EXPECT_EQ(set.options.substrateRadiusMm, 40);
    EXPECT_EQ(set.outcome.material.name, "Own, lot 7");
    EXPECT_EQ(set.outcome.material.origin, MaterialOrigin::WorkingFolder);
    EXPECT_EQ(set.jetVariant, "argon 8.0 mm 500 A 35 SLPM");
    // The sample's facts as sprayed, so the shares read back are the shares shown then.
    EXPECT_EQ(set.outcome.sampling.flown, 30);
    EXPECT_GT(set.outcome.sampling.meanInjectedMassKg, 0);
    EXPECT_EQ(set.outcome.powder.d50Um, 40);

    ASSERT_EQ(runKavel("--count 30 --seed 12 " + dir.path()), 0);
    dir.write("particles.csv", particles);  // a killed spray's mix of old and new files
    EXPECT_NE(readSpraySet(dir.path()).message.find("The spray in " + dir.path() + " is mixed: particles.csv"),
              std::string::npos);
    fs::remove(dir.file("spray.stamp"));
    EXPECT_NE(readSpraySet(dir.path()).message.find("is unfinished"), std::string::npos);
    for (const auto& [name, text] : sprayed) dir.write(name, text);
    ASSERT_TRUE(readSpraySet(dir.path()).ok);
    // Kept by name (sanitised, never a path), each a whole set; the last
    // twelve stay, and a kept spray keeps its own jet when the folder's changes.
    std::string error;
    ASSERT_TRUE(keepSpray(dir.path(), " ../lot 7?/a ", error)) << error;
    EXPECT_TRUE(dir.exists("sprays/_lot 7__a/spray.stamp"));
    EXPECT_EQ(dir.read("sprays/_lot 7__a/spray.stamp"), sprayed["spray.stamp"]);
    EXPECT_FALSE(keepSpray(dir.path(), "?!", error));
    for (int k = 0; k < kKeptSprayLimit; ++k) ASSERT_TRUE(keepSpray(dir.path(), "run " + std::to_string(k), error));
    EXPECT_EQ(keptSprays(dir.path()).size(), static_cast<std::size_t>(kKeptSprayLimit));
    dir.stampResultSet(2);  // the stamp of another run (in inches) beside the spray
    const SpraySet other = readSpraySet(dir.path());
    EXPECT_FALSE(other.ok);
    EXPECT_NE(other.message.find("was made in another jet"), std::string::npos) << other.message;
    EXPECT_TRUE(readKeptSpray(dir.path(), keptSprays(dir.path()).front()).ok);
    EXPECT_FALSE(readKeptSpray(dir.path(), "../sprays").ok);
}

TEST(KavelRun, LengthsAreInTheVariantsUnitAndTheFilesInMillimetres) {
    TempDir dir;
    copyVariant(dir);
    auto arrivedAt = [&]() {
        const std::vector<std::string> rows = lines(dir.read("particles.csv"));
        std::string axial;
        for (std::size_t k = 1; k < rows.size(); ++k)
            if (rows[k].find(",arrived,") != std::string::npos) axial = rows[k].substr(rows[k].find(",arrived,") + 9, 7);
        return axial;
    };
    // The units are those the set was calculated in, not un.dat's now.
    dir.write("un.dat", "2 1 1 1 \n");
    ASSERT_EQ(runKavel("--count 8 --injection-velocity 12 " + dir.path()), 0);
    EXPECT_EQ(arrivedAt(), "100.000");
    // A set calculated in inches (its stamp says so); the field stays in mm.
    std::string variant = dir.read("iop.par");
    variant.replace(variant.find(" 8.00 14.00"), 11, " 0.31  0.55");
    dir.write("iop.par", variant);
    dir.stampResultSet(2);
    ASSERT_EQ(runKavel("--count 8 --injection-velocity 12 " + dir.path()), 0);
    EXPECT_EQ(arrivedAt(), "101.600");  // the default standoff of 4 in
    ASSERT_EQ(runKavel("--count 8 --injection-velocity 12 --standoff 2 --injection-distance 0.1 " + dir.path()), 0);
    EXPECT_EQ(arrivedAt(), "50.800,");
    // 9 in lies beyond the 200 mm of the field: refused with the range.
    EXPECT_EQ(runKavel("--count 8 --standoff 9 " + dir.path()), 2);
}

} // namespace
} // namespace torvex::particles
