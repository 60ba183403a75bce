#include "tests/particles/spray_fixture.h"

#include "solver/files.h"
#include "solver/solver.h"

#include <gtest/gtest.h>

namespace torvex::particles::test {

JetField uniformField(double temperature, double axialVelocity, const UniformGas& gas) {
    JetField f;
    f.recordCount = kFieldRecords;
    const std::size_t n = static_cast<std::size_t>(kFieldRecords) * kFieldRadii;
    f.temperature.assign(n, static_cast<float>(temperature));
    f.axialVelocity.assign(n, static_cast<float>(axialVelocity));
    f.radialVelocity.assign(n, 0.0f);
    for (int row = 1; row <= kTableRows; ++row) {
        f.gasTable[1][row] = row == 1 ? 300.0f : 500.0f * static_cast<float>(row - 1);
        f.gasTable[3][row] = static_cast<float>(gas.density);
        f.gasTable[4][row] = static_cast<float>(gas.heatCapacity);
        f.gasTable[6][row] = static_cast<float>(gas.viscosity);
        f.gasTable[7][row] = static_cast<float>(gas.conductivity);
    }
    prepareGasTable(f);
    return f;
}

Material plainMaterial(double meltingPoint, double boilingPoint) {
    Material m;
    m.key = "plain";
    m.name = "Plain test material";
    m.densitySolid = m.densityLiquid = 4000;
    m.heatCapacitySolid = m.heatCapacityLiquid = 800;
    m.conductivitySolid = m.conductivityLiquid = 2;
    m.meltingPoint = meltingPoint;
    m.latentHeatFusion = 5e5;
    m.boilingPoint = boilingPoint;
    m.latentHeatVaporisation = 5e6;
    m.vapourPressureEnthalpy = 5e6;
    m.emissivity = 0;
    m.molarMass = 0.1;
    return m;
}

Material packagedMaterial(const std::string& key) {
    MaterialTable table;
    const MaterialStatus status = readMaterialFile(torvex::test::sourceDataFile("materials.csv"), table);
    EXPECT_TRUE(status.ok) << status.message;
    const Material* m = table.find(key);
    EXPECT_NE(m, nullptr) << key;
    return m ? *m : Material{};
}

const torvex::test::TempDir& argonVariant() {
    static const torvex::test::TempDir dir;  // removed when the test program ends
    static const bool computed = [] {
        dir.write("un.dat", "1 1 1 1 \n");
        dir.write("ip.dat", " 1  8.00 14.00  500  35\n");
        const RunOutcome outcome = runSolver(dir.path(), [](int) {});
        EXPECT_EQ(outcome.result, RunResult::Completed) << outcome.message;
        return true;
    }();
    (void)computed;
    return dir;
}

const JetField& argonJet() {
    static const JetField field = [] {
        JetField f;
        const FieldStatus status = readJetField(argonVariant().path(), f);
        EXPECT_TRUE(status.ok) << status.message;
        return f;
    }();
    return field;
}

} // namespace torvex::particles::test
