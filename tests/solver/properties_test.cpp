#include "solver/files.h"
#include "solver/properties.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <memory>

namespace torvex {
namespace {

// Argon table loaded from the data folder, with one node per case.
class PropertyInterpolation : public ::testing::Test {
protected:
    void SetUp() override {
        state = std::make_unique<SolverState>();
        ASSERT_TRUE(readGasFile(test::sourceDataFile("ar.dat"), *state).ok);
    }
    // Evaluates one node at temperature t and returns the clamped temperature.
    float evaluateAt(float t) {
        state->radialNodeCount = 1;
        state->temperature[1] = t;
        evaluateProperties(*state);
        return state->temperature[1];
    }
    float row(int block, int r) const { return state->propertyTable[block][r]; }
    const NodeArray& property(int block) const {
        switch (block) {
        case 3: return state->density;
        case 4: return state->heatCapacity;
        case 5: return state->radiationLoss;
        case 6: return state->viscosity;
        case 7: return state->thermalConductivity;
        default: return state->electricalConductivity;
        }
    }
    std::unique_ptr<SolverState> state;
};

TEST_F(PropertyInterpolation, ClampsBelowAndAboveTheTableAndStoresTheClampBack) {
    EXPECT_EQ(evaluateAt(250.0f), 300.0f);
    for (int block = 3; block <= 8; ++block) EXPECT_EQ(property(block)[1], row(block, 1)) << block;

    EXPECT_EQ(evaluateAt(30000.0f), 23000.0f);
    for (int block = 3; block <= 8; ++block) EXPECT_EQ(property(block)[1], row(block, 47)) << block;
    evaluateAt(23000.0f);
    for (int block = 3; block <= 8; ++block) EXPECT_EQ(property(block)[1], row(block, 47)) << block;
}

TEST_F(PropertyInterpolation, UsesTheNominalStepOf200KelvinInTheFirstInterval) {
    evaluateAt(400.0f);
    for (int block = 3; block <= 8; ++block)
        EXPECT_FLOAT_EQ(property(block)[1], row(block, 1) + (row(block, 2) - row(block, 1)) * 100.0f / 200.0f) << block;
    evaluateAt(500.0f);
    for (int block = 3; block <= 8; ++block) EXPECT_EQ(property(block)[1], row(block, 2)) << block;
    evaluateAt(750.0f);
    for (int block = 3; block <= 8; ++block)
        EXPECT_FLOAT_EQ(property(block)[1], (row(block, 2) + row(block, 3)) / 2.0f) << block;
}

TEST_F(PropertyInterpolation, TouchesOnlyNodesUpToTheNodeCount) {
    state->radialNodeCount = 2;
    state->temperature[1] = 250.0f;
    state->temperature[2] = 9000.0f;
    state->temperature[3] = 100.0f;
    state->density[3] = -1.0f;
    evaluateProperties(*state);
    EXPECT_EQ(state->temperature[3], 100.0f);
    EXPECT_EQ(state->density[3], -1.0f);
    EXPECT_EQ(state->density[2], row(3, 19));  // 9000 K is row 19
}

TEST_F(PropertyInterpolation, ColdValuesComeFromThe300KelvinRow) {
    setColdValues(*state);
    EXPECT_EQ(state->coldDensity, row(3, 1));
    EXPECT_EQ(state->coldHeatCapacity, row(4, 1));
    EXPECT_GT(state->coldDensity, 1.0f);  // argon at 300 K is about 1.6 kg/m3
}

} // namespace
} // namespace torvex
