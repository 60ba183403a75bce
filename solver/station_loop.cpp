#include "solver/station_loop.h"

#include "solver/files.h"
#include "solver/isotherms.h"
#include "solver/jet_grid.h"
#include "solver/output_schedule.h"
#include "solver/result_files.h"
#include "solver/result_set.h"

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

RunOutcome outputFault(const std::string& message) { return {RunResult::OutputFault, message}; }

// How the nine output files replace those of an earlier run, so that a kill,
// a full disk or a power cut at any moment leaves the directory holding the
// earlier complete set, the new iop.par with no result files, or the new
// complete set, and never a new iop.par beside earlier results:
//
//  1. Before the march: a temporary file for iop.par and each result file is
//     created in the directory (a name that is a directory, or a directory
//     that allows no new file, stops the run here with nothing changed).
//  2. At the nozzle exit: iop.par is written to its temporary file and
//     flushed to disk; the earlier result files are removed, ztu0.res first;
//     the directory is flushed; the new iop.par is renamed into place and the
//     directory flushed again. Only then is the nozzle exit reported, and the
//     interface reads iop.par.
//  3. During the jet march the records go to the temporary result files only.
//  4. At the end, also when the jet cannot be calculated further: every
//     temporary result file is flushed to disk, then all are renamed into
//     place with ztu0.res last, and the directory is flushed. Then the
//     stamp results.stamp is written (see result_set.h): only a set with its
//     stamp is finished, and the stamp is the first file step 2 removes.
//
// A write that fails (full disk) removes the temporary files and ends the run
// as an output fault. A killed run leaves hidden temporary files, which the
// next run in the directory removes. The only moments with a partial set
// are the removals of step 2 (earlier iop.par, some earlier results) and the
// renames of step 4 (new iop.par, some new results): the files are never of
// two variants, and a set without ztu0.res is incomplete.
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

    bool prepareOutputs(RunOutcome& failure);
    bool writeNozzleExit(RunOutcome& failure);
    RunOutcome commitResults(const RunOutcome& outcome);
    void writeAxialRecord();
    void writeRadialPlane(int plane);
    void writeFieldRecord();

    SolverState& s_;
    const std::string& workDir_;
    const ProgressCallback& progress_;
    const SolverModules& modules_;
    ReplacementFile integralParameters_;
    ResultFiles files_;
};

std::string integralParametersPath(const std::string& dir) { return dir + "/iop.par"; }

RunOutcome integralParametersFault(const std::string& dir, const std::string& why) {
    return outputFault("The integral-parameter file " + integralParametersPath(dir) + " " + why + ".");
}

bool StationLoop::prepareOutputs(RunOutcome& failure) {
    std::string why;
    if (!integralParameters_.create(integralParametersPath(workDir_), why)) {
        failure = integralParametersFault(workDir_, why);
        return false;
    }
    std::string fault;
    if (!files_.create(workDir_, fault)) {
        failure = outputFault(fault);
        return false;
    }
    // The stamp is written at the end; a directory in its place is found now.
    ReplacementFile stampProbe;
    if (!stampProbe.create(workDir_ + "/" + kResultStampFile, why)) {
        failure = outputFault("The result stamp " + workDir_ + "/" + kResultStampFile + " " + why + ".");
        return false;
    }
    return true;
}

// iop.par comes into being here and only here, so that a run failing in the
// channel leaves the earlier files as they were.
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
    integralParameters_.append(integralParametersText(p));
    std::string why;
    if (!integralParameters_.finish(why)) {
        failure = integralParametersFault(workDir_, why);
        return false;
    }
    std::string fault;
    // The stamp goes first: from here on the earlier set is unfinished.
    if (!removeEntry(workDir_ + "/" + kResultStampFile, why) || !syncDirectory(workDir_, why)) {
        failure = outputFault("The result stamp " + workDir_ + "/" + kResultStampFile + " " + why + ".");
        return false;
    }
    if (!ResultFiles::removeEarlier(workDir_, fault)) {
        failure = outputFault(fault);
        return false;
    }
    if (!syncDirectory(workDir_, why) || !integralParameters_.commit(why) || !syncDirectory(workDir_, why)) {
        failure = integralParametersFault(workDir_, why);
        return false;
    }
    report(kNozzleExitProgress);
    return true;
}

// The result files go in place at the end of the run, whole as far as the
// march came; an output fault replaces the run's own outcome.
RunOutcome StationLoop::commitResults(const RunOutcome& outcome) {
    std::string fault;
    if (!files_.commit(fault) || !writeResultStamp(workDir_, s_, fault)) return outputFault(fault);
    return outcome;
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
    RunOutcome failure;
    if (!prepareOutputs(failure)) return failure;
    for (long pass = 0; pass < maxPasses; ++pass) {
        const int jetStep = s_.stepIndex - s_.channelStepCount;
        if (inJet()) searchIsotherms(s_);
        if (s_.stepIndex > 0) s_.plasmaEnthalpyFlux = 2.0f * s_.pi * 0.001f * s_.enthalpyFluxIntegral;  // kW
        if (atNozzleExit() && !writeNozzleExit(failure)) return failure;
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
            // A jet that cannot be calculated further keeps the records so far.
            if (s_.failFlag == 1) return commitResults(marchFailed(s_));
            if (s_.stepIndex > s_.totalStepCount)
                return commitResults(notCalculable("the jet march passed the end of the jet"));
            continue;
        }
        return commitResults({});
    }
    if (inJet()) return commitResults(notCalculable("the march stopped advancing"));
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
