#include "solver/isotherms.h"
#include "solver/normalise.h"
#include "solver/output_schedule.h"
#include "solver/station_loop.h"
#include "solver/value_lists.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <sstream>
#include <vector>

namespace torvex {
namespace {

std::unique_ptr<SolverState> stateFor(int gas, int lengthUnit = 1, int flowUnit = 1) {
    auto s = std::make_unique<SolverState>();
    s->gasCode = gas;
    s->lengthUnit = lengthUnit;
    s->flowUnit = flowUnit;
    return s;
}

TEST(Normalisation, DiameterIsClampedPerGasAndRoundedUpToEvenTenths) {
    auto s = stateFor(1);
    normaliseDiameter(*s, 12.0f);
    EXPECT_EQ(s->anodeDiameter, 110 * 0.1f);
    EXPECT_EQ(s->diameterClass, 11);
    s->gasCode = 2;
    normaliseDiameter(*s, 12.0f);
    EXPECT_EQ(s->diameterTenths, 90);
    EXPECT_EQ(s->diameterClass, 9);
    s->gasCode = 1;
    const std::pair<float, int> cases[] = {{6.3f, 64}, {6.2f, 62}, {7.1f, 70}, {2.0f, 50}, {5.4f, 54}};
    for (const auto& [entered, tenths] : cases) {
        normaliseDiameter(*s, entered);
        EXPECT_EQ(s->diameterTenths, tenths) << entered;
    }
    EXPECT_EQ(s->diameterClass, 5);
    auto inch = stateFor(1, 2);
    normaliseDiameter(*inch, 0.30f);  // 7.62 mm
    EXPECT_EQ(inch->diameterTenths, 76);
    EXPECT_EQ(inch->diameterClass, 8);
}

TEST(Normalisation, LengthCurrentAndFlowFollowTheBoundsOfGasAndClass) {
    auto s = stateFor(1);
    normaliseInputs(*s, RawInputs{8.0f, 29.0f, 500, 35});
    EXPECT_EQ(s->anodeLengthMm, 28);
    normaliseInputs(*s, RawInputs{8.0f, 15.0f, 500, 35});
    setUpGrid(*s);
    EXPECT_EQ(s->anodeLengthMm, 15);
    EXPECT_EQ(s->channelLength, 16.0f);
    EXPECT_EQ(s->channelStepCount, 800);
    EXPECT_EQ(s->totalStepCount, 3100);
    EXPECT_EQ(s->radialNodeCount, 81);
    EXPECT_EQ(s->jetNodeCount, 101);
    EXPECT_EQ(s->simpsonWeight[80], 4.0f);
    EXPECT_EQ(s->simpsonWeight[81], 1.0f);
    EXPECT_EQ(s->rawLength, 15.0f);

    normaliseInputs(*s, RawInputs{6.0f, 30.0f, 1000, 40});
    EXPECT_EQ(s->arcCurrent, 600);
    normaliseInputs(*s, RawInputs{6.0f, 30.0f, 437, 43});
    EXPECT_EQ(s->arcCurrent, 430);
    EXPECT_EQ(s->gasFlow, 40);

    auto scfh = stateFor(1, 1, 2);
    normaliseInputs(*scfh, RawInputs{6.0f, 20.0f, 400, 10});
    EXPECT_EQ(scfh->gasFlow, 50);
    normaliseInputs(*scfh, RawInputs{6.0f, 20.0f, 400, 500});
    EXPECT_EQ(scfh->gasFlow, 120);
    EXPECT_EQ(scfh->gasFlowSlpm, 120.0f * 0.472f);

    auto nitrogen = stateFor(2);
    normaliseInputs(*nitrogen, RawInputs{6.0f, 1.0f, 1000, 1000});
    EXPECT_EQ(nitrogen->anodeLengthMm, 15);  // 3 (K - 1)
    EXPECT_EQ(nitrogen->arcCurrent, 350);    // 50 (K + 1)
    EXPECT_EQ(nitrogen->gasFlow, 50);        // 10 (K - 1)

    auto inch = stateFor(1, 2);
    normaliseInputs(*inch, RawInputs{0.30f, 0.55f, 500, 35});
    setUpGrid(*inch);
    EXPECT_EQ(inch->anodeLength, 0.55f * 25.4f);
    EXPECT_EQ(inch->anodeLengthMm, 14);
    EXPECT_EQ(inch->totalStepCount, inch->channelStepCount + 2316);
}

// Every value the input dialog offers is run as entered (in inches, as the
// model's millimetres): no note, except the inch lengths at the ends of
// their lists, which reach past the model's range when the bounds are cut
// to 0.05 in steps. Values off the model's ranges or steps get one sentence
// each.
TEST(Normalisation, DialogValuesNeedNoNoteAndEveryChangeIsNamed) {
    for (int lengthUnit : {1, 2})
        for (int gas : {1, 2, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14}) {
            auto s = stateFor(gas, lengthUnit, lengthUnit);
            for (const std::string& d : diameterEntries(gas == kGasNitrogen, lengthUnit)) {
                const float diameter = static_cast<float>(entryValue(d));
                const int k = diameterClass(roundedDiameterMillimetres(entryValue(d), lengthUnit));
                const ValueList lengths = lengthEntries(gas, k, lengthUnit), currents = currentEntries(gas, k),
                                flows = flowEntries(gas, k, lengthUnit);
                for (std::size_t i = 0; i < std::max({lengths.size(), currents.size(), flows.size()}); ++i) {
                    const RawInputs raw{diameter, static_cast<float>(entryValue(lengths[i % lengths.size()])),
                                        static_cast<int>(entryValue(currents[i % currents.size()])),
                                        static_cast<int>(entryValue(flows[i % flows.size()]))};
                    for (const std::string& note : normaliseInputs(*s, raw))
                        EXPECT_TRUE(lengthUnit == 2 && note.rfind("anode length", 0) == 0) << gas << ": " << note;
                }
            }
        }
    auto s = stateFor(6);
    const std::vector<std::string> notes = normaliseInputs(*s, RawInputs{6.3f, 15.5f, 437, 43});
    ASSERT_EQ(notes.size(), 4u);
    EXPECT_EQ(notes[0], "anode diameter 6.30 mm is not an even tenth of a millimetre; 6.4 mm was used");
    EXPECT_EQ(notes[1], "anode length 15.50 mm is not a whole millimetre; 15 mm was used");
    EXPECT_EQ(notes[2], "arc current 437 A is not a multiple of 10 A; 430 A was used");
    EXPECT_EQ(notes[3], "gas flow 43 SLPM is not a multiple of 5 SLPM; 40 SLPM was used");
    EXPECT_EQ(normaliseInputs(*s, RawInputs{6.0f, 30.0f, 1000, 40})[1],
              "arc current 1000 A is outside the model's range for argon + 10 % hydrogen and anode diameter 6.0 mm "
              "(300 to 550 A); 550 A was used");
    auto inch = stateFor(2, 2, 2);
    EXPECT_EQ(normaliseInputs(*inch, RawInputs{0.5f, 0.55f, 300, 60}).front(),
              "anode diameter 0.50 in (12.70 mm) is outside the model's range for nitrogen (5.0 to 9.0 mm); 9.0 mm "
              "was used");
}

TEST(Normalisation, MassFlowFigureIsRoundedToEvenTenths) {
    // 1.6 kg/m3 x 40 l/min = 1.0667e-3 kg/s; x 27000 = 28.8 -> 28 -> 2.8
    EXPECT_FLOAT_EQ(massFlowFigure(1.6f, 40.0f), 2.8f);
    // 29.7 -> 29, odd -> 30
    EXPECT_FLOAT_EQ(massFlowFigure(1.65f, 40.0f), 3.0f);
}

int countSteps(int from, int to, bool (*pred)(int)) {
    int n = 0;
    for (int k = from; k <= to; ++k) n += pred(k) ? 1 : 0;
    return n;
}

TEST(OutputSchedule, OneAxialRecordPerMillimetreAndTheFieldRecordsAndPlanes) {
    EXPECT_EQ(countSteps(0, 3100, [](int k) { return isAxialRecordStep(k, 800, 3100); }), 201);
    EXPECT_EQ(countSteps(0, 3116, [](int k) { return isAxialRecordStep(k, 800, 3116); }), 205);
    EXPECT_EQ(countSteps(0, 3116, [](int k) { return isFieldRecordStep(k, 800); }), 136);
    EXPECT_TRUE(isAxialRecordStep(3116, 800, 3116));
    EXPECT_FALSE(isAxialRecordStep(3114, 800, 3116));
    EXPECT_FALSE(isAxialRecordStep(700, 800, 3100));
    const int metric[] = {0, 250, 700, 1300, 1800};
    const int inch[] = {0, 254, 808, 1308, 1808};
    for (int k = 0; k < 5; ++k) {
        EXPECT_EQ(radialPlaneAt(metric[k], 1), k);
        EXPECT_EQ(radialPlaneAt(inch[k], 2), k);
    }
    EXPECT_EQ(radialPlaneAt(250, 2), -1);
    EXPECT_EQ(radialPlaneAt(808, 1), -1);
}

TEST(Isotherms, LevelsFollowTheTemperatureUnitAndTheNearestCrossingToTheAxisWins) {
    auto s = stateFor(1);
    s->radialNodeCount = 5;
    for (int i = 1; i <= 5; ++i) s->radius[i] = static_cast<float>(i - 1) * 5e-5f;
    // Hollow profile: 2000 K is crossed twice; the inner crossing counts.
    const float profile[] = {0, 9000, 9000, 1000, 3000, 1000};
    for (int i = 1; i <= 5; ++i) s->temperaturePair[1][i] = profile[i];
    s->isothermRadius = {0, -1, -1, -1, -1, -1};
    searchIsotherms(*s);
    EXPECT_NEAR(s->isothermRadius[1], 0.05f + 0.05f * 7000.0f / 8000.0f, 1e-5f);
    EXPECT_NEAR(s->isothermRadius[4], 0.05f + 0.05f * 1000.0f / 8000.0f, 1e-5f);
    EXPECT_EQ(s->isothermRadius[5], 0.0f);  // 10000 K lies above the hottest node
    for (int i = 1; i <= 5; ++i) EXPECT_NEAR(s->temperaturePair[1][i], profile[i], 0.01f);

    EXPECT_EQ(isothermLevel(1, 3), 2000.0f);
    EXPECT_EQ(isothermLevel(5, 2), 19000.0f);
    s->temperatureUnit = 3;  // 2000 degC = 2273 K
    const float flat[] = {0, 2273, 2273, 2273, 1000, 1000};
    for (int i = 1; i <= 5; ++i) s->temperaturePair[1][i] = flat[i];
    s->isothermRadius[2] = 7.0f;
    searchIsotherms(*s);
    EXPECT_NEAR(s->isothermRadius[1], 0.0f, 1e-6f);  // equal pair on the level: its inner node
    EXPECT_EQ(s->isothermRadius[2], 0.0f);
}

// ----- The station loop driven by stand-in modules -----------------------------------

struct FakeMarch {
    int failChannelAt = -1;   // step at which the channel march fails
    int failJetAt = -1;       // jet step at which the jet march fails
    int growEvery = 0;        // jet steps between grid requests (0: none)
    bool someAtStations = false;  // every second request meets an output station
    int widestGrid = 0;
    std::vector<int> progress;
    int watchJetAt = -1;                    // jet step at which `watch` runs
    void (*watch)(int progress) = nullptr;  // also runs at every progress report
};
FakeMarch fake;

// Axial distance from the nozzle exit after jet step j with the growing step.
float jetDistance(int j) {
    if (j <= 500) return 0.02f * j;
    if (j <= 1300) return 10.0f + 0.05f * (j - 500);
    if (j <= 1800) return 50.0f + 0.1f * (j - 1300);
    return 100.0f + 0.2f * (j - 1800);
}

bool fakeInlet(SolverState& s) {
    const int n = s.radialNodeCount;
    for (int i = 1; i <= n; ++i) {
        const float x = s.radius[i] / s.radius[n];
        s.temperature[i] = s.temperaturePair[1][i] = 500.0f + 12000.0f * (1.0f - x * x);
        s.axialVelocity[i] = 800.0f * (1.0f - x * x);
        s.radialVelocity[i] = 0.0f;
    }
    s.enthalpyFluxIntegral = 0.5f * s.arcPower * 1000.0f / (2.0f * s.pi);  // 50 % efficiency
    s.stepIndex = 0;
    s.axialPosition = 0;
    return true;
}

void fakeChannel(SolverState& s, const ProgressCallback&) {
    const int next = std::min((s.stepIndex / 100 + 1) * 100, s.channelStepCount);
    if (fake.failChannelAt >= 0 && next >= fake.failChannelAt) {
        s.failFlag = 1;
        s.failReason = "the test channel gave up";
        return;
    }
    s.stepIndex = s.stationStep = next;
    s.axialPosition = static_cast<float>(next) * 0.02f;
}

void fakeJet(SolverState& s, const ProgressCallback&) {
    const int j = s.stepIndex + 1 - s.channelStepCount;
    if (j == fake.watchJetAt && fake.watch) fake.watch(0);
    if (j == fake.failJetAt) {
        s.failFlag = 1;
        s.failReason = "the test jet gave up";
        return;
    }
    s.stepIndex += 1;
    s.axialPosition = s.channelLength + jetDistance(j);
    fake.widestGrid = std::max(fake.widestGrid, s.radialNodeCount);
    if (fake.growEvery > 0 && j % fake.growEvery == 0) {
        s.jetNodeCount += 2;  // grid request: returns off-station
        if (fake.someAtStations && j % (2 * fake.growEvery) == 0) s.stationStep = s.stepIndex;
        return;
    }
    s.stationStep = s.stepIndex;
}

class StationLoopRun : public ::testing::Test {
protected:
    void SetUp() override {
        fake = FakeMarch{};
        state = std::make_unique<SolverState>();
        dir.write("un.dat", "1 1 1 1 \n");
        dir.write("ip.dat", " 1  8.00 14.00  500  35\n");
        dir.copyGasFile("ar.dat");
    }
    RunOutcome run() {
        const SolverModules modules{fakeInlet, fakeChannel, fakeJet};
        return runSolver(*state, dir.path(), [](int p) {
            fake.progress.push_back(p);
            if (fake.watch) fake.watch(p);
        }, modules);
    }
    std::vector<std::string> lines(const std::string& name) const {
        std::istringstream in(dir.read(name));
        std::vector<std::string> out;
        for (std::string line; std::getline(in, line);) out.push_back(line);
        return out;
    }
    // iop.par and the eight result files of an earlier run.
    static constexpr const char* kEarlierFiles[] = {"iop.par",  "ilt.res",   "ztu0.res",
                                                    "rtu0.res", "rtu5.res",  "rtu20.res",
                                                    "rtu50.res", "rtu100.res", "ftu.res"};
    void writeEarlierResults() const {
        for (const char* name : kEarlierFiles) dir.write(name, std::string("earlier ") + name + "\n");
    }
    void expectEarlierResultsUntouched() const {
        for (const char* name : kEarlierFiles)
            EXPECT_EQ(dir.read(name), std::string("earlier ") + name + "\n") << name;
    }
    test::TempDir dir;
    std::unique_ptr<SolverState> state;
};

TEST_F(StationLoopRun, MetricRecordsFallOnEveryMillimetreAndThePlanes) {
    const RunOutcome outcome = run();
    ASSERT_EQ(outcome.result, RunResult::Completed) << outcome.message;
    EXPECT_EQ(std::count(fake.progress.begin(), fake.progress.end(), -3), 1);

    const auto ilt = lines("ilt.res");
    ASSERT_EQ(ilt.size(), 201u);
    for (std::size_t k = 0; k < ilt.size(); ++k) {
        char expected[16];
        std::snprintf(expected, sizeof expected, "%6.1f", static_cast<double>(k));
        EXPECT_EQ(ilt[k].substr(0, 6), expected) << k;
    }
    EXPECT_EQ(lines("ztu0.res").size(), 201u);
    EXPECT_EQ(lines("ztu0.res")[0], "   0.0  12.50   800.00");
    EXPECT_EQ(lines("ftu.res").size(), 136u * 33u);
    EXPECT_EQ(lines("rtu0.res").size(), 41u);      // nodes 1, 3, ..., 81: the anode wall at 4 mm
    EXPECT_EQ(lines("rtu0.res").back().substr(0, 5), "  4.0");
    EXPECT_EQ(lines("rtu5.res").size(), 51u);      // after the first extension to 101 nodes
    EXPECT_EQ(lines("iop.par")[0], " 1  8.00 14.00  500  35 " + lines("iop.par")[0].substr(24));
    EXPECT_EQ(lines("iop.par")[1].substr(11), " 50");
    // Outside the grid at the nozzle exit the field record holds 500 K.
    EXPECT_EQ(lines("ftu.res")[10].substr(0, 8), "   500.0");
}

TEST_F(StationLoopRun, InchRecordsEndAtEightInchesAndPlanesMoveToWholeInches) {
    dir.write("un.dat", "2 1 1 1 \n");
    dir.write("ip.dat", " 1  0.30  0.55  500  35\n");
    ASSERT_EQ(run().result, RunResult::Completed);
    const auto ilt = lines("ilt.res");
    ASSERT_EQ(ilt.size(), 205u);
    EXPECT_EQ(ilt[203].substr(0, 6), " 203.0");
    EXPECT_EQ(ilt[204].substr(0, 6), " 203.2");
    EXPECT_EQ(lines("ftu.res").size(), 136u * 33u);
    EXPECT_EQ(lines("iop.par")[0].substr(0, 14), " 1  0.30  0.55");
    EXPECT_EQ(lines("rtu20.res").size(), 49u);  // 7.6 mm anode: 77 + 20 nodes
}

TEST_F(StationLoopRun, GridGrowthStopsAtTheNodeCapacity) {
    fake.growEvery = 3;
    ASSERT_EQ(run().result, RunResult::Completed);
    EXPECT_EQ(state->radialNodeCount, kMaxNodes);
    EXPECT_EQ(fake.widestGrid, kMaxNodes);
    EXPECT_EQ(lines("rtu100.res").size(), 131u);
    EXPECT_EQ(lines("ilt.res").size(), 201u);
    EXPECT_EQ(state->jetSimpsonWeight[kMaxNodes], 1.0f);
    EXPECT_EQ(state->axialVelocity[kMaxNodes - 1], state->ambientVelocity);
}

TEST_F(StationLoopRun, RequestsMeetingAStationAddUpWithoutPassingTheCapacity) {
    fake.growEvery = 3;
    fake.someAtStations = true;
    ASSERT_EQ(run().result, RunResult::Completed);
    EXPECT_EQ(state->radialNodeCount, kMaxNodes);
    EXPECT_LE(state->jetNodeCount, kMaxNodes);
    EXPECT_EQ(lines("ftu.res").size(), 136u * 33u);
}

TEST_F(StationLoopRun, FailureInTheChannelLeavesEarlierFilesAndNeverReportsTheNozzleExit) {
    writeEarlierResults();
    fake.failChannelAt = 300;
    const RunOutcome outcome = run();
    EXPECT_EQ(outcome.result, RunResult::NotCalculable);
    EXPECT_NE(outcome.message.find("the test channel gave up"), std::string::npos);
    EXPECT_EQ(std::count(fake.progress.begin(), fake.progress.end(), -3), 0);
    expectEarlierResultsUntouched();
}

TEST_F(StationLoopRun, FailureInTheJetKeepsIopParAndTheRecordsWrittenSoFar) {
    writeEarlierResults();
    fake.failJetAt = 600;  // 15 mm
    EXPECT_EQ(run().result, RunResult::NotCalculable);
    EXPECT_EQ(std::count(fake.progress.begin(), fake.progress.end(), -3), 1);
    EXPECT_EQ(lines("iop.par").size(), 2u);
    EXPECT_EQ(lines("ilt.res").size(), 15u);  // 0 .. 14 mm, flushed and closed
    EXPECT_EQ(lines("rtu5.res").size(), 51u);
    EXPECT_EQ(dir.read("rtu20.res"), "");
}

TEST_F(StationLoopRun, AnUnwritableIopParLeavesTheEarlierResultFilesWhole) {
    writeEarlierResults();
    std::filesystem::remove(dir.file("iop.par"));
    std::filesystem::create_directory(dir.file("iop.par"));  // cannot be replaced by a file
    const RunOutcome outcome = run();
    EXPECT_EQ(outcome.result, RunResult::OutputFault);
    EXPECT_NE(outcome.message.find("iop.par"), std::string::npos) << outcome.message;
    EXPECT_EQ(std::count(fake.progress.begin(), fake.progress.end(), -3), 0);
    for (const char* name : {"ilt.res", "ztu0.res", "rtu0.res", "rtu100.res", "ftu.res"})
        EXPECT_EQ(dir.read(name), std::string("earlier ") + name + "\n") << name;
}

TEST_F(StationLoopRun, BadInputIsNamedAndNothingIsWritten) {
    writeEarlierResults();
    const std::string gas = dir.read("ar.dat");
    struct Case {
        const char* file;
        std::string text;  // empty: remove the file
        const char* named;
    };
    const Case cases[] = {
        {"un.dat", "", "un.dat"},
        {"un.dat", "1 1\n", "un.dat"},
        {"un.dat", "3 1 1 1 \n", "length code"},
        {"un.dat", "1 4 1 1 \n", "temperature code"},
        {"un.dat", "1 1 x 1 \n", "un.dat"},
        {"ip.dat", "", "ip.dat"},
        {"ip.dat", " 1  8.00 14.00  500\n", "truncated"},
        {"ip.dat", " 3  8.00 14.00  500  35\n", "gas code 3"},
        {"ip.dat", "15  8.00 14.00  500  35\n", "gas code 15"},
        {"ip.dat", " 1  8.0x 14.00  500  35\n", "diameter"},
        {"ip.dat", " 1  8.00 14.00  5O0  35\n", "current"},
        {"ip.dat", "1 8 14 500 35\n", "ip.dat"},
        {"ip.dat", " 1  8.00 14.00  500 1350\n", "more than its five fields"},
        {"un.dat", "111 1 1 \n", "columns 1, 3, 5 and 7"},
        {"ar.dat", gas.substr(0, 3000), "fewer than 432"},
        {"ar.dat", "7" + gas.substr(1), "temperature grid"},
    };
    for (const Case& c : cases) {
        SetUp();
        writeEarlierResults();
        if (c.text.empty()) std::remove(dir.file(c.file).c_str());
        else dir.write(c.file, c.text);
        const RunOutcome outcome = run();
        EXPECT_EQ(outcome.result, RunResult::BadInput) << c.file << ": " << c.text;
        EXPECT_NE(outcome.message.find(c.named), std::string::npos) << outcome.message;
        EXPECT_TRUE(fake.progress.empty());
        expectEarlierResultsUntouched();
    }
}

// ----- How the output files replace an earlier set ----------------------------------

// The output files present in the directory, with the first word of each
// ("earlier" for the set of an earlier run), and whether a hidden temporary
// file lies beside them.
struct DirectoryView {
    std::vector<std::string> present;
    std::vector<std::string> earlier;
    int temporaries = 0;
};
const test::TempDir* watchedDir = nullptr;
std::vector<DirectoryView> views;

DirectoryView viewOf(const test::TempDir& dir) {
    DirectoryView view;
    for (const char* name : {"iop.par", "ilt.res", "ztu0.res", "rtu0.res", "rtu5.res", "rtu20.res", "rtu50.res",
                             "rtu100.res", "ftu.res"}) {
        if (!dir.exists(name)) continue;
        view.present.push_back(name);
        if (dir.read(name).rfind("earlier", 0) == 0) view.earlier.push_back(name);
    }
    for (const auto& entry : std::filesystem::directory_iterator(dir.path()))
        view.temporaries += entry.path().filename().string().rfind(".torvex-tmp.", 0) == 0 ? 1 : 0;
    return view;
}

void recordView(int progress) {
    if (progress == kNozzleExitProgress || progress == 0) views.push_back(viewOf(*watchedDir));
}

// The earlier set stays whole until the nozzle exit; from then on the new
// iop.par stands alone while the jet is marched; at the end the new set
// stands complete. Temporary files exist only during the run.
TEST_F(StationLoopRun, TheNewIopParStandsAloneDuringTheJetAndTheSetIsCompleteAtTheEnd) {
    writeEarlierResults();
    views.clear();
    watchedDir = &dir;
    fake.watch = recordView;
    fake.watchJetAt = 900;  // 30 mm
    ASSERT_EQ(run().result, RunResult::Completed);
    ASSERT_EQ(views.size(), 2u);
    for (const DirectoryView& view : views) {
        EXPECT_EQ(view.present, std::vector<std::string>{"iop.par"});
        EXPECT_TRUE(view.earlier.empty());
        EXPECT_EQ(view.temporaries, 8);  // the result files being written
    }
    const DirectoryView end = viewOf(dir);
    EXPECT_EQ(end.present.size(), 9u);
    EXPECT_TRUE(end.earlier.empty());
    EXPECT_EQ(end.temporaries, 0);
}

TEST_F(StationLoopRun, AJetCutShortPutsItsWholeRecordsInPlaceEndingWhereTheMarchEnded) {
    writeEarlierResults();
    fake.failJetAt = 2100;  // 160 mm
    ASSERT_EQ(run().result, RunResult::NotCalculable);
    const DirectoryView end = viewOf(dir);
    EXPECT_EQ(end.present.size(), 9u);
    EXPECT_TRUE(end.earlier.empty());
    EXPECT_EQ(end.temporaries, 0);
    const auto ztu = lines("ztu0.res");
    ASSERT_EQ(ztu.size(), 160u);  // 0 .. 159 mm
    EXPECT_EQ(ztu.back().substr(0, 6), " 159.0");
    EXPECT_EQ(lines("rtu100.res").size(), 51u);
}

TEST_F(StationLoopRun, ADirectoryInPlaceOfAnyOutputStopsTheRunBeforeAnythingChanges) {
    for (const char* name : kEarlierFiles) {
        SetUp();
        writeEarlierResults();
        std::filesystem::remove(dir.file(name));
        std::filesystem::create_directory(dir.file(name));
        const RunOutcome outcome = run();
        EXPECT_EQ(outcome.result, RunResult::OutputFault) << name;
        EXPECT_NE(outcome.message.find(dir.file(name)), std::string::npos) << outcome.message;
        EXPECT_TRUE(fake.progress.empty()) << name;
        const DirectoryView view = viewOf(dir);
        EXPECT_EQ(view.earlier.size(), 8u) << name;
        EXPECT_EQ(view.temporaries, 0) << name;
        std::filesystem::remove(dir.file(name));
    }
}

TEST_F(StationLoopRun, ARunIsRefusedWhileAnotherHoldsTheDirectory) {
    writeEarlierResults();
    const WorkDirLock other(dir.path());
    ASSERT_TRUE(other.held());
    const RunOutcome outcome = run();
    EXPECT_EQ(outcome.result, RunResult::Busy);
    EXPECT_NE(outcome.message.find(dir.path()), std::string::npos) << outcome.message;
    EXPECT_TRUE(fake.progress.empty());
    expectEarlierResultsUntouched();
}

TEST_F(StationLoopRun, MessagesNameTheDirectoryInFullAndTheFaultAsItIs) {
    // The current directory is named by its full path, never ".".
    const std::string saved = std::filesystem::current_path().string();
    std::filesystem::current_path(dir.path());
    std::remove(dir.file("ip.dat").c_str());
    const RunOutcome missing = run();
    std::filesystem::current_path(saved);
    EXPECT_EQ(missing.result, RunResult::BadInput);
    EXPECT_NE(missing.message.find(std::filesystem::canonical(dir.path()).string() + "/ip.dat is missing"),
              std::string::npos) << missing.message;
    EXPECT_EQ(missing.message.find("/./"), std::string::npos) << missing.message;

    // A regular file where the working directory should be is not "missing".
    const SolverModules modules{fakeInlet, fakeChannel, fakeJet};
    const RunOutcome file = runSolver(*state, dir.file("un.dat"), nullptr, modules);
    EXPECT_EQ(file.result, RunResult::BadInput);
    EXPECT_NE(file.message.find("is not a directory"), std::string::npos) << file.message;
}

// A gas table of the working directory that cannot be read is reported, not
// silently replaced by the packaged one.
TEST_F(StationLoopRun, AnUnreadableGasFileInTheDirectoryIsNotPassedOver) {
    writeEarlierResults();
    std::filesystem::remove(dir.file("ar.dat"));
    std::filesystem::create_symlink("/dev/zero", dir.file("ar.dat"));
    const RunOutcome outcome = run();
    EXPECT_EQ(outcome.result, RunResult::BadInput);
    EXPECT_NE(outcome.message.find(dir.file("ar.dat") + " is a device"), std::string::npos) << outcome.message;
    expectEarlierResultsUntouched();
}

} // namespace
} // namespace torvex
