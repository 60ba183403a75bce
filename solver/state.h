// The solver's one shared record: inputs, grid, march counters, node arrays,
// the gas property table, the coefficient tables and the station pairs.
//
// Every real is a 4-byte float and every integer a 32-bit int, so that the
// march rounds exactly the same way on every machine. Node arrays hold
// kMaxNodes entries indexed from 1 (node 1 on the axis); entry 0 is unused.
#pragma once

#include <array>
#include <cstdint>

namespace torvex {

constexpr int kMaxNodes = 261;

// One value per radial node, indexed 1..kMaxNodes.
using NodeArray = std::array<float, kMaxNodes + 1>;

// Four slots per node: 1 previous-station energy, 2 previous-station momentum,
// 3 current-station energy, 4 current-station momentum. Index [slot][node].
using CoefficientTable = std::array<NodeArray, 5>;
constexpr int kPreviousEnergySlot = 1;
constexpr int kPreviousMomentumSlot = 2;
constexpr int kCurrentEnergySlot = 3;
constexpr int kCurrentMomentumSlot = 4;

// Entry 1 = the last converged station, entry 2 = the station being solved.
// Index [entry][node].
using StationPair = std::array<NodeArray, 3>;

// Table rows 1..48 of blocks 1..9; index [block][row].
constexpr int kTableRows = 48;
constexpr int kTableBlocks = 9;
using PropertyTable = std::array<std::array<float, kTableRows + 1>, kTableBlocks + 1>;

struct SolverState {
    // --- Units and inputs -------------------------------------------------
    int32_t lengthUnit = 1;       // 1 millimetres, 2 inches
    int32_t temperatureUnit = 1;  // 1 K, 2 degF, 3 degC
    int32_t flowUnit = 1;         // 1 SLPM, 2 SCFH
    int32_t gasCode = 1;          // 1, 2, 5..14

    float anodeDiameter = 0;      // mm after normalisation
    float anodeLength = 0;        // as read; converted to mm in inch mode
    int32_t arcCurrent = 0;       // A after normalisation
    int32_t gasFlow = 0;          // user's flow unit after normalisation
    float gasFlowSlpm = 0;        // l/min
    int32_t diameterClass = 0;    // 5..11, diameter to the nearest mm
    int32_t diameterTenths = 0;   // 10 x anodeDiameter, always even
    int32_t anodeLengthMm = 0;    // normalised anode length, whole mm
    float channelLength = 0;      // anodeLengthMm raised to even, mm
    float rawDiameter = 0;        // diameter exactly as read from ip.dat
    float rawLength = 0;          // length exactly as read from ip.dat
    int32_t rawCurrent = 0;       // current exactly as read from ip.dat
    int32_t rawFlow = 0;          // flow exactly as read from ip.dat

    // --- Constants, set at the start of every run --------------------------
    float pi = 3.141593f;
    float mu0 = 1.25664e-6f;      // H/m, permeability of free space
    float mmPerInch = 25.4f;
    float slpmPerScfh = 0.472f;

    // --- Grid and march ------------------------------------------------------
    int32_t radialNodeCount = 0;  // N; node N on the wall (channel) or jet edge
    float radialStep = 5e-5f;     // h, m
    float axialStepMm = 0.02f;    // mm
    float axialStep = 2e-5f;      // m
    int32_t channelStepCount = 0; // steps from the inlet to the nozzle exit
    int32_t totalStepCount = 0;   // channel steps + jet steps
    int32_t jetNodeCount = 0;     // node count the jet grid is to have next
    int32_t stepIndex = 0;        // axial steps taken, 0 at the inlet
    float axialPosition = 0;      // mm from the channel inlet
    int32_t stationStep = 0;      // step at which the marching code returned
    int32_t failFlag = 0;         // 1 when the variant is not calculable
    float ambientVelocity = 0.2f; // m/s, axial velocity of the surrounding gas

    // Why failFlag was set (a static string, shown to the user); null if none.
    const char* failReason = nullptr;

    // --- Radial node arrays --------------------------------------------------
    NodeArray radius{};                 // m
    NodeArray simpsonWeight{};          // 1,4,2,...,4,1 for the channel grid
    NodeArray jetSimpsonWeight{};       // the same for the jet grid
    NodeArray temperature{};            // K, where the properties are evaluated
    NodeArray density{};                // kg/m3
    NodeArray heatCapacity{};           // J/(kg K)
    NodeArray radiationLoss{};          // W/m3
    NodeArray viscosity{};              // Pa s
    NodeArray thermalConductivity{};    // W/(m K)
    NodeArray electricalConductivity{}; // S/m
    NodeArray axialVelocity{};          // u, m/s
    NodeArray radialVelocity{};         // v, m/s
    NodeArray magneticPressure{};       // Pa
    NodeArray enthalpy{};               // J/kg above the outer-boundary value
    NodeArray effectiveViscosity{};     // Pa s, molecular + turbulent
    NodeArray effectiveConductivity{};  // W/(m K), molecular + turbulent

    // --- Gas property table --------------------------------------------------
    PropertyTable propertyTable{};
    float coldDensity = 0;       // kg/m3 at 300 K
    float coldHeatCapacity = 0;  // J/(kg K) at 300 K

    // --- Plasmatron characteristics ----------------------------------------
    float arcVoltage = 0;        // U, V
    float inletVoltage = 0;      // U_in, V
    float channelVoltage = 0;    // U_ch, V: voltage of the arc column in the channel
    float arcPowerW = 0;         // I*U, W
    float arcPower = 0;          // I*U, kW
    float inletPowerW = 0;       // I*U_in, W
    float profileExponent = 0;   // A, shape of the inlet temperature profile
    float currentDensity = 0;    // j, A/m2
    float conductingRadius = 0;  // m
    float massFlow = 0;          // kg/s
    float massFlowFigure = 0;    // sixth number of iop.par

    // --- Inlet state work fields ---------------------------------------------
    float conductivityGuess = 0;  // sigma_g, S/m
    float inletField = 0;         // E = j / sigma_g, V/m
    float axisTemperature = 0;    // rise of the axis above the wall, K
    float rootSearchStart = 0;    // K
    float rootSearchStep = 0;     // K

    // --- Arc channel march ---------------------------------------------------
    float toleranceBase = 0.01f;  // tau
    float stepCurrent = 0;        // A, current at the present step
    float currentDecrement = 20;  // A per step once the arc attaches
    int32_t currentRampSteps = 0; // arcCurrent/20 - 1
    int32_t attachStep = 0;       // step at which the current starts to fall
    float columnVoltage = 0;      // V accumulated along the channel
    float inletMassFlow = 0;      // kg/s, 2 pi int rho u r dr at the inlet
    float stationField = 0;       // V/m, converged E of the last station
    float pressureGradient = 0;   // dp/dz, Pa/m
    float massFluxIntegral = 0;   // int rho u r dr, kg/s per radian
    float enthalpyFluxIntegral = 0; // int rho u H r dr, W per radian

    // Axis values remembered from the last converged station.
    float rememberedField = 0;
    float rememberedAxisTemperature = 0;
    float rememberedAxisConductivity = 0;
    float rememberedAxisHeatFlux = 0;   // rho1 * cp1 * u1

    // --- Free jet march --------------------------------------------------------
    float referenceMeanVelocity = 0; // m/s, mean u at the last grid extension
    float outerTemperature = 500;    // T_o, K
    // Most nodes the jet grid may grow to; lower only in tests that need a
    // full grid early. Never above kMaxNodes.
    int32_t jetNodeCeiling = kMaxNodes;

    // --- Output bookkeeping ----------------------------------------------------
    std::array<float, 6> isothermRadius{}; // mm, levels 1..5, kept between records
    float plasmaEnthalpyFlux = 0;          // kW
    int32_t efficiencyPercent = 0;

    // --- Marching scheme ---------------------------------------------------------
    float thetaEnergy = 0.5f;
    float thetaMomentum = 0.5f;
    float thetaContinuity = 1.0f;
    CoefficientTable radialFluxCoef{};  // energy rho v r cp, momentum rho v r
    CoefficientTable axialFluxCoef{};   // energy rho u r cp, momentum rho u r
    CoefficientTable diffusionCoef{};   // energy r lambda_eff, momentum r mu_eff
    CoefficientTable sourceCoef{};      // energy r(sigma E^2 - psi), momentum r dp/dz
    StationPair temperaturePair{};
    StationPair axialVelocityPair{};
    StationPair radialVelocityPair{};
    StationPair magneticPressurePair{};

    // Tridiagonal system B_i Y_i = A_i Y_i+1 + C_i Y_i-1 + F_i and its sweep.
    NodeArray upperCoef{};    // A
    NodeArray lowerCoef{};    // C
    NodeArray diagonalCoef{}; // B
    NodeArray rightSide{};    // F
    NodeArray sweepAlpha{};
    NodeArray sweepBeta{};
};

// The solver's single statically allocated state; runs never overlap.
SolverState& sharedSolverState();

} // namespace torvex
