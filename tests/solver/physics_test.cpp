// Physical checks that the reference results would merely freeze: values
// worked out by hand from the model's formulas, shapes and identities that
// hold whatever the march computes, and the cold-gas and fill rules that
// the reference variants touch only lightly.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>
#include <sstream>
#include <vector>

#include "solver/files.h"
#include "solver/inlet.h"
#include "solver/isotherms.h"
#include "solver/jet_grid.h"
#include "solver/normalise.h"
#include "solver/properties.h"
#include "solver/scheme.h"
#include "solver/solver.h"
#include "tests/support/temp_dir.h"

namespace torvex {
namespace {

// The fields the driver fills before the characteristics: an anode of
// `tenths` tenths of a millimetre, its class, current and flow.
std::unique_ptr<SolverState> plasmatron(int gas, int tenths, int diameterClass, int current, float flowSlpm) {
    auto s = std::make_unique<SolverState>();
    s->gasCode = gas;
    s->diameterTenths = tenths;
    s->anodeDiameter = static_cast<float>(tenths) * 0.1f;
    s->diameterClass = diameterClass;
    s->arcCurrent = current;
    s->gasFlowSlpm = flowSlpm;
    s->radialNodeCount = tenths + 1;
    for (int i = 1; i <= s->radialNodeCount; ++i) {
        s->radius[i] = static_cast<float>(i - 1) * s->radialStep;
        s->simpsonWeight[i] = simpsonWeightAt(i, s->radialNodeCount);
    }
    computeCharacteristics(*s);
    return s;
}

TEST(HandWorkedVoltages, EveryGasCodeAtFourHundredAmpsAndFortyFiveLitres) {
    // U = K1 (c/I)^a (G/40)^b (6/D)^e, U_in = k2 G/(6.67 K) (nitrogen
    // 24 G/40), U_ch = U - U_in - k3 (argon k3 = 12 (I/(125 K - 300))^0.2),
    // worked out in double precision for I = 400 A, G = 45 l/min, D = 8 mm,
    // K = 8, from the coefficient table of the model.
    struct Expected {
        int gas;
        double arc, inlet, channel;
    };
    const Expected table[] = {
        {1, 30.185009, 6.746627, 12.709026},  {2, 68.498970, 27.000000, 21.498970},
        {5, 50.475296, 8.433283, 24.542013},  {6, 56.251494, 9.698276, 28.553218},
        {7, 61.757920, 10.541604, 32.716316}, {8, 67.301413, 11.384933, 36.916480},
        {9, 72.343360, 12.228261, 40.615099}, {10, 32.327171, 6.915292, 15.411878},
        {11, 34.469332, 7.252624, 16.716709}, {12, 36.611494, 7.589955, 18.021539},
        {13, 38.753656, 7.927286, 19.326370}, {14, 40.895818, 8.264618, 20.631201},
    };
    for (const Expected& e : table) {
        const auto s = plasmatron(e.gas, 80, 8, 400, 45.0f);
        EXPECT_NEAR(s->arcVoltage, e.arc, 2e-6 * e.arc) << "gas " << e.gas;
        EXPECT_NEAR(s->inletVoltage, e.inlet, 2e-6 * e.inlet) << "gas " << e.gas;
        EXPECT_NEAR(s->channelVoltage, e.channel, 1e-5 * e.channel) << "gas " << e.gas;
        EXPECT_NEAR(s->arcPowerW, 400.0 * e.arc, 2e-6 * 400.0 * e.arc) << "gas " << e.gas;
    }
}

TEST(HandWorkedBounds, EveryGasClampsLengthCurrentAndFlowOfAnEightMillimetreAnode) {
    // The bounds of the model's ranges for diameter class 8, worked out by
    // hand from the bound formulas of each gas: anode length (mm), current
    // (A), flow in SLPM and in SCFH.
    struct Bounds {
        int gas;
        int length[2], current[2], slpm[2], scfh[2];
    };
    const Bounds table[] = {
        {1, {14, 28}, {500, 900}, {35, 80}, {70, 160}},  {2, {21, 35}, {250, 450}, {40, 70}, {85, 140}},
        {5, {14, 35}, {500, 900}, {35, 80}, {75, 160}},  {6, {14, 35}, {500, 750}, {40, 80}, {85, 160}},
        {7, {14, 35}, {500, 750}, {40, 80}, {85, 160}},  {8, {14, 35}, {500, 700}, {45, 80}, {95, 160}},
        {9, {14, 35}, {500, 700}, {45, 80}, {95, 160}},  {10, {14, 35}, {500, 950}, {35, 80}, {70, 160}},
        {11, {14, 35}, {500, 950}, {35, 80}, {70, 160}}, {12, {14, 35}, {500, 950}, {35, 80}, {70, 160}},
        {13, {14, 35}, {500, 950}, {35, 80}, {70, 160}}, {14, {14, 35}, {500, 950}, {35, 80}, {70, 160}},
    };
    for (const Bounds& b : table) {
        for (int flowUnit : {1, 2}) {
            const int* flow = flowUnit == 1 ? b.slpm : b.scfh;
            for (int side = 0; side < 2; ++side) {
                auto s = std::make_unique<SolverState>();
                s->gasCode = b.gas;
                s->flowUnit = flowUnit;
                const bool low = side == 0;
                normaliseInputs(*s, RawInputs{8.0f, low ? 1.0f : 999.0f, low ? 1 : 9999, low ? 1 : 999});
                ASSERT_EQ(s->diameterClass, 8);
                EXPECT_EQ(s->anodeLengthMm, b.length[side]) << "gas " << b.gas;
                EXPECT_EQ(s->arcCurrent, b.current[side]) << "gas " << b.gas;
                EXPECT_EQ(s->gasFlow, flow[side]) << "gas " << b.gas << " flow unit " << flowUnit;
            }
        }
    }
}

TEST(InletProfileShape, TemperatureFallsAsOneMinusTheRadiusToTwiceTheExponent) {
    // T_i = 500 K + T_ax (1 - (r_i/R)^(2A)): argon A = 2, nitrogen A = 0.68.
    // (T - 500)/(T_1 - 500) at r/R = 1/4, 1/2, 3/4 and 1, by hand.
    struct Shape {
        int gas;
        int current;
        double ratio[4];
    };
    const Shape shapes[] = {
        {1, 400, {0.99609375, 0.9375, 0.68359375, 0.0}},
        {2, 300, {1.0 - std::pow(0.25, 1.36), 1.0 - std::pow(0.5, 1.36), 1.0 - std::pow(0.75, 1.36), 0.0}},
    };
    for (const Shape& shape : shapes) {
        auto s = plasmatron(shape.gas, 60, 6, shape.current, 40.0f);
        ASSERT_TRUE(readGasFile(test::sourceDataFile(gasFileName(shape.gas)), *s).ok);
        setColdValues(*s);
        computeMassFlow(*s);
        ASSERT_TRUE(buildInletState(*s)) << s->failReason;
        const double rise = s->temperature[1] - 500.0;
        EXPECT_NEAR(rise, s->axisTemperature, 1e-3 * rise) << "gas " << shape.gas;
        const int nodes[] = {16, 31, 46, 61};  // r/R = 0.25, 0.5, 0.75, 1 on the 6 mm grid
        for (int k = 0; k < 4; ++k) {
            const double ratio = (s->temperature[nodes[k]] - 500.0) / rise;
            EXPECT_NEAR(ratio, shape.ratio[k], 2e-5) << "gas " << shape.gas << " node " << nodes[k];
        }
    }
}

TEST(IsothermSearch, LeavesTheStoredKelvinUntouchedInEveryTemperatureUnit) {
    auto s = std::make_unique<SolverState>();
    const int n = 41;
    s->radialNodeCount = n;
    NodeArray profile{};
    for (int i = 1; i <= n; ++i) {
        s->radius[i] = static_cast<float>(i - 1) * s->radialStep;
        const float x = s->radius[i] / 0.001f;
        // Values with full float mantissas, as a march leaves them.
        profile[i] = 500.0f + 12345.678f * std::exp(-x * x) + 0.001f * static_cast<float>(i);
    }
    for (int unit : {1, 2, 3}) {
        s->temperatureUnit = unit;
        s->temperaturePair[1] = profile;
        searchIsotherms(*s);
        EXPECT_EQ(0, std::memcmp(&s->temperaturePair[1], &profile, sizeof profile)) << "unit " << unit;
        // The same section in kelvin, degC and degF puts each isotherm where
        // its level lies: 2000 K, 2000 degC = 2273 K, 3000 degF = 1922.4 K.
        const float levelKelvin = unit == 1   ? 2000.0f
                                  : unit == 3 ? 2273.0f
                                              : (3000.0f - 32.0f) / 1.8f + 273.0f;
        int i = 1;
        while (profile[i + 1] > levelKelvin) ++i;
        const float expected = 1000.0f * (s->radius[i] + (profile[i] - levelKelvin) /
                                                             (profile[i] - profile[i + 1]) * s->radialStep);
        EXPECT_NEAR(s->isothermRadius[1], expected, 2e-4f) << "unit " << unit;
    }
}

TEST(InputParameterFile, FourDigitCurrentAndTheWidestFieldsReadBackExactly) {
    test::TempDir dir;
    ASSERT_TRUE(writeInputParameters(dir.file("ip.dat"), VariantInputs{14, 11.0, 99.99, 1400, 110}));
    EXPECT_EQ(dir.read("ip.dat"), "14 11.00 99.99 1400 110\n");
    auto s = std::make_unique<SolverState>();
    float d = 0, l = 0;
    int current = 0, flow = 0;
    ASSERT_TRUE(readSolverInputs(dir.file("ip.dat"), *s, d, l, current, flow).ok);
    EXPECT_EQ(s->gasCode, 14);
    EXPECT_EQ(d, 11.0f);
    EXPECT_EQ(l, 99.99f);
    EXPECT_EQ(current, 1400);
    EXPECT_EQ(flow, 110);

    dir.write("ip.dat", " 1 99.99 99.99 9999 999\n");
    ASSERT_TRUE(readSolverInputs(dir.file("ip.dat"), *s, d, l, current, flow).ok);
    EXPECT_EQ(d, 99.99f);
    EXPECT_EQ(current, 9999);
    EXPECT_EQ(flow, 999);

    // A four-digit flow does not fit its three columns: the line is refused
    // with the file named, never read with its fields shifted.
    ASSERT_TRUE(writeInputParameters(dir.file("ip.dat"), VariantInputs{1, 8.0, 14.0, 1000, 1000}));
    const ReadStatus status = readSolverInputs(dir.file("ip.dat"), *s, d, l, current, flow);
    EXPECT_FALSE(status.ok);
    EXPECT_NE(status.message.find(dir.file("ip.dat")), std::string::npos) << status.message;
}

TEST(Enthalpy, TrapezoidWithTheMeanHeatCapacityOfEachPair) {
    auto s = std::make_unique<SolverState>();
    s->radialNodeCount = 5;
    const float t[] = {0, 1000, 800, 700, 600, 500};
    const float cp[] = {0, 1000, 2000, 3000, 4000, 5000};
    for (int i = 1; i <= 5; ++i) {
        s->temperaturePair[2][i] = t[i];
        s->heatCapacity[i] = cp[i];
    }
    computeEnthalpy(*s);
    // H_i = H_i+1 + (T_i - T_i+1)(c_i + c_i+1)/2 from H_5 = 0, by hand.
    const float expected[] = {0, 1350000, 1050000, 800000, 450000, 0};
    for (int i = 1; i <= 5; ++i) EXPECT_EQ(s->enthalpy[i], expected[i]) << "node " << i;
}

// A table whose 300 K and 500 K rows differ in every block: the cold-gas
// values must come from the 300 K row.
void distinctColdRows(SolverState& s) {
    ASSERT_TRUE(readGasFile(test::sourceDataFile("ar.dat"), s).ok);
    for (int block = 3; block <= 8; ++block)
        s.propertyTable[block][2] = 1.5f * s.propertyTable[block][1] + 1.0f;
}

TEST(ColdGas, DensityAndHeatCapacityComeFromTheThreeHundredKelvinRow) {
    auto nitrogen = std::make_unique<SolverState>();
    ASSERT_TRUE(readGasFile(test::sourceDataFile("n2.dat"), *nitrogen).ok);
    setColdValues(*nitrogen);
    EXPECT_EQ(nitrogen->coldDensity, nitrogen->propertyTable[3][1]);
    EXPECT_EQ(nitrogen->coldHeatCapacity, nitrogen->propertyTable[4][1]);
    EXPECT_NE(nitrogen->propertyTable[4][1], nitrogen->propertyTable[4][2]);

    auto s = std::make_unique<SolverState>();
    distinctColdRows(*s);
    setColdValues(*s);
    EXPECT_EQ(s->coldDensity, s->propertyTable[3][1]);
    EXPECT_EQ(s->coldHeatCapacity, s->propertyTable[4][1]);
    s->gasFlowSlpm = 60.0f;
    computeMassFlow(*s);
    EXPECT_EQ(s->massFlow, s->propertyTable[3][1] * 60.0f / 60000.0f);
}

TEST(ColdGas, NewJetNodesCarryTheColdGasFluxesAndTheirRadiation) {
    auto s = std::make_unique<SolverState>();
    distinctColdRows(*s);
    setColdValues(*s);
    const int n = 21;
    s->radialNodeCount = n;
    s->jetNodeCount = n + 2;
    for (int i = 1; i <= n; ++i) {
        s->radius[i] = static_cast<float>(i - 1) * s->radialStep;
        s->temperature[i] = s->temperaturePair[1][i] = 9000.0f - 400.0f * static_cast<float>(i);
        s->axialVelocity[i] = s->axialVelocityPair[1][i] = 300.0f - 14.0f * static_cast<float>(i);
    }
    extendJetGrid(*s);
    ASSERT_EQ(s->radialNodeCount, n + 2);
    const float cold = s->propertyTable[3][1];
    const float coldCp = s->propertyTable[4][1];
    for (int i = n + 1; i <= n + 2; ++i) {
        const float r = static_cast<float>(i - 1) * s->radialStep;
        EXPECT_EQ(s->temperaturePair[1][i], s->temperature[n]) << i;
        EXPECT_EQ(s->axialFluxCoef[2][i], r * s->ambientVelocity * cold) << i;
        EXPECT_EQ(s->axialFluxCoef[1][i], r * s->ambientVelocity * cold * coldCp) << i;
        EXPECT_EQ(s->sourceCoef[1][i], -r * s->radiationLoss[i]) << i;
        EXPECT_NE(s->radiationLoss[i], 0.0f) << i;
    }
    // The old edge node moves half way to the surrounding gas.
    const float edge = (300.0f - 14.0f * static_cast<float>(n - 1) + s->ambientVelocity) / 2.0f;
    EXPECT_EQ(s->axialVelocityPair[1][n], edge);
    EXPECT_EQ(s->axialFluxCoef[1][n], s->radius[n] * edge * cold * coldCp);
}

// The reference argon run, once, for the checks on its files.
class ArgonFiles : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        dir_ = new test::TempDir;
        dir_->write("un.dat", "1 1 1 1 \n");
        dir_->write("ip.dat", " 1  8.00 14.00  500  35\n");
        dir_->copyGasFile("ar.dat");
        auto s = std::make_unique<SolverState>();
        outcome_ = runSolver(*s, dir_->path(), nullptr);
    }
    static void TearDownTestSuite() {
        delete dir_;
        dir_ = nullptr;
    }
    static std::vector<std::vector<double>> numbers(const std::string& text) {
        std::vector<std::vector<double>> lines;
        std::istringstream in(text);
        std::string line;
        while (std::getline(in, line)) {
            std::istringstream fields(line);
            std::vector<double> values;
            double v = 0;
            while (fields >> v) values.push_back(v);
            lines.push_back(values);
        }
        return lines;
    }
    static test::TempDir* dir_;
    static RunOutcome outcome_;
};
test::TempDir* ArgonFiles::dir_ = nullptr;
RunOutcome ArgonFiles::outcome_;

TEST_F(ArgonFiles, FieldFileBeyondTheGridFallsByThirtyThreeKelvinANodeToRoomTemperature) {
    ASSERT_EQ(outcome_.result, RunResult::Completed) << outcome_.message;
    const auto lines = numbers(dir_->read("ftu.res"));
    ASSERT_EQ(lines.size(), 136u * 33u);
    int recordsReachingRoomTemperature = 0;
    for (std::size_t record = 0; record < 136; ++record) {
        std::vector<double> t, u, v;
        for (int block = 0; block < 3; ++block)
            for (int k = 0; k < 11; ++k) {
                const auto& line = lines[record * 33 + static_cast<std::size_t>(block * 11 + k)];
                auto& target = block == 0 ? t : block == 1 ? u : v;
                target.insert(target.end(), line.begin(), line.end());
            }
        ASSERT_EQ(t.size(), 101u);
        // Inside the grid the gas moves at least at the ambient velocity.
        std::size_t inside = 0;
        while (inside < 101 && u[inside] > 0.0) ++inside;
        ASSERT_GT(inside, 0u);
        if (record == 0) {
            EXPECT_EQ(inside, 17u);  // nodes 1, 6, ..., 81 of the 8 mm anode
            for (std::size_t j = inside; j < 101; ++j) EXPECT_EQ(t[j], 500.0) << "value " << j + 1;
        } else {
            for (std::size_t j = inside; j < 101; ++j)
                EXPECT_NEAR(t[j], std::max(t[j - 1] - 33.3, 300.0), 0.051)
                    << "record " << record + 1 << " value " << j + 1;
            recordsReachingRoomTemperature += t[100] == 300.0;
        }
        for (std::size_t j = inside; j < 101; ++j) {
            EXPECT_EQ(u[j], 0.0);
            EXPECT_EQ(v[j], 0.0);
        }
    }
    EXPECT_EQ(recordsReachingRoomTemperature, 135);
}

TEST_F(ArgonFiles, TemperatureUnitChangesTheIsothermsAlone) {
    ASSERT_EQ(outcome_.result, RunResult::Completed) << outcome_.message;
    for (const char* units : {"1 3 1 1 \n", "1 2 1 1 \n"}) {
        test::TempDir other;
        other.write("un.dat", units);
        other.write("ip.dat", dir_->read("ip.dat"));
        other.copyGasFile("ar.dat");
        auto s = std::make_unique<SolverState>();
        ASSERT_EQ(runSolver(*s, other.path(), nullptr).result, RunResult::Completed);
        for (const char* name : {"iop.par", "ztu0.res", "rtu0.res", "rtu5.res", "rtu20.res", "rtu50.res",
                                 "rtu100.res", "ftu.res"})
            EXPECT_EQ(other.read(name), dir_->read(name)) << name << " with un.dat " << units;
        EXPECT_NE(other.read("ilt.res"), dir_->read("ilt.res"));
    }
}

}  // namespace
}  // namespace torvex
