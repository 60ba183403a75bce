#include "solver/variant_run.h"

#include "solver/data_folders.h"
#include "solver/result_set.h"

#include <memory>

namespace torvex {

namespace {

constexpr const char* kUnitsFile = "un.dat";
constexpr const char* kInputsFile = "ip.dat";
constexpr const char* kNothingChanged = " Nothing was changed.";

VariantRunReport finished(VariantRunReport report, RunResult result, const std::string& message) {
    report.result = result;
    report.exitStatus = exitStatusOf(result);
    report.message = message;
    if (result == RunResult::OutputFault) {
        report.systemError = lastWriteFault().error;
        report.faultPath = lastWriteFault().path;
    }
    report.nothingChanged = report.written.empty() && !report.reachedNozzle;
    return report;
}

// The units of the run, those of un.dat (or the defaults) with the
// request's over them; `write` says whether un.dat is to be written.
UnitCodes runUnits(const VariantRunRequest& r, const std::string& dir, bool& write) {
    UnitCodes codes;
    const bool haveUnits = readUnitCodes(dir + "/" + kUnitsFile, codes);
    write = r.lengthUnit || r.temperatureUnit || r.flowUnit || (r.variant && !haveUnits);
    if (r.lengthUnit) codes.length = *r.lengthUnit;
    if (r.temperatureUnit) codes.temperature = *r.temperatureUnit;
    if (r.flowUnit) codes.flow = *r.flowUnit;
    return codes;
}

bool knownUnits(const UnitCodes& u) {
    return u.length >= 1 && u.length <= 2 && u.temperature >= 1 && u.temperature <= 3 && u.flow >= 1 && u.flow <= 2;
}

std::string capitalised(std::string text) {
    if (!text.empty() && text[0] >= 'a' && text[0] <= 'z') text[0] = static_cast<char>(text[0] - 'a' + 'A');
    return text;
}

// Steps 3 and 4 for a variant given with the request: "" when it may be
// written, else the refusal's message (the notes then say why).
std::string checkVariant(const VariantRunRequest& r, const std::string& dir, VariantRunReport& report) {
    const VariantInputs& v = *r.variant;
    std::string why;
    if (!fitsInputFile(v, why)) return capitalised(why) + ".";
    if (locateDataFile(dir, gasFileName(v.gasCode)).empty()) return missingGasTableMessage(v.gasCode, dir);
    std::vector<std::string> changes;
    report.used = normaliseEntered(*std::make_unique<SolverState>(), v, report.units, &changes);
    report.usedKnown = true;
    report.notes = inputFileNotes(v, report.units);
    if (!r.strict) return "";
    report.notes.insert(report.notes.end(), changes.begin(), changes.end());
    if (report.notes.empty()) return "";
    return "In strict mode a variant that ip.dat's columns or the model's ranges and steps would change is not "
           "calculated.";
}

// Step 5: un.dat and ip.dat; "" or the fault.
std::string writeInputs(const VariantRunRequest& r, const std::string& dir, bool writeUnits,
                        VariantRunReport& report) {
    std::string fault;
    if (writeUnits) {
        if (!writeUnitCodes(dir + "/" + kUnitsFile, report.units, &fault))
            return "The unit file " + dir + "/" + kUnitsFile + " " + fault + ".";
        report.written.push_back(kUnitsFile);
    }
    if (r.variant) {
        if (!writeInputParameters(dir + "/" + kInputsFile, *r.variant, &fault))
            return "The input-parameter file " + dir + "/" + kInputsFile + " " + fault + ".";
        report.written.push_back(kInputsFile);
    }
    return "";
}

// Step 6: the solver, with the outputs it wrote and the values it used.
VariantRunReport runSolverStep(const VariantRunRequest& r, const WorkDirLock& lock, VariantRunReport report) {
    std::unique_ptr<SolverState> own;
    SolverState* state = r.state;
    if (!state) {
        own = std::make_unique<SolverState>();
        state = own.get();
    }
    const ProgressCallback progress = [&r, &report](int value) {
        if (value == kNozzleExitProgress) report.reachedNozzle = true;
        if (r.progress) r.progress(value);
    };
    const RunOutcome outcome =
        runSolver(*state, lock, progress, r.strict ? ChangedInputs::Refuse : ChangedInputs::Run);
    report.notes.insert(report.notes.end(), outcome.notes.begin(), outcome.notes.end());
    // A bad input without notes was refused before the solver normalised it.
    if (!r.variant && (outcome.result != RunResult::BadInput || !outcome.notes.empty())) {
        const SolverState& s = *state;
        report.units = UnitCodes{s.lengthUnit, s.temperatureUnit, s.flowUnit};
        report.used = {s.gasCode, s.diameterTenths, s.anodeLengthMm, s.arcCurrent, s.gasFlow, s.gasFlowSlpm};
        report.usedKnown = true;
    }
    if (report.reachedNozzle) report.written.push_back(resultSetMembers().front());
    const bool setWritten = outcome.result == RunResult::Completed ||
                            (outcome.result == RunResult::NotCalculable && report.reachedNozzle);
    if (setWritten)
        for (const std::string& name : runOutputFiles())
            if (name != resultSetMembers().front()) report.written.push_back(name);
    return finished(report, outcome.result, outcome.message);
}

}  // namespace

VariantRunReport runVariant(const VariantRunRequest& r) {
    clearWriteFault();
    std::unique_ptr<WorkDirLock> own;
    const WorkDirLock* lock = r.heldLock;
    if (!lock) {
        own = std::make_unique<WorkDirLock>(r.folder);
        lock = own.get();
    }
    VariantRunReport report;
    report.directory = lock->directory();
    // 1. The lock.
    if (!lock->held()) {
        const RunOutcome refusal = lockRefusal(*lock);
        return finished(report, refusal.result, refusal.message);
    }
    const std::string& dir = lock->directory();
    bool writeUnits = false;
    report.units = runUnits(r, dir, writeUnits);
    if (!knownUnits(report.units))
        return finished(report, RunResult::BadInput, "The unit codes " + std::to_string(report.units.length) + " " +
                                                         std::to_string(report.units.temperature) + " " +
                                                         std::to_string(report.units.flow) +
                                                         " name no units (1-2, 1-3, 1-2)." + kNothingChanged);
    // 2. Every output, before anything changes.
    std::vector<std::string> outputs;
    if (writeUnits) outputs.push_back(kUnitsFile);
    if (r.variant) outputs.push_back(kInputsFile);
    outputs.insert(outputs.end(), r.callerOutputs.begin(), r.callerOutputs.end());
    std::string fault;
    if (!checkRunOutputs(dir, outputs, fault)) return finished(report, RunResult::OutputFault, fault + kNothingChanged);
    // 3 and 4. The variant and its notes.
    if (r.variant) {
        const std::string refusal = checkVariant(r, dir, report);
        if (!refusal.empty()) return finished(report, RunResult::BadInput, refusal + kNothingChanged);
    }
    // 5. The inputs.
    fault = writeInputs(r, dir, writeUnits, report);
    if (!fault.empty()) return finished(report, RunResult::OutputFault, fault);
    if (r.inputsOnly) return finished(report, RunResult::Completed, "");
    // 6. The run, and what the caller reads of it under the same lock.
    report = runSolverStep(r, *lock, report);
    if (report.result == RunResult::Completed && r.whileLocked) r.whileLocked(dir);
    return report;
}

}  // namespace torvex
