#include "solver/station_loop.h"

#include "solver/files.h"
#include "solver/isotherms.h"
#include "solver/jet_grid.h"
#include "solver/output_schedule.h"
#include "solver/result_files.h"

#include <cmath>

namespace torvex {

namespace {

constexpr float kFieldTemperatureFall = 33.3f;  // K per node beyond the grid
constexpr float kFieldColdest = 300.0f;          // K
constexpr float kFieldNozzleOuter = 500.0f;      // K beyond the wall at the nozzle exit

// A march that set failFlag says why in failReason.
RunOutcome marchFailed(const SolverState& s) {
    return notCalculable(s.failReason ? s.failReason : "a station did not converge");
}

// Plasmatron efficiency in whole per cent, truncated; 0 when the power is
// zero and the quotient means nothing.
int efficiencyPercent(float enthalpyFluxKw, float arcPowerKw) {
    const float efficiency = enthalpyFluxKw / arcPowerKw;
    const float percent = 100.0f * efficiency;
    if (!std::isfinite(percent)) return 0;
    if (std::fabs(percent) > 1.0e6f) return percent > 0 ? 1000000 : -1000000;  // written as asterisks
    return static_cast<int>(percent);
}

class StationLoop {
public:
    StationLoop(SolverState& s, const std::string& workDir, const ProgressCallback& progress,
                const SolverModules& modules)
        : s_(s), workDir_(workDir), progress_(progress), modules_(modules) {}

    RunOutcome run();

private:
    bool inJet() const { return s_.stepIndex >= s_.channelStepCount; }
    bool atNozzleExit() const { return s_.stepIndex == s_.channelStepCount; }
    // The jet model returned for a grid request, not at an output station.
    bool gridGrows() const { return inJet() && (atNozzleExit() || s_.stepIndex != s_.stationStep); }
    void report(int value) const {
        if (progress_) progress_(value);
    }

    bool writeNozzleExit(RunOutcome& failure);
    void writeAxialRecord();
    void writeRadialPlane(int plane);
    void writeFieldRecord();

    SolverState& s_;
    const std::string& workDir_;
    const ProgressCallback& progress_;
    const SolverModules& modules_;
    ResultFiles files_;
};

// iop.par and the eight result files come into being together, here and
// only here, so that a run failing in the channel leaves the previous ones.
bool StationLoop::writeNozzleExit(RunOutcome& failure) {
    s_.efficiencyPercent = efficiencyPercent(s_.plasmaEnthalpyFlux, s_.arcPower);
    if (s_.lengthUnit == 2) {
        // iop.par reports the inch values as entered.
        s_.anodeDiameter = s_.rawDiameter;
        s_.anodeLength = s_.rawLength;
    }
    IntegralParameters p;
    p.gasCode = s_.gasCode;
    p.diameter = s_.anodeDiameter;
    p.length = s_.anodeLength;
    p.current = s_.arcCurrent;
    p.flow = s_.gasFlow;
    p.massFlowFigure = s_.massFlowFigure;
    p.arcVoltage = s_.arcVoltage;
    p.arcPower = s_.arcPower;
    p.efficiencyPercent = s_.efficiencyPercent;
    if (!writeIntegralParameters(workDir_ + "/iop.par", p)) {
        failure = {RunResult::BadInput, "The integral-parameter file iop.par cannot be written in " + workDir_ + "."};
        return false;
    }
    // iop.par first: when it cannot be written, the earlier result files
    // are still whole.
    std::string failedFile;
    if (!files_.create(workDir_, failedFile)) {
        failure = {RunResult::BadInput, "The result file " + failedFile + " cannot be created in " + workDir_ + "."};
        return false;
    }
    report(kNozzleExitProgress);
    return true;
}

void StationLoop::writeAxialRecord() {
    const float distance = s_.axialPosition - s_.channelLength;
    files_.writeAxialRecord(distance, s_.isothermRadius, s_.temperaturePair[1][1] / 1000.0f, s_.axialVelocity[1]);
}

// Every second node from the axis out to the present edge of the grid.
void StationLoop::writeRadialPlane(int plane) {
    for (int i = 1; i <= s_.radialNodeCount; i += 2)
        files_.writeRadialLine(plane, 1000.0f * s_.radius[i], s_.temperaturePair[1][i] / 1000.0f, s_.axialVelocity[i]);
}

// Nodes 1, 6, ..., 501; beyond the grid the temperature falls by a fixed
// amount per value down to room temperature, and the gas is at rest.
void StationLoop::writeFieldRecord() {
    FieldBlock temperature{}, axial{}, radial{};
    for (int j = 1; j <= kFieldValues; ++j) {
        const int n = 5 * j - 4;
        if (n <= s_.radialNodeCount) {
            temperature[j] = s_.temperaturePair[1][n];
            axial[j] = s_.axialVelocity[n];
            radial[j] = s_.radialVelocity[n];
            continue;
        }
        float t = atNozzleExit() ? kFieldNozzleOuter : temperature[j - 1] - kFieldTemperatureFall;
        if (t < kFieldColdest) t = kFieldColdest;
        temperature[j] = t;
    }
    files_.writeFieldRecord(temperature, axial, radial);
}

RunOutcome StationLoop::run() {
    // Every march return advances the step or widens the grid, so this bound
    // is never reached by a working march; it guards against one that stalls.
    const long maxPasses = 4L * (s_.totalStepCount + kMaxNodes) + 100;
    for (long pass = 0; pass < maxPasses; ++pass) {
        const int jetStep = s_.stepIndex - s_.channelStepCount;
        if (inJet()) searchIsotherms(s_);
        if (s_.stepIndex > 0) s_.plasmaEnthalpyFlux = 2.0f * s_.pi * 0.001f * s_.enthalpyFluxIntegral;  // kW
        if (atNozzleExit()) {
            RunOutcome failure;
            if (!writeNozzleExit(failure)) return failure;
        }
        if (inJet() && isAxialRecordStep(s_.stepIndex, s_.channelStepCount, s_.totalStepCount)) writeAxialRecord();
        if (inJet()) {
            const int plane = radialPlaneAt(jetStep, s_.lengthUnit);
            if (plane >= 0) writeRadialPlane(plane);
        }
        const bool extend = gridGrows();
        if (extend) fillJetEdge(s_);
        if (isFieldRecordStep(s_.stepIndex, s_.channelStepCount))
            writeFieldRecord();

        if (s_.stepIndex < s_.channelStepCount) {
            modules_.channel(s_, progress_);
            if (s_.failFlag == 1) return marchFailed(s_);
            if (s_.stepIndex > s_.channelStepCount) return notCalculable("the channel march passed the nozzle exit");
            continue;
        }
        if (s_.stepIndex < s_.totalStepCount) {
            if (extend) extendJetGrid(s_);
            modules_.jet(s_, progress_);
            limitJetNodeCount(s_);  // requests that add up never pass the node capacity
            if (s_.failFlag == 1) {
                files_.flush();  // the records so far stay readable
                files_.close();
                return marchFailed(s_);
            }
            if (s_.stepIndex > s_.totalStepCount) return notCalculable("the jet march passed the end of the jet");
            continue;
        }
        if (!files_.close())
            return {RunResult::BadInput, "The result files in " + workDir_ + " could not be written completely."};
        return {};
    }
    return notCalculable("the march stopped advancing");
}

} // namespace

RunOutcome notCalculable(const char* reason) {
    return {RunResult::NotCalculable, std::string("This plasma jet variant cannot be calculated: ") + reason + "."};
}

RunOutcome runStationLoop(SolverState& s, const std::string& workDir, const ProgressCallback& progress,
                          const SolverModules& modules) {
    return StationLoop(s, workDir, progress, modules).run();
}

} // namespace torvex
